// The rejoin walk on the Win32 file system: hostile names that Windows itself would turn into
// devices, streams or parent folders are refused, and an engine-written set comes back whole.
#include <gtest/gtest.h>
#include <windows.h>

#include "engine/split_engine.h"
#include "fakes/crafted_set.h"
#include "fakes/scripted_prompts.h"
#include "fakes/test_files.h"
#include "rejoiner/segment_reader.h"

namespace {

// Names in a folder, "." and ".." left out.
std::vector<std::string> Names(const std::string& folder) {
    std::vector<std::string> names;
    SystemFileSystem().ListFolder(folder + "\\*.*", [&](const DirEntry& e) {
        if (e.name != "." && e.name != "..") names.push_back(e.name);
        return true;
    });
    return names;
}

class OverwriteNo : public IOverwriteQuestion {
public:
    int Ask(const std::string&) override { return kOverwriteNo; }
};

class NoSteps : public IRejoinProgress {
public:
    void Step() override {}
};

class RejoinWin : public ::testing::Test {
protected:
    void SetUp() override {
        base_ = MakeScratchFolder("rejoin_win_");
        ::CreateDirectoryA((base_ + "\\out").c_str(), nullptr);
    }
    void TearDown() override { RemoveTree(SystemFileSystem(), base_); }

    int Rejoin(const std::string& first, ScriptedPrompts& prompts) {
        OverwriteNo overwrite;
        NoSteps steps;
        CSegmentReader reader(first, SystemFileSystem(), prompts, overwrite, steps);
        return reader.Rejoin(base_ + "\\out\\");
    }

    std::string base_;
};

TEST_F(RejoinWin, NamesWindowsWouldMisreadAreSkippedAndTheRestRestored) {
    for (const std::string name : {"CON", "aux.txt", "nul .log", "x:stream", "..", "..\\evil", "d/evil", "evil.",
                                   "COM1"}) {
        SCOPED_TRACE(name);
        CraftedSet set;
        set.File("ok", "ok").Folder("d").File(name, "evil", 1).File("after", "a");
        std::string first = base_ + "\\set_1.EXE";
        WriteWholeFile(first, set.Segments({}, 8)[0]);
        ScriptedPrompts prompts;
        EXPECT_EQ(Rejoin(first, prompts), 1);
        ASSERT_EQ(prompts.shown.size(), 1u);
        EXPECT_NE(prompts.shown[0].text.find("(a name that is not allowed)"), std::string::npos) << prompts.shown[0].text;
        EXPECT_EQ(Names(base_), (std::vector<std::string>{"out", "set_1.EXE"}));
        EXPECT_EQ(Names(base_ + "\\out\\d"), std::vector<std::string>{});
        EXPECT_EQ(ReadWholeFile(base_ + "\\out\\ok"), "ok");
        EXPECT_EQ(ReadWholeFile(base_ + "\\out\\after"), "a");
        ::DeleteFileA((base_ + "\\out\\after").c_str());
        ::DeleteFileA((base_ + "\\out\\ok").c_str());
    }
}

TEST_F(RejoinWin, EngineSetComesBackWhole) {
    std::string src = base_ + "\\src";
    ::CreateDirectoryA(src.c_str(), nullptr);
    ::CreateDirectoryA((src + "\\sub").c_str(), nullptr);
    std::string big = PatternBytes(150000, 0);
    WriteWholeFile(src + "\\sub\\big.bin", big);
    WriteWholeFile(src + "\\sub\\empty.txt", "");
    WriteWholeFile(src + "\\top.txt", "top");
    ::CreateDirectoryA((base_ + "\\sets").c_str(), nullptr);
    {
        ScriptedPrompts prompts;
        NullProgress progress;
        BytesRejoinerImage image(std::vector<uint8_t>(4096, 0x90));
        SplitSharedState shared;
        CSplitEngine engine(SystemFileSystem(), prompts, progress, image, SplitEngineOptions(), shared);
        engine.SetExeFolder(base_ + "\\");
        engine.AddItem(src + "\\sub");
        engine.AddItem(src + "\\top.txt");
        ASSERT_TRUE(engine.Split(base_ + "\\sets\\", "my_set", 60000));
        ASSERT_GE(engine.SegmentCount(), 3);
    }
    WriteWholeFile(base_ + "\\out\\top.txt", "mine");  // kept: answered No
    ScriptedPrompts prompts;
    EXPECT_EQ(Rejoin(base_ + "\\sets\\my_set_1.EXE", prompts), 1);
    EXPECT_TRUE(prompts.shown.empty());
    EXPECT_EQ(ReadWholeFile(base_ + "\\out\\sub\\big.bin"), big);
    EXPECT_EQ(ReadWholeFile(base_ + "\\out\\sub\\empty.txt"), "");
    EXPECT_EQ(::GetFileAttributesA((base_ + "\\out\\sub\\empty.txt").c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u);
    EXPECT_EQ(ReadWholeFile(base_ + "\\out\\top.txt"), "mine");
}

}  // namespace
