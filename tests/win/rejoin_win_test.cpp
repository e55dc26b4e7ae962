// The rejoin walk on the Win32 file system: hostile names that Windows itself would turn into
// devices, streams or parent folders are refused, and an engine-written set comes back whole.
#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <sstream>

#include "engine/split_engine.h"
#include "fakes/scripted_prompts.h"
#include "rejoiner/segment_reader.h"

namespace {

std::string Le32(uint32_t v) {
    std::string s(4, '\0');
    for (int i = 0; i < 4; ++i) s[i] = static_cast<char>(v >> (8 * i));
    return s;
}

std::string Record(uint32_t size, uint8_t attributes, uint32_t parent, const std::string& name) {
    return Le32(size) + std::string(1, static_cast<char>(attributes)) + Le32(parent) + name + std::string(1, '\0');
}

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

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
        char temp[MAX_PATH];
        ::GetTempPathA(sizeof temp, temp);
        base_ = std::string(temp) + "rejoin_win_" + std::to_string(::GetCurrentProcessId());
        ::CreateDirectoryA(base_.c_str(), nullptr);
        ::CreateDirectoryA((base_ + "\\out").c_str(), nullptr);
    }
    void TearDown() override { std::system(("cmd /c rmdir /s /q \"" + base_ + "\" >nul 2>nul").c_str()); }

    int Rejoin(const std::string& first, ScriptedPrompts& prompts) {
        OverwriteNo overwrite;
        NoSteps steps;
        CSegmentReader reader(first, SystemFileSystem(), prompts, overwrite, steps);
        return reader.Rejoin(base_ + "\\out\\");
    }

    std::string base_;
};

TEST_F(RejoinWin, NamesWindowsWouldMisreadAreRefused) {
    for (const std::string name : {"CON", "aux.txt", "nul .log", "x:stream", "..", "..\\evil", "d/evil", "evil.",
                                   "COM1"}) {
        SCOPED_TRACE(name);
        std::string stream = Record(2, 0x20, 0, "ok") + "ok" + Record(0, 0x10, 0, "d") +
                             Record(4, 0x20, 1, name) + "evil" + Record(1, 0x20, 0, "after") + "a";
        std::string first = base_ + "\\set_1.EXE";
        std::ofstream(first, std::ios::binary) << std::string(8, 'M') + "\1" + stream + Le32(8);
        ScriptedPrompts prompts;
        EXPECT_EQ(Rejoin(first, prompts), 0);
        ASSERT_EQ(prompts.shown.size(), 1u);
        EXPECT_NE(prompts.shown[0].text.find("not allowed"), std::string::npos) << prompts.shown[0].text;
        EXPECT_EQ(Names(base_), (std::vector<std::string>{"out", "set_1.EXE"}));
        EXPECT_EQ(Names(base_ + "\\out\\d"), std::vector<std::string>{});
        EXPECT_EQ(ReadAll(base_ + "\\out\\ok"), "ok");
        EXPECT_EQ(::GetFileAttributesA((base_ + "\\out\\after").c_str()), INVALID_FILE_ATTRIBUTES);
    }
}

TEST_F(RejoinWin, EngineSetComesBackWhole) {
    std::string src = base_ + "\\src";
    ::CreateDirectoryA(src.c_str(), nullptr);
    ::CreateDirectoryA((src + "\\sub").c_str(), nullptr);
    std::string big(150000, '\0');
    for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i * 13 + i / 251);
    std::ofstream(src + "\\sub\\big.bin", std::ios::binary) << big;
    std::ofstream(src + "\\sub\\empty.txt", std::ios::binary);
    std::ofstream(src + "\\top.txt", std::ios::binary) << "top";
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
    std::ofstream(base_ + "\\out\\top.txt", std::ios::binary) << "mine";  // kept: answered No
    ScriptedPrompts prompts;
    EXPECT_EQ(Rejoin(base_ + "\\sets\\my_set_1.EXE", prompts), 1);
    EXPECT_TRUE(prompts.shown.empty());
    EXPECT_EQ(ReadAll(base_ + "\\out\\sub\\big.bin"), big);
    EXPECT_EQ(ReadAll(base_ + "\\out\\sub\\empty.txt"), "");
    EXPECT_EQ(::GetFileAttributesA((base_ + "\\out\\sub\\empty.txt").c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u);
    EXPECT_EQ(ReadAll(base_ + "\\out\\top.txt"), "mine");
}

}  // namespace
