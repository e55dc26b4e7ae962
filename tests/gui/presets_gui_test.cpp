// zembra.exe end to end: choosing presets, defining one with "+", and Begin Split of a real tree
// into a folder and onto the diskette A:, each set rejoined by zembra-cli and compared byte for
// byte. The program runs from a folder of its own with a custom.dat written here.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "fakes/test_files.h"
#include "gui/driver/gui_driver.h"
#include "gui/remote_controls.h"
#include "platform/process.h"

namespace {

constexpr int kBuildTimeoutMs = 120000;
constexpr int kTree = 1003, kFileList = 1004, kAdd = 1006, kBeginSplit = 1008, kMaxSize = 1011;
constexpr int kSaveLocation = 1012, kSetName = 1014, kPresets = 1026, kAddPreset = 1031, kSizeDisplay = 1061;
constexpr int kName = 1027, kSize = 1028, kLocation = 1062;  // the custom size dialog

const std::string kWork = "C:\\zb_presets_gui\\";
const std::string kApp = kWork + "app\\";
const std::string kOut = kWork + "out\\";
const std::string kPresetFile =
    "Automatic\r\n\r\n0\r\n"
    "Type a size\r\n\r\n-1\r\n"
    "New preset...\r\n\r\n-2\r\n"
    "Diskette\r\nA:\\\r\n1440\r\n"
    "Folder\r\n" + kOut + "\r\n700\r\n";  // room for the win32 rejoiner (about 470 KB) and some data

std::string UserCopy() {
    char appData[MAX_PATH] = {0};
    GetEnvironmentVariableA("APPDATA", appData, sizeof appData);
    return std::string(appData) + "\\Zembra\\custom.dat";
}

bool Visible(HWND dialog, int id) { return IsWindowVisible(GetDlgItem(dialog, id)) != FALSE; }

class ZembraPresets : public ::testing::Test {
protected:
    void SetUp() override {
        RemoveTree(SystemFileSystem(), kWork.substr(0, kWork.size() - 1));
        for (const std::string& d : {kWork, kApp, kOut}) CreateDirectoryA(d.c_str(), nullptr);
        ASSERT_TRUE(CopyFileA((ModuleFolder() + "zembra.exe").c_str(), (kApp + "zembra.exe").c_str(), FALSE));
        WriteWholeFile(kApp + "custom.dat", kPresetFile);
        DeleteFileA(UserCopy().c_str());
        // On the desktop, so the form's folder tree shows it at its top level.
        treeName_ = "zbpre" + std::to_string(GetCurrentProcessId());
        tree_ = remote::DesktopFolder() + "\\" + treeName_;
        RemoveTree(SystemFileSystem(), tree_);
        for (const std::string& d : {tree_, tree_ + "\\sub", tree_ + "\\sub\\deep"}) CreateDirectoryA(d.c_str(), nullptr);
        WriteWholeFile(tree_ + "\\data.bin", PatternBytes(1100000, 1));
        WriteWholeFile(tree_ + "\\notes.txt", PatternBytes(5000, 2));
        WriteWholeFile(tree_ + "\\sub\\inner.bin", PatternBytes(700000, 3));
        WriteWholeFile(tree_ + "\\sub\\empty.txt", "");
        WriteWholeFile(tree_ + "\\sub\\deep\\x.txt", "deep");

        ASSERT_TRUE(program_.Start("\"" + kApp + "zembra.exe\"", kApp));
        frame_ = gui::FindTop(gui::WindowQuery{"ZembraMainFrame", "", false, program_.Pid()});
        ASSERT_TRUE(frame_) << "no main frame";
        HWND presets = gui::FindChild(frame_, kPresets);
        ASSERT_TRUE(presets);
        view_ = GetParent(presets);
        gui::WaitUntil([&] { return SendMessageA(presets, CB_GETCOUNT, 0, 0) > 0; }, 5000);
    }
    void TearDown() override {
        if (program_.Running()) {
            PostMessageA(frame_, WM_CLOSE, 0, 0);
            if (!program_.WaitExit(10000)) program_.Terminate();
        }
        RemoveTree(SystemFileSystem(), tree_);
        RemoveTree(SystemFileSystem(), kWork.substr(0, kWork.size() - 1));
    }

    void Choose(int index) { ASSERT_TRUE(remote::ChooseComboItem(view_, kPresets, index)); }
    // Chooses an entry whose handler opens a dialog: the notification is posted, not sent.
    void ChooseOpeningDialog(int index) {
        HWND box = GetDlgItem(view_, kPresets);
        ASSERT_EQ(SendMessageA(box, CB_SETCURSEL, index, 0), index);
        PostMessageA(view_, WM_COMMAND, MAKEWPARAM(kPresets, CBN_SELCHANGE), reinterpret_cast<LPARAM>(box));
    }
    std::string Text(int id) { return gui::Text(GetDlgItem(view_, id)); }
    HWND Dialog(const std::string& title) { return gui::FindTop(gui::WindowQuery{"#32770", title, false, program_.Pid()}); }
    std::string Answer(int button) { return gui::AnswerNextMessageBox(button, program_.Pid()); }

    // Adds the tree's folder itself to the files to split, as the user does: tree, file list, Add.
    void AddTree() {
        HWND tree = GetDlgItem(view_, kTree);
        HTREEITEM desktopItem = remote::FindTreeChild(tree, TVI_ROOT, treeName_);
        ASSERT_TRUE(desktopItem) << treeName_ << " is not at the tree's top level";
        HTREEITEM sub = remote::FindTreeChild(tree, desktopItem, "sub");
        ASSERT_TRUE(sub);
        // The whole tree: the top folder's items, then sub as a folder.
        ASSERT_TRUE(remote::SelectTreeItem(tree, desktopItem));
        HWND list = GetDlgItem(view_, kFileList);
        ASSERT_TRUE(gui::WaitUntil([&] { return remote::ListViewTexts(list).size() == 3; }, 5000));
        ASSERT_TRUE(remote::SelectListViewItems(list, {"data.bin", "notes.txt", "sub"}));
        ASSERT_TRUE(gui::Click(view_, kAdd));
        ASSERT_TRUE(gui::WaitUntil([&] { return remote::ListBoxTexts(GetDlgItem(view_, 1005)).size() == 3; }, 5000));
    }

    // Rejoins a set with zembra-cli into a fresh folder and lists what came back.
    std::map<std::string, std::string> Rejoined(const std::string& firstSegment) {
        std::string back = kWork + "back";
        RemoveTree(SystemFileSystem(), back);
        gui::Program cli;
        EXPECT_TRUE(cli.Start("\"" + ModuleFolder() + "zembra-cli.exe\" rejoin --overwrite all \"" + firstSegment + "\" \"" +
                              back + "\""));
        DWORD code = 1;
        EXPECT_TRUE(cli.WaitExit(60000, &code));
        EXPECT_EQ(code, 0u);
        return ListTree(SystemFileSystem(), back);
    }
    // A successful build posts Review Results to the view; a window it opens is closed again.
    void DismissReview() {
        HWND review = gui::FindTop(gui::WindowQuery{"#32770", "", false, program_.Pid()}, 3000);
        if (review) {
            PostMessageA(review, WM_COMMAND, IDCANCEL, 0);
            gui::WaitGone(review);
        }
    }
    // Waits for the frame's caption to name the set: the build succeeded.
    bool WaitBuilt(const std::string& setName) {
        return gui::WaitUntil([&] { return gui::Text(frame_).rfind(setName + " - ", 0) == 0; }, kBuildTimeoutMs);
    }

    gui::Program program_;
    HWND frame_ = nullptr;
    HWND view_ = nullptr;
    std::string treeName_, tree_;
};

TEST_F(ZembraPresets, ChoosingPresetsSetsSizeAndSaveLocation) {
    Choose(4);
    EXPECT_EQ(Text(kSizeDisplay), "700");
    EXPECT_TRUE(Visible(view_, kSizeDisplay));
    EXPECT_FALSE(Visible(view_, kMaxSize));
    EXPECT_EQ(Text(kSaveLocation), kOut);

    Choose(1);  // typed size: the edit, and the work directory for an empty location
    EXPECT_TRUE(Visible(view_, kMaxSize));
    EXPECT_FALSE(Visible(view_, kSizeDisplay));
    EXPECT_EQ(Text(kSaveLocation), kApp);

    Choose(3);
    EXPECT_EQ(Text(kSizeDisplay), "1440");
    EXPECT_EQ(Text(kSaveLocation), "A:\\");

    ChooseOpeningDialog(2);  // the new-preset entry, cancelled: "Custom" at 500 K, typed
    HWND custom = Dialog("Custom");
    ASSERT_TRUE(custom);
    EXPECT_EQ(gui::Text(GetDlgItem(custom, kName)), "");
    ASSERT_TRUE(gui::Click(custom, IDCANCEL));
    ASSERT_TRUE(gui::WaitGone(custom));
    EXPECT_TRUE(Visible(view_, kMaxSize));
    EXPECT_EQ(Text(kMaxSize), "500");
}

TEST_F(ZembraPresets, PlusDefinesAPresetKeptInCustomDat) {
    ASSERT_TRUE(gui::Click(view_, kAddPreset));
    HWND custom = Dialog("Custom");
    ASSERT_TRUE(custom);
    struct Step {
        const char* name;
        const char* size;
        const char* refusal;
    } steps[] = {{"", "0", "Missing Name"},
                 {"   ", "300", "Missing Name"},
                 {"  Zip disk ", "0", "Missing Size in KB"},
                 {"Zip disk", "199", "Minimum size is 200 K"}};
    for (const Step& s : steps) {
        gui::SetText(custom, kName, s.name);
        gui::SetText(custom, kSize, s.size);
        ASSERT_TRUE(gui::Click(custom, IDOK));
        EXPECT_EQ(Answer(IDOK), s.refusal) << s.name << "/" << s.size;
        EXPECT_TRUE(IsWindow(custom));
    }
    gui::SetText(custom, kName, "  Zip disk ");
    gui::SetText(custom, kSize, "100000");
    gui::SetText(custom, kLocation, " " + kOut + " ");
    ASSERT_TRUE(gui::Click(custom, IDOK));
    ASSERT_TRUE(gui::WaitGone(custom));

    std::vector<std::string> names = remote::ComboTexts(GetDlgItem(view_, kPresets));
    ASSERT_EQ(names.size(), 6u);
    EXPECT_EQ(names[5], "Zip disk");
    // The box names the preset whose size and location the form now shows.
    EXPECT_EQ(SendMessageA(GetDlgItem(view_, kPresets), CB_GETCURSEL, 0, 0), 5);
    EXPECT_EQ(Text(kSizeDisplay), "100000");
    EXPECT_EQ(Text(kSaveLocation), kOut);
    EXPECT_EQ(ReadWholeFile(kApp + "custom.dat"), kPresetFile + "Zip disk\r\n" + kOut + "\r\n100000\r\n");
}

// Writes a ListTree map back out below folder (parents sort before their contents).
void WriteTree(const std::string& folder, const std::map<std::string, std::string>& tree) {
    CreateDirectoryA(folder.c_str(), nullptr);
    for (const auto& [path, bytes] : tree) {
        if (bytes == "<dir>")
            CreateDirectoryA((folder + "\\" + path).c_str(), nullptr);
        else
            WriteWholeFile(folder + "\\" + path, bytes);
    }
}

TEST_F(ZembraPresets, BeginSplitIntoAFolderRejoinsByteForByte) {
    AddTree();
    Choose(4);  // 700 K into the out folder
    gui::SetText(view_, kSetName, "Tree");
    ASSERT_TRUE(gui::Click(view_, kBeginSplit));
    ASSERT_TRUE(WaitBuilt("Tree")) << gui::Text(frame_);
    DismissReview();
    EXPECT_NE(GetFileAttributesA((kOut + "Tree_2.SEG").c_str()), INVALID_FILE_ATTRIBUTES);  // several segments
    EXPECT_NE(GetFileAttributesA((kOut + "Tree.spj").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(Rejoined(kOut + "Tree_1.EXE"), ListTree(SystemFileSystem(), tree_));
    // The set and its sources, for the check that the other builds rejoin what this one wrote.
    if (const char* keep = std::getenv("ZEMBRA_CROSS_SETS")) {
        std::string folder = std::string("Z:") + keep;
        std::replace(folder.begin(), folder.end(), '/', '\\');
        RemoveTree(SystemFileSystem(), folder);
        CreateDirectoryA(folder.c_str(), nullptr);
        WriteTree(folder + "\\set", ListTree(SystemFileSystem(), kOut.substr(0, kOut.size() - 1)));
        WriteTree(folder + "\\tree", ListTree(SystemFileSystem(), tree_));
    }

    PostMessageA(frame_, WM_CLOSE, 0, 0);
    ASSERT_TRUE(program_.WaitExit());
    char recent[MAX_PATH] = {0};
    DWORD size = sizeof recent;
    RegGetValueA(HKEY_CURRENT_USER, "Software\\Local AppWizard-Generated Applications\\Zembra\\Recent File List",
                 "File1", RRF_RT_REG_SZ, nullptr, recent, &size);
    EXPECT_EQ(std::string(recent), kOut + "Tree.spj");
}

// Built with a preset, left for a new set and opened again from the recent-file list: the form
// is the one the set was built with, preset, size and destination; a set built with a typed size
// comes back typed.
TEST_F(ZembraPresets, AReopenedProjectComesBackWithThePresetItWasBuiltWith) {
    constexpr int kNew = 32772, kRecent1 = 57616;
    HWND box = GetDlgItem(view_, kPresets);
    AddTree();
    Choose(4);  // "Folder": 700 K into the out folder
    gui::SetText(view_, kSetName, "Tree");
    ASSERT_TRUE(gui::Click(view_, kBeginSplit));
    ASSERT_TRUE(WaitBuilt("Tree"));
    DismissReview();

    PostMessageA(frame_, WM_COMMAND, MAKEWPARAM(kNew, 0), 0);
    ASSERT_TRUE(gui::WaitUntil([&] { return Text(kSetName) == "Tree1"; }));
    EXPECT_EQ(SendMessageA(box, CB_GETCURSEL, 0, 0), 0);
    PostMessageA(frame_, WM_COMMAND, MAKEWPARAM(kRecent1, 0), 0);
    ASSERT_TRUE(gui::WaitUntil([&] { return Text(kSetName) == "Tree"; }));
    EXPECT_EQ(SendMessageA(box, CB_GETCURSEL, 0, 0), 4);
    EXPECT_EQ(Text(kSizeDisplay), "700");
    EXPECT_TRUE(Visible(view_, kSizeDisplay));
    EXPECT_EQ(Text(kSaveLocation), kOut);
    EXPECT_EQ(remote::ListBoxTexts(GetDlgItem(view_, 1005)).size(), 3u);
    // A moment to take a picture of the reopened form from outside, when one is wanted.
    if (const char* pause = std::getenv("ZEMBRA_GUI_PAUSE_MS")) Sleep(static_cast<DWORD>(atoi(pause)));

    // A typed size, built, then the form moved on to the diskette preset: the size comes back typed.
    Choose(1);
    gui::SetText(view_, kMaxSize, "650");
    gui::SetText(view_, kSetName, "Typed");
    ASSERT_TRUE(gui::Click(view_, kBeginSplit));
    ASSERT_TRUE(WaitBuilt("Typed"));
    DismissReview();
    Choose(3);
    PostMessageA(frame_, WM_COMMAND, MAKEWPARAM(kRecent1, 0), 0);
    ASSERT_TRUE(gui::WaitUntil([&] { return Text(kSaveLocation) != "A:\\"; }));
    EXPECT_EQ(SendMessageA(box, CB_GETCURSEL, 0, 0), 1);
    EXPECT_TRUE(Visible(view_, kMaxSize));
    EXPECT_EQ(Text(kMaxSize), "650");
}

TEST_F(ZembraPresets, NoToOverwriteKeepsTheFirstSet) {
    AddTree();
    Choose(4);
    gui::SetText(view_, kSetName, "Tree");
    ASSERT_TRUE(gui::Click(view_, kBeginSplit));
    ASSERT_TRUE(WaitBuilt("Tree"));
    DismissReview();
    std::map<std::string, std::string> first = ListTree(SystemFileSystem(), kOut.substr(0, kOut.size() - 1));

    ASSERT_TRUE(gui::Click(view_, kBeginSplit));
    EXPECT_EQ(Answer(IDYES), "Not Modified, Create anyway?");
    EXPECT_EQ(Answer(IDNO), "Overwrite existing Split Set! " + kOut + "Tree_1.EXE");
    EXPECT_EQ(Answer(IDOK), "Split aborted.");
    EXPECT_EQ(ListTree(SystemFileSystem(), kOut.substr(0, kOut.size() - 1)), first);
}

// Bytes of the rejoiner image the program carries.
uint64_t RejoinerLength(const std::string& program) {
    HMODULE module = LoadLibraryExA(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    HRSRC resource = module ? FindResourceA(module, MAKEINTRESOURCEA(131), "RAW_BINARY") : nullptr;
    uint64_t length = resource ? SizeofResource(module, resource) : 0;
    if (module) FreeLibrary(module);
    return length;
}

TEST_F(ZembraPresets, BeginSplitOntoTheDisketteAnnouncesTheDisksAndAsksForTheNext) {
    DWORD sectors = 0, bytes = 0, freeClusters = 0, clusters = 0;
    if (GetDriveTypeA("A:\\") != DRIVE_REMOVABLE || !GetDiskFreeSpaceA("A:\\", &sectors, &bytes, &freeClusters, &clusters) ||
        uint64_t(clusters) * sectors * bytes > 2000000)
        GTEST_SKIP() << "A: is not a 1.44 MB diskette here";
    RemoveTree(SystemFileSystem(), "A:");
    GetDiskFreeSpaceA("A:\\", &sectors, &bytes, &freeClusters, &clusters);
    uint64_t usable = uint64_t(freeClusters) * sectors * bytes / 20 * 19;
    uint64_t total = 1100000 + 5000 + 700000 + 4;
    uint64_t estimate = std::max<uint64_t>(150000, RejoinerLength(kApp + "zembra.exe") + 50000) + total;
    uint64_t disks = (estimate + usable - 1) / usable;

    AddTree();
    Choose(3);  // the diskette preset: 1440 K on A:
    gui::SetText(view_, kSetName, "Disk");
    ASSERT_TRUE(gui::Click(view_, kBeginSplit));
    EXPECT_EQ(Answer(IDOK), std::to_string(disks) + " Diskettes will be required for this Split Set.");

    // Each disk taken out goes to a folder of its own; the last stays in the drive.
    int swaps = 0;
    for (int answered = 0; answered < 10; ++answered) {
        HWND box = nullptr;
        gui::WaitUntil([&] { return gui::Text(frame_).rfind("Disk - ", 0) == 0 || (box = gui::FindMessageBox(program_.Pid(), 0)); },
                       kBuildTimeoutMs);
        if (!box) break;
        std::string text = gui::MessageBoxText(box);
        if (text.rfind("Please insert another disk in drive A", 0) == 0) {
            std::string to = kWork + "disk" + std::to_string(++swaps) + "\\";
            CreateDirectoryA(to.c_str(), nullptr);
            for (const auto& [name, data] : ListTree(SystemFileSystem(), "A:")) {
                EXPECT_TRUE(MoveFileA(("A:\\" + name).c_str(), (to + name).c_str())) << name;
            }
            gui::Answer(box, IDOK);
        } else if (text.find("There is not enough room") != std::string::npos) {
            gui::Answer(box, IDYES);  // 1440 K is more than a diskette's usable room: autosize
        } else {
            gui::Answer(box, IDOK);
            FAIL() << "unexpected message: " << text;
        }
    }
    ASSERT_TRUE(WaitBuilt("Disk"));
    DismissReview();
    EXPECT_GE(swaps, 1);
    EXPECT_NE(GetFileAttributesA((kApp + "Disk.spj").c_str()), INVALID_FILE_ATTRIBUTES);  // beside the program

    // The segments gathered into one folder rejoin to the tree.
    std::string gathered = kWork + "gathered\\";
    CreateDirectoryA(gathered.c_str(), nullptr);
    for (int d = 1; d <= swaps; ++d)
        for (const auto& [name, data] : ListTree(SystemFileSystem(), kWork + "disk" + std::to_string(d)))
            WriteWholeFile(gathered + name, data);
    for (const auto& [name, data] : ListTree(SystemFileSystem(), "A:")) WriteWholeFile(gathered + name, data);
    RemoveTree(SystemFileSystem(), "A:");
    EXPECT_EQ(Rejoined(gathered + "Disk_1.EXE"), ListTree(SystemFileSystem(), tree_));
}

}  // namespace
