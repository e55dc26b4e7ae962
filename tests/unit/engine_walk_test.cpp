// Split engine: the walk (order, folder ids, own output, hidden entries, drive roots),
// GetPathSize and MatchPattern.
#include <map>

#include "engine_fixture.h"

namespace {

class Walk : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        MkDir("D:\\out");
    }
    std::vector<ReadEntry> Run(CSplitEngine& e, const std::string& dest, const std::string& base) {
        prompts_.fallback = [](PromptButtons) { return PromptAnswer::Yes; };
        EXPECT_TRUE(e.Split(dest, base, 10000000));
        return ReadSet(Segments(dest, base), kImage);
    }
    // Full path of every entry, rebuilt from the parent ids as the rejoiner would.
    static std::vector<std::string> Paths(const std::vector<ReadEntry>& entries) {
        std::map<uint32_t, std::string> folders{{0, ""}};
        uint32_t counter = 0;
        std::vector<std::string> out;
        for (const auto& en : entries) {
            EXPECT_TRUE(folders.count(en.parent)) << en.name << " names unknown parent " << en.parent;
            std::string p = folders[en.parent] + en.name;
            if (en.attributes & 0x10) folders[++counter] = p + "\\";
            out.push_back(p + (en.attributes & 0x10 ? "\\" : ""));
        }
        std::sort(out.begin(), out.end());
        return out;
    }
};

TEST_F(Walk, FoldersComeBeforeTheirContentsAndIdsRestartEachRun) {
    MkDir("D:\\tree");
    MkDir("D:\\tree\\one");
    MkDir("D:\\tree\\two");
    MkDir("D:\\tree\\two\\deep");
    Put("D:\\tree\\top.txt", "t");
    Put("D:\\tree\\one\\a.txt", "aa");
    Put("D:\\tree\\two\\b.txt", "bbb");
    Put("D:\\tree\\two\\deep\\c.txt", "cccc");
    Put("D:\\solo.txt", "s");
    const std::vector<std::string> expected = {
        "solo.txt", "tree\\", "tree\\one\\", "tree\\one\\a.txt", "tree\\top.txt",
        "tree\\two\\", "tree\\two\\b.txt", "tree\\two\\deep\\", "tree\\two\\deep\\c.txt"};

    auto e = Engine();
    e->AddItem("D:\\tree");
    e->AddItem("D:\\solo.txt");
    for (int run = 0; run < 2; ++run) {
        SCOPED_TRACE(run);
        auto entries = Run(*e, "D:\\out\\", "B");
        ASSERT_EQ(entries.size(), expected.size());
        EXPECT_EQ(entries[0].name, "tree");
        EXPECT_EQ(entries[0].size, 0u);
        EXPECT_EQ(entries.back().name, "solo.txt");
        EXPECT_EQ(Paths(entries), expected);
        EXPECT_EQ(shared_.includedFiles, 5);
    }
    std::string listing = ReadWholeFile(Host("D:\\out\\B.spj"));
    EXPECT_NE(listing.find("\r\nD:\\tree - 0\r\n"), std::string::npos);
    EXPECT_NE(listing.find("\r\nD:\\tree\\two\\deep\\c.txt - 4\r\n"), std::string::npos);
}

TEST_F(Walk, DestinationFolderLeavesOutTheSetsOwnFiles) {
    struct Case {
        const char* base;
        std::vector<std::string> present;
        std::vector<std::string> kept;
    } cases[] = {
        {"B", {"B_9.SEG", "b_notes.txt", "Bx_1.EXE", "notes.txt", "b.SPJ"}, {"Bx_1.EXE", "notes.txt"}},
        {"my_set", {"my_set.spj", "my_set_5.SEG", "my_other.txt"}, {"my_other.txt", "my_set.spj"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.base);
        std::system(("rm -rf " + Host("D:\\out") + " && mkdir " + Host("D:\\out")).c_str());
        for (const auto& n : c.present) Put("D:\\out\\" + n, "x");
        auto e = Engine();
        e->AddItem("D:\\out");
        auto entries = Run(*e, "D:\\out\\", c.base);
        std::vector<std::string> names;
        for (size_t i = 1; i < entries.size(); ++i) names.push_back(entries[i].name);
        std::sort(names.begin(), names.end());
        EXPECT_EQ(names, c.kept);
    }
}

TEST_F(Walk, HiddenFilesCountOnlyWhenSelectedDirectlyAndMissingItemsAreReported) {
    MkDir("D:\\in");
    Put("D:\\in\\.hidden", "h");
    Put("D:\\in\\seen", "v");
    Put("D:\\.top", "t");
    auto e = Engine();
    e->AddItem("D:\\in");
    e->AddItem("D:\\gone");
    e->AddItem("D:\\.top");
    auto entries = Run(*e, "D:\\out\\", "B");
    // What the rule leaves out is named, never dropped without a word.
    EXPECT_EQ(prompts_.Texts(), (std::vector<std::string>{
        "The Split Set was written, but these items are missing from it:\n"
        "D:\\gone (could not be read: No such file or directory)",
        "1 hidden items inside the selected folders were left out of the Split Set, as the setting for hidden "
        "items says:\nD:\\in\\.hidden"}));
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[1].name, "seen");
    EXPECT_EQ(entries[2].name, ".top");
    EXPECT_EQ(entries[2].attributes & 0x02, 0x02);

    // Included when the user says so, and counted in the folder's size.
    prompts_.shown.clear();
    e->SetIncludeHidden(true);
    entries = Run(*e, "D:\\out\\", "B");
    std::vector<std::string> names;
    for (const auto& entry : entries) names.push_back(entry.name);
    std::sort(names.begin() + 1, names.begin() + 3);
    EXPECT_EQ(names, (std::vector<std::string>{"in", ".hidden", "seen", ".top"}));
    EXPECT_EQ(e->GetPathSize("D:\\in"), 2u);
    EXPECT_TRUE(e->HiddenLeftOut().empty());
}

TEST_F(Walk, DriveRootAndTrailingSeparatorBecomeNamedFolders) {
    mkdir((root_ + "/r").c_str(), 0777);
    posix_drives::Map('R', root_ + "/r");
    Put("R:\\in_root.txt", "123");
    MkDir("D:\\dir");
    Put("D:\\dir\\f", "1");
    auto e = Engine();
    e->AddItem("R:\\");
    e->AddItem("D:\\dir\\");
    auto entries = Run(*e, "D:\\out\\", "B");
    ASSERT_EQ(entries.size(), 4u);
    EXPECT_EQ(entries[0].name, "(R) Root Directory");
    EXPECT_EQ(entries[0].attributes, 0x10);
    EXPECT_EQ(entries[0].size, 0u);
    EXPECT_EQ(entries[1].name, "in_root.txt");
    EXPECT_EQ(entries[1].parent, 1u);
    EXPECT_EQ(entries[2].name, "dir");
    EXPECT_EQ(entries[3].parent, 2u);
    std::string listing = ReadWholeFile(Host("D:\\out\\B.spj"));
    EXPECT_NE(listing.find("\r\nR:\\in_root.txt - 3\r\n"), std::string::npos);
    EXPECT_NE(listing.find("\r\nD:\\dir\\f - 1\r\n"), std::string::npos);
}

TEST_F(Walk, ViewIsToldEachEntrySizeUnlessTheWizardRuns) {
    Put("D:\\a", Bytes(7));
    Put("D:\\b", Bytes(9));
    auto e = Engine();
    std::vector<uint32_t> told;
    e->SetViewForward([&](uint32_t size) { told.push_back(size); });
    e->AddItem("D:\\a");
    e->AddItem("D:\\b");
    Run(*e, "D:\\out\\", "B");
    EXPECT_EQ(told, (std::vector<uint32_t>{7, 9}));
    shared_.wizardRunning = true;
    told.clear();
    Run(*e, "D:\\out\\", "B");
    EXPECT_TRUE(told.empty());
}

TEST_F(Walk, PathSizeSumsVisibleFilesOnly) {
    MkDir("D:\\empty");
    MkDir("D:\\mixed");
    MkDir("D:\\mixed\\sub");
    Put("D:\\mixed\\.hidden", Bytes(5));
    Put("D:\\mixed\\shown", Bytes(3));
    Put("D:\\mixed\\sub\\more", Bytes(11));
    auto e = Engine();
    EXPECT_EQ(e->GetPathSize("D:\\empty"), 0u);
    EXPECT_EQ(e->GetPathSize("D:\\mixed"), 14u);
    EXPECT_EQ(e->GetPathSize("D:\\mixed\\shown"), 3u);
    EXPECT_EQ(e->GetPathSize("D:\\mixed\\.hidden"), 5u);  // a hidden file asked for directly
    EXPECT_EQ(e->GetPathSize("D:\\nothing"), 0u);
    EXPECT_EQ(e->GetPathSize("D:\\"), 0u);
}

TEST(MatchPattern, SixRules) {
    struct {
        const char* pattern;
        const char* name;
        bool match;
    } cases[] = {
        {"*.*", "anything", true},      {"*", "a.b.c", true},
        {"*.TXT", "readme.txt", true},  {"read*.doc", "readme.txt", false},
        {"README", "readme", false},    {"readme", "readme", true},
        {"a*", "a.txt", false},         {"x.*", "readme", true},
        {"x.txt", "readme", false},     {"READ*.t*", "readme.txt", true},
        {"*.txt", "a.tx", false},       {"readme.*", "README.md", true},
        {"a.b", "a.b.c", false},        {"a.*", "a.b.c", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CSplitEngine::MatchPattern(c.pattern, c.name), c.match) << c.pattern << " vs " << c.name;
}

}  // namespace
