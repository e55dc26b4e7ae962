// Split engine: sources that cannot be read or change while read, files too large for the
// format, write errors and long paths never leave a set out of step with its records.
#include "engine_fixture.h"

namespace {

const std::string kOut = "D:\\out\\";

class Faults : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        MkDir("D:\\src");
        MkDir("D:\\out");
        Put("D:\\src\\first", Bytes(40, 'f'));
        Put("D:\\src\\middle", Bytes(3000, 'm'));
        Put("D:\\src\\last", Bytes(50, 'l'));
    }
    std::unique_ptr<CSplitEngine> ThreeFiles(IFileSystem& fs) {
        auto e = Engine(fs);
        for (auto n : {"first", "middle", "last"}) e->AddItem(std::string("D:\\src\\") + n);
        return e;
    }
    std::string Listing() { return ReadWholeFile(Host(kOut + "B.spj")); }
    static bool EndsWithSummary(const std::string& listing, int files) {
        std::string summary = "$  \r\n$  \r\n$ " + std::to_string(files) + " files included in this Split Set \r\n$  ";
        return listing.size() >= summary.size() && listing.compare(listing.size() - summary.size(), summary.size(), summary) == 0;
    }
};

TEST_F(Faults, AFileThatCannotBeOpenedGetsNoRecordAndIsReported) {
    FaultyFileSystem fs(SystemFileSystem());
    fs.refuseOpen = "middle";
    auto e = ThreeFiles(fs);
    ASSERT_TRUE(e->Split(kOut, "B", 100000));
    auto entries = ReadSet(Segments(kOut, "B"), kImage);
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[1].name, "last");
    EXPECT_EQ(entries[1].data, Bytes(50, 'l'));
    EXPECT_EQ(Listing().find("middle"), std::string::npos);
    EXPECT_TRUE(EndsWithSummary(Listing(), 2));
    ASSERT_EQ(prompts_.shown.size(), 1u);
    EXPECT_EQ(prompts_.Texts()[0].rfind("The Split Set was written, but these items are missing from it:\n"
                                        "D:\\src\\middle (could not be read: ", 0), 0u) << prompts_.Texts()[0];
    EXPECT_EQ(e->LeftOut().size(), 1u);
}

TEST_F(Faults, AFileThatChangedSizeIsPaddedOrCutToItsRecord) {
    struct Case {
        uint64_t recorded;
        std::string expectedData;
        std::string message;
    } cases[] = {
        {5000, Bytes(3000, 'm') + std::string(2000, '\0'),
         "D:\\src\\middle\nbecame shorter while it was being read. Its copy in the Split Set was padded "
         "with zeros to the 5000 bytes recorded."},
        {70000, Bytes(3000, 'm') + std::string(67000, '\0'),
         "D:\\src\\middle\nbecame shorter while it was being read. Its copy in the Split Set was padded "
         "with zeros to the 70000 bytes recorded."},
        {1000, Bytes(1000, 'm'),
         "D:\\src\\middle\ngrew while it was being read. Its copy in the Split Set was cut to the 1000 bytes "
         "recorded."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.recorded);
        prompts_.shown.clear();
        prompts_.fallback = [](PromptButtons) { return PromptAnswer::Yes; };
        FaultyFileSystem fs(SystemFileSystem());
        fs.fakeSizeFor = "middle";
        fs.fakeSize = c.recorded;
        auto e = ThreeFiles(fs);
        ASSERT_TRUE(e->Split(kOut, "B", 20000));
        auto entries = ReadSet(Segments(kOut, "B"), kImage);
        ASSERT_EQ(entries.size(), 3u);
        EXPECT_EQ(entries[1].size, c.recorded);
        EXPECT_EQ(entries[1].data, c.expectedData);
        EXPECT_EQ(entries[2].data, Bytes(50, 'l'));
        EXPECT_EQ(prompts_.Texts().back(), c.message);
    }
}

TEST_F(Faults, FilesOfFourGigabytesAreRefusedAndTheRunLeavesNoSegmentBehind) {
    std::string huge = Host("D:\\src\\middle");
    ASSERT_EQ(truncate(huge.c_str(), 4294967296LL), 0);  // sparse: nothing is really stored
    Put(kOut + "Kept_1.EXE", "an older set of the user");
    auto e = ThreeFiles(SystemFileSystem());
    EXPECT_FALSE(e->Split(kOut, "B", 100000));
    EXPECT_EQ(prompts_.Texts(), std::vector<std::string>{
        "D:\\src\\middle\nis 4 GB or larger. Files of this size cannot be stored in a Split Set."});
    // "first" had been written: a first segment left behind would pass for a whole set.
    EXPECT_TRUE(Segments(kOut, "B").empty());
    EXPECT_EQ(e->CreatedFiles(), (std::vector<std::string>{kOut + "B.spj", kOut + "B_1.EXE"}));
    EXPECT_TRUE(e->SegmentsRemoved());
    EXPECT_EQ(ReadWholeFile(Host(kOut + "Kept_1.EXE")), "an older set of the user");
    EXPECT_EQ(Listing().find("middle"), std::string::npos);
    EXPECT_TRUE(EndsWithSummary(Listing(), 1));
}

// Segments that cannot be removed (on a diskette already taken out) are never flagged last.
TEST_F(Faults, AFailedRunNeverFlagsASegmentAsTheLast) {
    class KeepsFiles : public ForwardingFileSystem {
    public:
        using ForwardingFileSystem::ForwardingFileSystem;
        bool RemoveFile(const std::string&) override { return false; }
    } fs(SystemFileSystem());
    prompts_.fallback = [](PromptButtons) { return PromptAnswer::Yes; };
    Put("D:\\src\\middle", Bytes(3000, 'm'));
    std::string huge = Host("D:\\src\\last");
    ASSERT_EQ(truncate(huge.c_str(), 4294967296LL), 0);
    auto e = ThreeFiles(fs);
    EXPECT_FALSE(e->Split(kOut, "B", 1000));
    EXPECT_FALSE(e->SegmentsRemoved());
    auto segs = Segments(kOut, "B");
    ASSERT_GE(segs.size(), 3u);
    EXPECT_EQ(uint8_t(segs[0][kImage]), 0);
    for (size_t i = 1; i < segs.size(); ++i) EXPECT_EQ(uint8_t(segs[i][0]), 0) << "segment " << i + 1;
}

TEST_F(Faults, AWriteErrorFailsTheRunAndStillFinishesTheListing) {
    // Budgets: lost in a direct block write, lost when a segment is switched, lost at close.
    struct Case {
        const char* what;
        int64_t budget;
        uint64_t size;
        std::string big;
    } cases[] = {
        {"block write", 70000, 1000000, Bytes(200000, 'm')},
        {"segment switch", 150, 600, Bytes(3000, 'm')},
        {"close", 150, 100000, Bytes(3000, 'm')},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::system(("rm -f " + Host(kOut) + "*").c_str());
        Put("D:\\src\\middle", c.big);
        prompts_.shown.clear();
        FaultyFileSystem fs(SystemFileSystem());
        fs.writeBudget = c.budget;
        auto e = ThreeFiles(fs);
        EXPECT_FALSE(e->Split(kOut, "B", c.size));
        ASSERT_FALSE(prompts_.shown.empty());
        EXPECT_EQ(prompts_.Texts()[0].rfind("Disk full\r\nCould not write D:\\out\\B_", 0), 0u) << prompts_.Texts()[0];
        EXPECT_EQ(prompts_.shown.size(), 1u);
        EXPECT_TRUE(EndsWithSummary(Listing(), shared_.includedFiles));
        EXPECT_TRUE(Segments(kOut, "B").empty());
    }
}

TEST_F(Faults, ContinuationTextHoldsPathsOfAnyLength) {
    std::string folder = "D:\\src";
    for (int i = 0; i < 4; ++i) {
        folder += "\\" + std::string(120, char('p' + i));
        MkDir(folder);
    }
    std::string path = folder + "\\long.bin";
    Put(path, Bytes(2000));
    auto e = Engine();
    e->AddItem(path);
    ASSERT_TRUE(e->Split(kOut, "B", 1000));
    EXPECT_NE(Listing().find("$ =====Files in B_2.SEG=======\r\n$ cont.. " + path + "\r\n"), std::string::npos);
    EXPECT_EQ(ReadSet(Segments(kOut, "B"), kImage)[0].data, Bytes(2000));
}

// A set name is a file name in the destination: one that would put the set's files in another
// folder (or, after a colon, in an alternate stream) is refused before anything is written.
TEST_F(Faults, ASetNameThatLeavesTheDestinationIsRefused) {
    for (const char* name : {"..\\B", "sub\\B", "../B", "B:stream", "B*", "B\n"}) {
        SCOPED_TRACE(name);
        prompts_.shown.clear();
        MkDir("D:\\out\\sub");
        auto e = ThreeFiles(SystemFileSystem());
        EXPECT_FALSE(e->Split(kOut, name, 100000));
        EXPECT_EQ(prompts_.Texts(), std::vector<std::string>{std::string(name) +
                                                             "\nis not a valid Split Set name: it cannot hold any of "
                                                             "\\ / : * ? \" < > |. Nothing was written."});
        EXPECT_TRUE(e->CreatedFiles().empty());
    }
    for (const char* left : {"D:\\B_1.EXE", "D:\\B.spj", "D:\\out\\sub\\B_1.EXE", "D:\\out\\sub\\B.spj"})
        EXPECT_NE(access(Host(left).c_str(), F_OK), 0) << left;
}

// Names Windows keeps for devices: the listing NUL.spj would be the null device.
TEST_F(Faults, ADeviceNameAsSetNameIsRefusedBeforeAnythingIsWritten) {
    for (const char* name : {"NUL", "aux", "Con.x", "COM1", "lpt9 ", "CONOUT$"}) {
        SCOPED_TRACE(name);
        prompts_.shown.clear();
        auto e = ThreeFiles(SystemFileSystem());
        EXPECT_FALSE(e->Split(kOut, name, 100000));
        EXPECT_EQ(prompts_.Texts(), std::vector<std::string>{std::string(name) +
                                                             "\nis not a valid Split Set name: Windows keeps it for a "
                                                             "device (CON, PRN, AUX, NUL, COM1, LPT1 and the like). "
                                                             "Nothing was written."});
        EXPECT_TRUE(e->CreatedFiles().empty());
        EXPECT_EQ(access(Host(std::string(kOut) + name + "_1.EXE").c_str(), F_OK), -1);
    }
    for (const char* fine : {"NULL", "COM10", "console", "AUXI.x", "x.NUL"}) {
        SCOPED_TRACE(fine);
        auto e = ThreeFiles(SystemFileSystem());
        EXPECT_TRUE(e->Split(kOut, fine, 100000));
    }
}

}  // namespace
