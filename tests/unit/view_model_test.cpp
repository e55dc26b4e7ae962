// The main form's window-free rules: the status text with its segment count, and the sources'
// add/remove bookkeeping on a real folder tree (sizes past 4 GB reported by a decorator).
#include <gtest/gtest.h>

#include <map>
#include <numeric>

#include "fakes/forwarding_file_system.h"
#include "fakes/test_files.h"
#include "platform/paths.h"
#include "model/source_list.h"
#include "model/status_text.h"

TEST(StatusText, UnitsCountAndSixtyFourBitTotals) {
    const struct {
        uint64_t total;
        int32_t maxKb;
        const char* text;
    } cases[] = {
        {0, 0, "0.000 KB"},
        {999, 0, "0.999 KB"},
        {1000000, 0, "1000.000 KB"},  // the last total shown in KB
        {1000001, 0, "1.000 MB"},
        {2900000, 0, "2.900 MB"},     // the fraction of a MB is kept
        {1000000, 1000, "1000.000 KB and 1 Files/Diskettes"},
        {1000001, 1000, "1.000 MB and 2 Files/Diskettes"},
        {1440000, 1440, "1.440 MB and 1 Files/Diskettes"},  // exactly one 1440 K diskette
        {1440001, 1440, "1.440 MB and 2 Files/Diskettes"},
        {1, 1440, "0.001 KB and 1 Files/Diskettes"},
        {0, 1440, "0.000 KB and 0 Files/Diskettes"},
        // 5 GB in 1,000,000 K segments: 5 of them; a 32-bit total would have shown 0.705 GB.
        {5000000000ULL, 1000000, "5000.000 MB and 5 Files/Diskettes"},
        // A size above 4,294,967 K: M x 1000 no longer fits 32 bits, the count stays right.
        {9000000000ULL, 5000000, "9000.000 MB and 2 Files/Diskettes"},
        {4294967296ULL, 1440, "4294.967 MB and 2983 Files/Diskettes"},
        {1440000, -1, "1.440 MB"},  // no usable segment size: no count
    };
    for (const auto& c : cases) EXPECT_EQ(StatusText(c.total, c.maxKb), c.text) << c.total << " / " << c.maxKb;
    EXPECT_EQ(SegmentsNeeded(4294967296ULL * 3, 1), 12884902ULL);
}

TEST(SourceList, CommandLinePathsSplitAtStars) {
    EXPECT_EQ(CSourceList::SplitCommandLine("C:\\a b\\one.txt*D:\\two"),
              (std::vector<std::string>{"C:\\a b\\one.txt", "D:\\two"}));
    EXPECT_EQ(CSourceList::SplitCommandLine("\"C:\\x\\p1*C:\\x\\p2\""),
              (std::vector<std::string>{"C:\\x\\p1", "C:\\x\\p2"}));
    EXPECT_EQ(CSourceList::SplitCommandLine(" ** C:\\only* "), (std::vector<std::string>{"C:\\only"}));
    EXPECT_TRUE(CSourceList::SplitCommandLine("").empty());
}

namespace {

// The real file system, except that files named "huge*" report 3 GB.
class HugeFiles : public ForwardingFileSystem {
public:
    using ForwardingFileSystem::ForwardingFileSystem;
    static constexpr uint64_t kHuge = 3000000000ULL;
    bool GetStatus(const std::string& p, FileStatus& s) override {
        if (!real_.GetStatus(p, s)) return false;
        if (p.find("\\huge") != std::string::npos) s.size = kHuge;
        return true;
    }
    bool ListFolder(const std::string& p, const std::function<bool(const DirEntry&)>& v) override {
        return real_.ListFolder(p, [&](const DirEntry& e) {
            DirEntry copy = e;
            if (e.name.rfind("huge", 0) == 0) copy.size = kHuge;
            return v(copy);
        });
    }
};

class SourceListTest : public ::testing::Test {
protected:
    void SetUp() override {
        host_ = MakeScratchFolder("zb_view_sources");
        ASSERT_FALSE(host_.empty());
        root_ = FullWindowsPath(host_);
        ASSERT_FALSE(root_.empty());
        fs_.MakeFolder(root_ + "\\docs");
        fs_.MakeFolder(root_ + "\\docs\\inner");
        fs_.MakeFolder(root_ + "\\empty");
        Write("a.txt", 1200);
        Write("docs\\b.doc", 300);
        Write("docs\\inner\\c.bin", 4500);
        Write("zero.txt", 0);
        Write("huge1.bin", 10);
        Write("huge2.bin", 10);
    }
    void TearDown() override { RemoveTree(fs_, root_); }

    void Write(const std::string& name, size_t size) {
        auto file = fs_.Open(root_ + "\\" + name, OpenMode::CreateWrite, Share::DenyNone);
        ASSERT_TRUE(file);
        std::string bytes = PatternBytes(size, 7);
        ASSERT_TRUE(bytes.empty() || file->Write(bytes.data(), bytes.size()));
        file->Close();
    }
    std::string P(const std::string& name) const { return root_ + "\\" + name; }

    uint64_t SumOfEntries(const CSourceList& list) const {
        uint64_t sum = 0;
        for (const auto& e : list.Entries()) sum += e.size;
        return sum;
    }

    std::string host_, root_;
    HugeFiles fs_{SystemFileSystem()};
};

}  // namespace

TEST_F(SourceListTest, AddsFilesFoldersAndEmptyFilesOnceEach) {
    CSourceList list(fs_);
    EXPECT_EQ(list.Add(P("a.txt")), SourceAdd::Added);
    EXPECT_EQ(list.Add(P("docs")), SourceAdd::Added);  // a folder counts everything below it
    EXPECT_EQ(list.Total(), 1200u + 300u + 4500u);
    // The same path again, in other letters' case: the list and total stay.
    EXPECT_EQ(list.Add(root_ + "\\A.TXT"), SourceAdd::AlreadyListed);
    EXPECT_EQ(list.Add(P("docs")), SourceAdd::AlreadyListed);
    EXPECT_EQ(list.Count(), 2u);
    // An empty file is taken with size 0; an empty folder is skipped; a path that isn't there
    // has no size and can't be described.
    EXPECT_EQ(list.Add(P("zero.txt")), SourceAdd::Added);
    EXPECT_EQ(list.Add(P("empty")), SourceAdd::EmptyFolder);
    EXPECT_EQ(list.Add(P("gone.txt")), SourceAdd::NoSize);
    ASSERT_EQ(list.Count(), 3u);
    EXPECT_EQ(list.Entries()[2].path, P("zero.txt"));
    EXPECT_EQ(list.Entries()[2].size, 0u);
    EXPECT_EQ(list.Total(), SumOfEntries(list));
}

TEST_F(SourceListTest, RemovingKeepsTheTotalEqualToTheRemainingEntries) {
    CSourceList list(fs_);
    for (const char* name : {"a.txt", "docs", "zero.txt", "huge1.bin", "huge2.bin"})
        ASSERT_EQ(list.Add(P(name)), SourceAdd::Added) << name;
    // Two 3 GB files: 6 GB and more, past what 32 bits hold.
    EXPECT_EQ(list.Total(), 1200u + 4800u + 2 * HugeFiles::kHuge);
    EXPECT_EQ(StatusText(list.Total(), 1440), "6000.006 MB and 4167 Files/Diskettes");

    // A file that grows after it was added: removing it takes off what it added, so the total
    // does not drift (or wrap below zero when it shrank).
    Write("a.txt", 9000);
    for (size_t index : {3u, 0u, 1u}) {  // huge1, a.txt, zero.txt
        ASSERT_TRUE(list.RemoveAt(index));
        EXPECT_EQ(list.Total(), SumOfEntries(list));
    }
    EXPECT_FALSE(list.RemoveAt(2));
    ASSERT_EQ(list.Count(), 2u);
    EXPECT_EQ(list.Entries()[0].path, P("docs"));
    EXPECT_EQ(list.Entries()[1].path, P("huge2.bin"));
    EXPECT_EQ(list.Total(), 4800u + HugeFiles::kHuge);
    // The freed path can be added again.
    EXPECT_EQ(list.Add(P("a.txt")), SourceAdd::Added);
    EXPECT_EQ(list.Total(), 4800u + HugeFiles::kHuge + 9000u);
}

// What Explorer passes is taken as the form takes it: an empty file picked there must not be
// missing from the set without a word (the wizard started so never shows the list).
TEST_F(SourceListTest, CommandLinePathsAreTakenAsTheFormTakesThem) {
    CSourceList list(fs_);
    const auto paths = CSourceList::SplitCommandLine(P("a.txt") + "*" + P("zero.txt") + "*" + P("empty") + "*" +
                                                     P("docs") + "*" + P("a.txt"));
    size_t taken = 0;
    for (const auto& p : paths) taken += list.AddFromCommandLine(p) ? 1 : 0;
    EXPECT_EQ(taken, 3u);
    ASSERT_EQ(list.Count(), 3u);
    EXPECT_EQ(list.Entries()[1].path, P("zero.txt"));
    EXPECT_EQ(list.Total(), 1200u + 4800u);
}

// A folder whose files are all empty, or that holds only empty folders, has size 0 but is
// not empty: the set keeps its names. Only hidden items (the build leaves them out) do not count.
TEST_F(SourceListTest, AFolderOfEmptyItemsIsTakenAndAFolderOfHiddenItemsIsNot) {
    fs_.MakeFolder(P("marks"));
    Write("marks\\done", 0);
    fs_.MakeFolder(P("tree"));
    fs_.MakeFolder(P("tree\\leaf"));
    fs_.MakeFolder(P("hidden"));
    Write("hidden\\.keep", 0);  // hidden on POSIX by its leading dot
    CSourceList list(fs_);
    EXPECT_EQ(list.Add(P("marks")), SourceAdd::Added);
    EXPECT_EQ(list.Add(P("tree")), SourceAdd::Added);
    EXPECT_EQ(list.Add(P("hidden")), SourceAdd::EmptyFolder);
    EXPECT_EQ(list.Count(), 2u);
    EXPECT_EQ(list.Total(), 0u);
}

TEST_F(SourceListTest, HiddenItemsInsideFoldersAreNotCounted) {
    Write("docs\\inner\\.secret", 50);  // hidden on POSIX by its leading dot
    uint32_t attributes = 0;
    ASSERT_TRUE(fs_.GetAttributes(P("docs\\inner\\.secret"), attributes));
    ASSERT_TRUE(attributes & kAttrHidden);
    EXPECT_EQ(CSourceList::PathSize(fs_, P("docs")), 4800u);
}
