// remblo end to end under Wine + Xvfb: a tree split by the engine (its image is this build's
// remblo), the first segment run, the destination chosen in its dialog, overwrite questions
// answered, the completion message read and the rebuilt tree compared byte for byte; and a set
// on the diskette A: whose later segment must be inserted when asked.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <functional>
#include <map>

#include "checksum/set_checksums.h"
#include "engine/split_engine.h"
#include "fakes/scripted_prompts.h"
#include "fakes/test_files.h"
#include "gui/driver/gui_driver.h"
#include "platform/file_system.h"
#include "recovery/recovery_creator.h"
#include "resources/remblo_res.h"

namespace {

// Runs a host (Linux) command from the Wine process and waits for it. Wine refuses to move a
// program file that is running, as Windows does; a user pulling the diskette is not refused.
bool HostRun(const std::string& commandLine) {
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    std::string line = commandLine;
    if (!::CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return false;
    ::CloseHandle(pi.hThread);
    ::CloseHandle(pi.hProcess);
    return true;
}

std::string BuildDir() {
    const char* build = std::getenv("ZEMBRA_BINARY_DIR");
    return build ? build : "";
}

class RembloGui : public ::testing::Test {
protected:
    void SetUp() override {
        base_ = MakeScratchFolder("remblo_gui_");
        for (const char* sub : {"\\src", "\\sets", "\\out", "\\away"}) ::CreateDirectoryA((base_ + sub).c_str(), nullptr);
    }
    void TearDown() override { RemoveTree(SystemFileSystem(), base_); }

    // Splits the given items of base\src into folder with the engine; returns the segment count.
    int Split(const std::vector<std::string>& items, const std::string& folder, uint64_t size) {
        ScriptedPrompts prompts;
        NullProgress progress;
        ResourceRejoinerImage image;  // this test carries the build's remblo as RAW_BINARY 131
        SplitSharedState shared;
        CSplitEngine engine(SystemFileSystem(), prompts, progress, image, SplitEngineOptions(), shared);
        engine.SetExeFolder(base_ + "\\away\\");
        for (const auto& item : items) engine.AddItem(base_ + "\\src\\" + item);
        EXPECT_TRUE(engine.Split(folder, "set", size));
        EXPECT_TRUE(prompts.shown.empty()) << (prompts.shown.empty() ? "" : prompts.shown[0].text);
        return engine.SegmentCount();
    }

    // Waits for the next window of the program that is either the File Exists question or a
    // message box; returns it with isQuestion telling which.
    HWND NextDialog(DWORD pid, bool& isQuestion) {
        HWND found = nullptr;
        gui::WaitUntil([&] {
            for (HWND h : gui::TopWindows({"#32770", "", false, pid})) {
                std::string title = gui::Text(h);
                if (title == "File Exists" || ::GetDlgItem(h, 0xFFFF)) {
                    found = h;
                    isQuestion = title == "File Exists";
                    return true;
                }
            }
            return false;
        });
        return found;
    }

    std::string base_;
};

TEST_F(RembloGui, RejoinsIntoTheChosenFolderAnsweringFileExists) {
    ::CreateDirectoryA((base_ + "\\src\\top").c_str(), nullptr);
    ::CreateDirectoryA((base_ + "\\src\\top\\a").c_str(), nullptr);
    ::CreateDirectoryA((base_ + "\\src\\top\\empty dir").c_str(), nullptr);
    WriteWholeFile(base_ + "\\src\\top\\a\\deep.txt", "deep");
    WriteWholeFile(base_ + "\\src\\top\\a\\b.txt", "bbb");
    WriteWholeFile(base_ + "\\src\\top\\empty.txt", "");
    WriteWholeFile(base_ + "\\src\\top\\big.bin", PatternBytes(700000, 1));
    WriteWholeFile(base_ + "\\src\\loose.txt", "loose");
    std::string sets = base_ + "\\sets\\";
    ASSERT_GE(Split({"top", "loose.txt"}, sets, 0), 1);
    auto expected = ListTree(SystemFileSystem(), base_ + "\\src");

    // Four files exist at the destination already.
    std::string out = base_ + "\\out";
    std::string dest = out + "\\dest";
    ::CreateDirectoryA(dest.c_str(), nullptr);
    ::CreateDirectoryA((dest + "\\top").c_str(), nullptr);
    ::CreateDirectoryA((dest + "\\top\\a").c_str(), nullptr);
    const std::vector<std::string> conflicts = {"top\\a\\deep.txt", "top\\a\\b.txt", "top\\empty.txt", "loose.txt"};
    for (const auto& c : conflicts) WriteWholeFile(dest + "\\" + c, "old");

    gui::Program remblo;
    ASSERT_TRUE(remblo.Start("\"" + sets + "set_1.EXE\"", out));
    HWND dialog = gui::FindTop({"#32770", "Zembra Rejoin - ", true, remblo.Pid()});
    ASSERT_TRUE(dialog);
    EXPECT_EQ(gui::Text(dialog), "Zembra Rejoin - " + sets + "set_1.EXE");
    EXPECT_EQ(gui::Text(::GetDlgItem(dialog, IDC_DESTINATION)), out);

    // New creates a folder and enters it; Up comes back; then the list's [dest] is chosen.
    ASSERT_TRUE(gui::Click(dialog, IDC_NEW));
    HWND edit = gui::FindTop("#32770", "New Directory", gui::kTimeoutMs, remblo.Pid());
    ASSERT_TRUE(edit);
    EXPECT_EQ(gui::Text(::GetDlgItem(edit, IDC_EDIT_PROMPT)), "Enter new directory name:");
    ASSERT_TRUE(gui::SetText(edit, IDC_EDIT_TEXT, "fresh"));
    ASSERT_TRUE(gui::Click(edit, IDOK));
    ASSERT_TRUE(gui::WaitGone(edit));
    HWND destination = ::GetDlgItem(dialog, IDC_DESTINATION);
    EXPECT_TRUE(gui::WaitUntil([&] { return gui::Text(destination) == out + "\\fresh"; })) << gui::Text(destination);
    EXPECT_NE(::GetFileAttributesA((out + "\\fresh").c_str()), INVALID_FILE_ATTRIBUTES);
    ASSERT_TRUE(gui::Click(dialog, IDC_UP));
    EXPECT_TRUE(gui::WaitUntil([&] { return gui::Text(destination) == out; })) << gui::Text(destination);
    HWND list = ::GetDlgItem(dialog, IDC_FOLDERS);
    ASSERT_EQ(::SendMessageA(list, LB_GETCOUNT, 0, 0), 2);  // [dest] and [fresh], sorted
    ::SendMessageA(list, LB_SETCURSEL, 0, 0);
    ::SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_FOLDERS, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
    EXPECT_EQ(gui::Text(destination), dest);

    ASSERT_TRUE(gui::Click(dialog, IDOK));  // &Rejoin
    // Yes, No, No To All; the fourth existing file is then left alone without a question.
    const int answers[] = {IDOK, IDCANCEL, IDC_NO_TO_ALL};
    std::vector<std::string> asked;
    std::string completion;
    for (;;) {
        bool isQuestion = false;
        HWND next = NextDialog(remblo.Pid(), isQuestion);
        ASSERT_TRUE(next) << "no question or message came";
        if (!isQuestion) {
            completion = gui::MessageBoxText(next);
            ASSERT_TRUE(gui::Answer(next, IDOK));
            break;
        }
        ASSERT_LT(asked.size(), 3u) << "asked after No To All";
        std::string text = gui::Text(::GetDlgItem(next, IDC_EXISTS_TEXT));
        asked.push_back(text);
        ASSERT_TRUE(gui::Click(next, answers[asked.size() - 1]));
        ASSERT_TRUE(gui::WaitGone(next));
    }
    EXPECT_EQ(completion, "Zembra has Rejoined " + sets + "set_1.EXE\n\rTo " + dest + "\\");
    DWORD code = 0;
    EXPECT_TRUE(remblo.WaitExit(gui::kTimeoutMs, &code));

    ASSERT_EQ(asked.size(), 3u);
    for (const std::string& c : conflicts) {
        std::string text = dest + "\\" + c + " exists.";
        auto at = std::find(asked.begin(), asked.end(), text);
        // Only the file asked first (answered Yes) was replaced.
        expected[c] = at == asked.begin() ? expected[c] : "old";
    }
    EXPECT_EQ(ListTree(SystemFileSystem(), dest), expected);
}

// A later segment that is not there on a hard disk: the message names it and the file left
// short, and never says the set was rejoined.
TEST_F(RembloGui, AMissingSegmentIsToldNotAnnouncedAsDone) {
    WriteWholeFile(base_ + "\\src\\small.txt", "small");
    WriteWholeFile(base_ + "\\src\\data.bin", PatternBytes(250000, 3));
    std::string sets = base_ + "\\sets\\";
    std::vector<uint8_t> image;
    ASSERT_TRUE(ResourceRejoinerImage().Load(image));
    ASSERT_EQ(Split({"small.txt", "data.bin"}, sets, image.size() + 5 + 100000), 2);
    ASSERT_TRUE(::DeleteFileA((sets + "set_2.SEG").c_str()));
    std::string out = base_ + "\\out";

    gui::Program remblo;
    ASSERT_TRUE(remblo.Start("\"" + sets + "set_1.EXE\"", out));
    HWND dialog = gui::FindTop({"#32770", "Zembra Rejoin - ", true, remblo.Pid()});
    ASSERT_TRUE(dialog);
    ASSERT_TRUE(gui::Click(dialog, IDOK));
    EXPECT_EQ(gui::AnswerNextMessageBox(IDOK, remblo.Pid()),
              "The Rejoin is incomplete: the segment set_2.SEG of " + sets + "set_1.EXE was not found.\n\r" + out +
                  "\\data.bin was not restored: the set ends inside it.\n\rWhat came before it is in " + out + "\\");
    EXPECT_TRUE(remblo.WaitExit());
    EXPECT_EQ(ReadWholeFile(out + "\\small.txt"), "small");
}

// NAME.sha256 beside the set: a second segment of another set, of the right name and size, is
// refused by name before any of its bytes are used, never rejoined into a mixed file.
TEST_F(RembloGui, ASegmentOfAnotherSetIsRefusedByItsChecksum) {
    WriteWholeFile(base_ + "\\src\\small.txt", "small");
    WriteWholeFile(base_ + "\\src\\data.bin", PatternBytes(250000, 3));
    std::vector<uint8_t> image;
    ASSERT_TRUE(ResourceRejoinerImage().Load(image));
    const uint64_t size = image.size() + 5 + 100000;
    std::string other = base_ + "\\away\\", sets = base_ + "\\sets\\", error;
    ASSERT_EQ(Split({"small.txt", "data.bin"}, other, size), 2);
    WriteWholeFile(base_ + "\\src\\data.bin", PatternBytes(250000, 4));
    ASSERT_EQ(Split({"small.txt", "data.bin"}, sets, size), 2);
    ASSERT_TRUE(CSetChecksums::Write(SystemFileSystem(), sets, "set", 2, error)) << error;
    ASSERT_TRUE(::CopyFileA((other + "set_2.SEG").c_str(), (sets + "set_2.SEG").c_str(), FALSE));
    std::string out = base_ + "\\out";

    gui::Program remblo;
    ASSERT_TRUE(remblo.Start("\"" + sets + "set_1.EXE\"", out));
    HWND dialog = gui::FindTop({"#32770", "Zembra Rejoin - ", true, remblo.Pid()});
    ASSERT_TRUE(dialog);
    ASSERT_TRUE(gui::Click(dialog, IDOK));
    EXPECT_EQ(gui::AnswerNextMessageBox(IDOK, remblo.Pid()),
              sets + "set_2.SEG does not match its SHA-256 checksum in set.sha256: the segment is damaged, was "
                     "altered or belongs to another set.\r\nRejoin stopped.");
    EXPECT_TRUE(remblo.WaitExit());
    EXPECT_EQ(ReadWholeFile(out + "\\small.txt"), "small");
    EXPECT_NE(ReadWholeFile(out + "\\data.bin"), PatternBytes(250000, 4));
}

// Recovery volumes beside the set: a later segment missing and another altered are rebuilt
// before the rejoin, which says so and then rebuilds the tree byte for byte.
TEST_F(RembloGui, RebuildsSegmentsFromRecoveryVolumesBeforeTheRejoin) {
    WriteWholeFile(base_ + "\\src\\data.bin", PatternBytes(1200000, 5));
    WriteWholeFile(base_ + "\\src\\small.txt", "small");
    std::string sets = base_ + "\\sets\\";
    std::vector<uint8_t> image;
    ASSERT_TRUE(ResourceRejoinerImage().Load(image));
    int count = Split({"small.txt", "data.bin"}, sets, image.size() + 5 + 40000);
    ASSERT_GE(count, 4);
    std::vector<std::string> names;
    for (int n = 1; n <= count; ++n) names.push_back(CSplitEngine::SegmentName("set", n));
    std::string error;
    CRecoveryCreator creator(SystemFileSystem());
    ASSERT_TRUE(creator.Create(sets, "set", names, 2, image.size() + 5 + 40000, error)) << error;
    ASSERT_TRUE(::DeleteFileA((sets + "set_2.SEG").c_str()));
    std::string third = ReadWholeFile(sets + "set_3.SEG");
    third[5000] ^= 0x55;
    ASSERT_TRUE(WriteWholeFile(sets + "set_3.SEG", third));
    auto expected = ListTree(SystemFileSystem(), base_ + "\\src");
    std::string out = base_ + "\\out";

    gui::Program remblo;
    ASSERT_TRUE(remblo.Start("\"" + sets + "set_1.EXE\"", out));
    HWND dialog = gui::FindTop({"#32770", "Zembra Rejoin - ", true, remblo.Pid()});
    ASSERT_TRUE(dialog);
    ASSERT_TRUE(gui::Click(dialog, IDOK));
    EXPECT_EQ(gui::AnswerNextMessageBox(IDOK, remblo.Pid()),
              "set_2.SEG is missing, set_3.SEG is damaged (1 of 2 slices).\r\nZembra rebuilt set_2.SEG, set_3.SEG "
              "from the recovery volumes in " + sets);
    EXPECT_EQ(gui::AnswerNextMessageBox(IDOK, remblo.Pid()), "Zembra has Rejoined " + sets + "set_1.EXE\n\rTo " + out + "\\");
    EXPECT_TRUE(remblo.WaitExit());
    EXPECT_EQ(ListTree(SystemFileSystem(), out), expected);
}

// Exit while the volumes are at work stops them: nothing rebuilt, nothing rejoined, no message,
// the dialog stays with its progress text cleared; Exit then ends the program.
TEST_F(RembloGui, ExitStopsTheRepairAndRejoinsNothing) {
    // Large enough that checking and rebuilding outlast the click.
    WriteWholeFile(base_ + "\\src\\data.bin", PatternBytes(160000000, 9));
    std::string sets = base_ + "\\sets\\";
    int count = Split({"data.bin"}, sets, 20000000);
    std::vector<std::string> names;
    for (int n = 1; n <= count; ++n) names.push_back(CSplitEngine::SegmentName("set", n));
    std::string error;
    CRecoveryCreator creator(SystemFileSystem());
    ASSERT_TRUE(creator.Create(sets, "set", names, 1, 20000000, error)) << error;
    ASSERT_TRUE(::DeleteFileA((sets + "set_2.SEG").c_str()));
    std::string out = base_ + "\\out";

    gui::Program remblo;
    ASSERT_TRUE(remblo.Start("\"" + sets + "set_1.EXE\"", out));
    HWND dialog = gui::FindTop({"#32770", "Zembra Rejoin - ", true, remblo.Pid()});
    ASSERT_TRUE(dialog);
    HWND progress = gui::FindChild(dialog, IDC_PROGRESS_ARROWS);
    ASSERT_TRUE(gui::Click(dialog, IDOK));
    ASSERT_TRUE(gui::WaitUntil([&] {
        std::string t = gui::Text(progress);
        return t.rfind("Checking ", 0) == 0 || t.rfind("Rebuilding ", 0) == 0;
    }));
    ASSERT_TRUE(gui::Click(dialog, IDCANCEL));
    EXPECT_TRUE(gui::WaitUntil([&] { return gui::Text(progress).empty(); }));
    EXPECT_EQ(gui::FindMessageBox(remblo.Pid(), 1500), nullptr);
    EXPECT_TRUE(::IsWindow(dialog));
    EXPECT_FALSE(SystemFileSystem().Exists(sets + "set_2.SEG"));
    EXPECT_TRUE(ListTree(SystemFileSystem(), out).empty());
    ASSERT_TRUE(gui::Click(dialog, IDCANCEL));
    EXPECT_TRUE(remblo.WaitExit());
}

TEST_F(RembloGui, DisketteSetAsksForTheMissingSegmentAndTheFirstDisk) {
    if ((::GetDriveTypeA("A:\\") != DRIVE_REMOVABLE)) GTEST_SKIP() << "no diskette drive A: in this prefix";
    RemoveTree(SystemFileSystem(), "A:");  // an empty diskette
    WriteWholeFile(base_ + "\\src\\data.bin", PatternBytes(200000, 7));
    WriteWholeFile(base_ + "\\src\\small.txt", "small");
    std::string sets = base_ + "\\sets\\";
    std::vector<uint8_t> image;
    ASSERT_TRUE(ResourceRejoinerImage().Load(image));
    // Segments small enough that data.bin runs into set_2.SEG.
    ASSERT_EQ(Split({"small.txt", "data.bin"}, sets, image.size() + 5 + 120000), 2);
    ASSERT_TRUE(::CopyFileA((sets + "set_1.EXE").c_str(), "A:\\set_1.EXE", FALSE));
    std::string out = base_ + "\\out";

    {
        // Started in A:\ the diskette itself is the destination, which is refused; at a drive
        // root there is no Up.
        gui::Program first;
        ASSERT_TRUE(first.Start("A:\\set_1.EXE", "A:\\"));
        HWND dialog = gui::FindTop({"#32770", "Zembra Rejoin - ", true, first.Pid()});
        ASSERT_TRUE(dialog);
        EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(dialog, IDC_UP)));
        ASSERT_TRUE(gui::Click(dialog, IDOK));
        EXPECT_EQ(gui::AnswerNextMessageBox(IDOK, first.Pid()), "Destination cannot be a removeable diskette.");
        ASSERT_TRUE(gui::Click(dialog, IDCANCEL));  // the dialog stayed; &Exit ends the program
        EXPECT_TRUE(first.WaitExit());
        EXPECT_EQ(ListTree(SystemFileSystem(), "A:"),
                  (std::map<std::string, std::string>{{"set_1.EXE", ReadWholeFile(sets + "set_1.EXE")}}));
    }

    gui::Program remblo;
    ASSERT_TRUE(remblo.Start("A:\\set_1.EXE", out));
    HWND dialog = gui::FindTop({"#32770", "Zembra Rejoin - ", true, remblo.Pid()});
    ASSERT_TRUE(dialog);
    ASSERT_TRUE(gui::Click(dialog, IDOK));
    const std::string prompt = "Please insert the disk containing the file set_2.SEG in drive A.";
    // OK without the disk: asked again.
    EXPECT_EQ(gui::AnswerNextMessageBox(IDOK, remblo.Pid()), prompt);
    // The user swaps diskettes: the first goes out, the one with set_2.SEG comes in.
    HWND box = gui::FindMessageBox(remblo.Pid());
    ASSERT_TRUE(box);
    EXPECT_EQ(gui::MessageBoxText(box), prompt);
    const std::string floppy = BuildDir() + "/floppy/set_1.EXE", away = BuildDir() + "/remblo_away_set_1.EXE";
    ASSERT_TRUE(HostRun("/bin/mv -f " + floppy + " " + away));
    // Wine does not wait for a host process: wait for its effect.
    ASSERT_TRUE(gui::WaitUntil([] { return ::GetFileAttributesA("A:\\set_1.EXE") == INVALID_FILE_ATTRIBUTES; }));
    ASSERT_TRUE(::CopyFileA((sets + "set_2.SEG").c_str(), "A:\\set_2.SEG", FALSE));
    ASSERT_TRUE(gui::Answer(box, IDOK));

    // The program runs from the first diskette: the closing message asks for it back, and
    // again until it is there.
    const std::string done = "Please insert first diskette of Zembra set.\n\rZembra has Rejoined A:\\set_1.EXE\n\rTo " +
                             out + "\\";
    EXPECT_EQ(gui::AnswerNextMessageBox(IDOK, remblo.Pid()), done);
    box = gui::FindMessageBox(remblo.Pid());
    ASSERT_TRUE(box);
    EXPECT_EQ(gui::MessageBoxText(box), done);
    ::DeleteFileA("A:\\set_2.SEG");
    ASSERT_TRUE(HostRun("/bin/mv -f " + away + " " + floppy));
    ASSERT_TRUE(gui::WaitUntil([] { return ::GetFileAttributesA("A:\\set_1.EXE") != INVALID_FILE_ATTRIBUTES; }));
    ASSERT_TRUE(gui::Answer(box, IDOK));
    EXPECT_TRUE(remblo.WaitExit());
    EXPECT_EQ(ListTree(SystemFileSystem(), out), ListTree(SystemFileSystem(), base_ + "\\src"));
    RemoveTree(SystemFileSystem(), "A:");
}

}  // namespace
