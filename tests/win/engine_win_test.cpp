// Split engine on the Win32 backend: a set spans the 1.44 MB diskette A: three times, the
// "disk swaps" moving each written segment to C:.
#include <gtest/gtest.h>
#include <windows.h>

#include "engine/split_engine.h"
#include "fakes/scripted_prompts.h"
#include "fakes/test_files.h"
#include "platform/file_system.h"
#include "unit/engine_set_reader.h"

namespace {

const std::string kWork = "C:\\zb_engine_test\\";
const std::string kInsert = "Please insert another disk in drive A";

void RemoveTree(const std::string& folder) {
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((folder + "*.*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            std::string name = fd.cFileName;
            if (name == "." || name == "..") continue;
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(folder + name + "\\");
            else
                DeleteFileA((folder + name).c_str());
        } while (FindNextFileA(h, &fd));
        FindClose(h);
    }
    if (folder.size() > 3) RemoveDirectoryA(folder.c_str());
}

class DisketteSpan : public ::testing::Test {
protected:
    void SetUp() override {
        RemoveTree(kWork);
        RemoveTree("A:\\");
        for (auto f : {"", "src\\", "exe\\", "moved\\"}) CreateDirectoryA((kWork + f).c_str(), nullptr);
        CreateDirectoryA("A:\\sub", nullptr);
        data_.resize(2500000);
        for (size_t i = 0; i < data_.size(); ++i) data_[i] = char((i * 7 + i / 251) & 0xFF);
        ASSERT_TRUE(WriteWholeFile(kWork + "src\\payload.bin", data_));
        ASSERT_TRUE(WriteWholeFile(kWork + "src\\note.txt", "a short note"));
        image_.assign(4096, 0);
        for (size_t i = 0; i < image_.size(); ++i) image_[i] = uint8_t(i * 13);
        image_[0] = 'M';
        image_[1] = 'Z';
    }
    void TearDown() override {
        RemoveTree(kWork);
        RemoveTree("A:\\");
    }
    // The user takes the diskette out: every file on it goes to a folder of its own on C:.
    void SwapDisk() {
        std::string to = kWork + "moved\\" + std::to_string(++disks_) + "\\";
        CreateDirectoryA(to.c_str(), nullptr);
        for (const std::string& from : {std::string("A:\\"), std::string("A:\\sub\\")}) {
            WIN32_FIND_DATAA fd;
            HANDLE h = FindFirstFileA((from + "*.*").c_str(), &fd);
            if (h == INVALID_HANDLE_VALUE) continue;
            do {
                if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
                EXPECT_TRUE(MoveFileA((from + fd.cFileName).c_str(), (to + fd.cFileName).c_str())) << fd.cFileName;
            } while (FindNextFileA(h, &fd));
            FindClose(h);
        }
    }
    std::string data_;
    std::vector<uint8_t> image_;
    int disks_ = 0;
};

TEST_F(DisketteSpan, SpansThreeDiskettesAndReadsBackWhole) {
    ASSERT_EQ(SystemFileSystem().DriveTypeOf("A:\\"), DriveType::Removable);
    ScriptedPrompts prompts;
    prompts.Then(PromptAnswer::Ok)  // the disk with segment 1 is still in the drive
        .Then(PromptAnswer::Ok, [this] { SwapDisk(); })
        .Then(PromptAnswer::Ok, [this] { SwapDisk(); });
    RecordingProgress progress;
    BytesRejoinerImage image(image_);
    SplitSharedState shared;
    CSplitEngine engine(SystemFileSystem(), prompts, progress, image, SplitEngineOptions(), shared);
    engine.SetExeFolder(kWork + "exe\\");
    engine.AddItem(kWork + "src\\note.txt");
    engine.AddItem(kWork + "src\\payload.bin");
    ASSERT_TRUE(engine.Split("A:\\sub", "B", 1000000));

    EXPECT_EQ(prompts.Texts(), (std::vector<std::string>{
        kInsert, kInsert + "\nCannot overwrite previous segment A:\\sub\\B_1.EXE.", kInsert}));
    EXPECT_EQ(engine.Destination(), "A:\\");
    std::vector<std::string> segs = {ReadWholeFile(kWork + "moved\\1\\B_1.EXE"), ReadWholeFile(kWork + "moved\\2\\B_2.SEG"),
                                     ReadWholeFile("A:\\B_3.SEG")};
    EXPECT_EQ(segs[0].size(), 1000000u);
    EXPECT_EQ(segs[1].size(), 1000000u);
    EXPECT_EQ(segs[0].substr(0, image_.size()), std::string(image_.begin(), image_.end()));
    auto entries = ReadSet(segs, uint32_t(image_.size()));
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].name, "note.txt");
    EXPECT_EQ(entries[0].data, "a short note");
    EXPECT_EQ(entries[1].name, "payload.bin");
    EXPECT_EQ(entries[1].size, data_.size());
    EXPECT_TRUE(entries[1].data == data_);

    std::string listing = ReadWholeFile(kWork + "exe\\B.spj");
    EXPECT_NE(listing.find("$ =====Files in B_3.SEG=======\r\n$ cont.. " + kWork + "src\\payload.bin\r\n"),
              std::string::npos);
    EXPECT_EQ(GetFileAttributesA("A:\\B.spj"), INVALID_FILE_ATTRIBUTES);
}

}  // namespace

namespace {

// Wide names made with the W calls, as another program would make them.
bool WriteWide(const std::wstring& path, const std::string& data) {
    HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    DWORD put = 0;
    bool ok = WriteFile(h, data.data(), DWORD(data.size()), &put, nullptr) && put == data.size();
    CloseHandle(h);
    return ok;
}

class WideNames : public ::testing::Test {
protected:
    void SetUp() override {
        RemoveTree(kWork);
        CreateDirectoryA(kWork.c_str(), nullptr);
        CreateDirectoryA((kWork + "src").c_str(), nullptr);
        CreateDirectoryA((kWork + "out").c_str(), nullptr);
        ASSERT_TRUE(WriteWholeFile(kWork + "src\\c.txt", "plain c"));
        ASSERT_TRUE(WriteWholeFile(kWork + "secret.txt", "outside the source"));
    }
    void TearDown() override {
        // The ANSI walk of RemoveTree cannot name these.
        for (const wchar_t* name : kWideNames) DeleteFileW((Src() + name).c_str());
        RemoveTree(kWork);
    }
    static constexpr const wchar_t* kWideNames[] = {L"x\xFF3C..\xFF3C" L"secret.txt", L"\xFF43.txt", L"a\x4E2D.txt",
                                                    L"caf\x00E9 \x20AC.txt"};
    bool Split(ScriptedPrompts& prompts) {
        NullProgress progress;
        BytesRejoinerImage image(std::vector<uint8_t>(64, 0x90));
        SplitSharedState shared;
        CSplitEngine engine(SystemFileSystem(), prompts, progress, image, SplitEngineOptions(), shared);
        engine.SetExeFolder(kWork);
        engine.AddItem(kWork + "src");
        return engine.Split(kWork + "out\\", "B", 1000000);
    }
    std::wstring Src() const { return std::wstring(kWork.begin(), kWork.end()) + L"src\\"; }
};

// The ANSI calls would turn a fullwidth backslash into a separator (a path to another file),
// a fullwidth c into a second c.txt, and drop a CJK name: each is named, nothing is written.
TEST_F(WideNames, NamesWithoutAnExactSpellingRefuseTheRun) {
    ASSERT_TRUE(WriteWide(Src() + kWideNames[0], "look-alike"));
    ASSERT_TRUE(WriteWide(Src() + kWideNames[1], "fullwidth c"));
    ASSERT_TRUE(WriteWide(Src() + kWideNames[2], "cjk"));
    ScriptedPrompts prompts;
    EXPECT_FALSE(Split(prompts));
    ASSERT_EQ(prompts.shown.size(), 1u);
    const std::string& text = prompts.shown[0].text;
    EXPECT_EQ(text.rfind("These items have names that cannot be stored in a Split Set", 0), 0u) << text;
    for (const std::string& shown : {kWork + "src\\x?..?secret.txt", kWork + "src\\?.txt", kWork + "src\\a?.txt"})
        EXPECT_NE(text.find("\n" + shown), std::string::npos) << shown << " in " << text;
    EXPECT_EQ(GetFileAttributesA((kWork + "out\\B_1.EXE").c_str()), INVALID_FILE_ATTRIBUTES);
}

// A name the code page spells exactly goes into the set in it and comes back as it was.
TEST_F(WideNames, CodePageNamesGoIntoTheSetExactly) {
    ASSERT_TRUE(WriteWide(Src() + kWideNames[3], "latin"));
    ScriptedPrompts prompts;
    ASSERT_TRUE(Split(prompts)) << (prompts.shown.empty() ? "" : prompts.shown[0].text) << " ACP " << GetACP();
    EXPECT_TRUE(prompts.shown.empty());
    std::string set = ReadWholeFile(kWork + "out\\B_1.EXE");
    EXPECT_NE(set.find(std::string("caf\xE9 \x80.txt") + '\0' + "latin"), std::string::npos);
}

}  // namespace
