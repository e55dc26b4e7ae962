// Split engine: a contents listing that cannot be written whole is reported, never passed off
// as the listing of the set; the set itself stays.
#include "engine_fixture.h"

namespace {

// Disturbs only the listing: refuses its first opens, fails its writes or its close.
class ListingFaults : public ForwardingFileSystem {
public:
    using ForwardingFileSystem::ForwardingFileSystem;
    int refuseOpens = 0;
    bool failWrite = false;
    bool failClose = false;

    std::string LastErrorText() override { return reason_.empty() ? real_.LastErrorText() : reason_; }
    std::unique_ptr<IFile> Open(const std::string& p, OpenMode m, Share s) override {
        bool listing = m == OpenMode::CreateWrite && p.size() > 4 && p.compare(p.size() - 4, 4, ".spj") == 0;
        if (!listing) return real_.Open(p, m, s);
        ++opens;
        if (refuseOpens > 0) {
            --refuseOpens;
            reason_ = "Access is denied.";
            return nullptr;
        }
        auto f = real_.Open(p, m, s);
        return f ? std::make_unique<File>(std::move(f), *this) : nullptr;
    }
    int opens = 0;

private:
    class File : public ForwardingFile {
    public:
        File(std::unique_ptr<IFile> f, ListingFaults& o) : ForwardingFile(std::move(f)), o_(o) {}
        bool Write(const void* b, size_t c) override {
            if (!o_.failWrite) return real_->Write(b, c);
            real_->Write(b, c / 2);
            o_.reason_ = "There is not enough space on the disk.";
            return false;
        }
        bool Close() override {
            bool closed = real_->Close();
            if (!o_.failClose) return closed;
            o_.reason_ = "The network path was not found.";
            return false;
        }

    private:
        ListingFaults& o_;
    };
    std::string reason_;
};

class Listing : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        MkDir("D:\\src");
        MkDir("D:\\out");
        Put("D:\\src\\one", Bytes(400, 'o'));
        Put("D:\\src\\two", Bytes(3000, 't'));
    }
    bool Run(IFileSystem& fs, const std::string& destination) {
        auto e = Engine(fs);
        e->AddItem("D:\\src\\one");
        e->AddItem("D:\\src\\two");
        bool ok = e->Split(destination, "B", 100000);
        entries_ = ReadSet(Segments(destination, "B"), kImage);
        return ok;
    }
    static std::string Message(const std::string& reason, const std::string& listing) {
        return reason + "\r\nCould not write the contents listing " + listing +
               ".\r\nThe Split Set itself was written and is whole; its listing is missing or incomplete.";
    }
    std::vector<ReadEntry> entries_;
};

TEST_F(Listing, AListingThatCannotBeWrittenIsReportedAndTheSetStays) {
    struct Case {
        const char* what;
        int refuseOpens;
        bool failWrite, failClose;
        std::string destination, listing, reason;
    } cases[] = {
        {"create refused", 99, false, false, "D:\\out\\", "D:\\out\\B.spj", "Access is denied."},
        {"disk full", 0, true, false, "D:\\out\\", "D:\\out\\B.spj", "There is not enough space on the disk."},
        {"close fails", 0, false, true, "D:\\out\\", "D:\\out\\B.spj", "The network path was not found."},
        {"beside the program", 99, false, false, "A:\\", "X:\\B.spj", "Access is denied."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        prompts_.shown.clear();
        std::system(("rm -f " + Host("D:\\out\\") + "* " + root_ + "/a/* " + root_ + "/x/*").c_str());
        ListingFaults fs(SystemFileSystem());
        fs.refuseOpens = c.refuseOpens;
        fs.failWrite = c.failWrite;
        fs.failClose = c.failClose;
        EXPECT_TRUE(Run(fs, c.destination));
        ASSERT_EQ(entries_.size(), 2u);
        EXPECT_EQ(entries_[1].data, Bytes(3000, 't'));
        EXPECT_EQ(prompts_.Texts(), std::vector<std::string>{Message(c.reason, c.listing)});
    }
}

// Once the listing could not be made, a later line must not start it afresh: that file would
// lack the first segment's heading and entries and still end with a summary.
TEST_F(Listing, AListingRefusedOnceIsNotStartedAgainHalfWay) {
    ListingFaults fs(SystemFileSystem());
    fs.refuseOpens = 1;
    EXPECT_TRUE(Run(fs, "D:\\out\\"));
    EXPECT_EQ(entries_.size(), 2u);
    EXPECT_EQ(fs.opens, 1);
    EXPECT_NE(access(Host("D:\\out\\B.spj").c_str(), F_OK), 0);
    EXPECT_EQ(prompts_.Texts(), std::vector<std::string>{Message("Access is denied.", "D:\\out\\B.spj")});
}

TEST_F(Listing, AWholeListingBringsNoMessage) {
    ListingFaults fs(SystemFileSystem());
    EXPECT_TRUE(Run(fs, "D:\\out\\"));
    EXPECT_TRUE(prompts_.shown.empty());
    std::string listing = ReadWholeFile(Host("D:\\out\\B.spj"));
    EXPECT_EQ(listing.rfind("$ =====Files in B_1.EXE=======\r\nD:\\src\\one - 400\r\nD:\\src\\two - 3000\r\n", 0), 0u);
}

// Segments that take every byte and keep none, so a file of gigabytes passes through the
// engine without being stored.
class DiscardingSegments : public ForwardingFileSystem {
public:
    using ForwardingFileSystem::ForwardingFileSystem;
    std::unique_ptr<IFile> Open(const std::string& p, OpenMode m, Share s) override {
        auto f = real_.Open(p, m, s);
        bool segment = f && m == OpenMode::CreateWrite && p.compare(p.size() - 4, 4, ".spj") != 0;
        return segment ? std::make_unique<Discarding>(std::move(f)) : std::move(f);
    }

private:
    struct Discarding : ForwardingFile {
        using ForwardingFile::ForwardingFile;
        bool Write(const void*, size_t) override { return true; }
    };
};

TEST_F(Listing, AFileOfTwoGigabytesOrMoreKeepsItsEntryLine) {
    ASSERT_EQ(truncate(Host("D:\\src\\two").c_str(), 2200000000LL), 0);  // sparse: nothing is stored
    posix_drives::SetFreeBytes('D', 10000000000ULL);
    DiscardingSegments fs(SystemFileSystem());
    auto e = Engine(fs);
    e->AddItem("D:\\src\\one");
    e->AddItem("D:\\src\\two");
    ASSERT_TRUE(e->Split("D:\\out\\", "B", 0));
    EXPECT_EQ(ReadWholeFile(Host("D:\\out\\B.spj")),
              "$ =====Files in B_1.EXE=======\r\nD:\\src\\one - 400\r\nD:\\src\\two - 2200000000\r\n"
              "$  \r\n$  \r\n$ 2 files included in this Split Set \r\n$  ");
}

}  // namespace
