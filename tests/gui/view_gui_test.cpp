// The main form end to end under Wine: zembra.exe on a folder tree made by the test, driven
// through its tree, file list, buttons and lists, with the status bar read after each step.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <set>
#include <vector>

#include "fakes/test_files.h"
#include "gui/driver/gui_driver.h"
#include "gui/remote_controls.h"
#include "platform/process.h"

// After the platform's headers: its DriveType() function would hide their DriveType type.
#include <shlobj.h>

namespace {

constexpr int kTree = 1003, kFiles = 1004, kSources = 1005, kAdd = 1006, kRemove = 1007, kShowFiles = 1019,
              kEmail = 1018, kRejoin = 1067;
const char kRoot[] = "C:\\zbview";

bool Listed(HWND list, const std::string& name) {
    std::vector<std::string> texts = remote::ListViewTexts(list);
    return std::find(texts.begin(), texts.end(), name) != texts.end();
}

// A double-click with the mouse on an item of the file list, at its label.
void DoubleClickListItem(HWND list, const std::string& name) {
    std::vector<std::string> texts = remote::ListViewTexts(list);
    auto it = std::find(texts.begin(), texts.end(), name);
    ASSERT_NE(it, texts.end()) << name;
    RECT r{};
    ASSERT_TRUE(remote::ListViewLabelRect(list, static_cast<int>(it - texts.begin()), r));
    LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    ::PostMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
    ::PostMessageA(list, WM_LBUTTONUP, 0, at);
    ::PostMessageA(list, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    ::PostMessageA(list, WM_LBUTTONUP, 0, at);
}

void DoubleClickSource(HWND box, int index) {
    int height = static_cast<int>(::SendMessageA(box, LB_GETITEMHEIGHT, 0, 0));
    ::SendMessageA(box, LB_SETTOPINDEX, 0, 0);
    LPARAM at = MAKELPARAM(8, index * height + height / 2);
    ::PostMessageA(box, WM_LBUTTONDOWN, MK_LBUTTON, at);
    ::PostMessageA(box, WM_LBUTTONUP, 0, at);
    ::PostMessageA(box, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    ::PostMessageA(box, WM_LBUTTONUP, 0, at);
}

// The status bar's pane 1, where the form shows the total.
std::string StatusPane(HWND frame) {
    HWND bar = ::FindWindowExA(frame, nullptr, STATUSCLASSNAMEA, nullptr);
    return bar ? remote::StatusBarText(bar, 1) : "<no status bar>";
}

uint64_t SizeOnDisk(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return 0;
    return (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

std::string Kb(uint64_t bytes) {
    char text[64];
    snprintf(text, sizeof text, "%.3f KB", bytes / 1000.0);
    return text;
}

void SetLastDestination(const std::string& folder) {
    HKEY key = nullptr;
    ASSERT_EQ(::RegCreateKeyExA(HKEY_CURRENT_USER,
                                "Software\\Local AppWizard-Generated Applications\\Zembra\\Destination", 0, nullptr, 0,
                                KEY_SET_VALUE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    ::RegSetValueExA(key, "LastDest", 0, REG_SZ, reinterpret_cast<const BYTE*>(folder.c_str()),
                     static_cast<DWORD>(folder.size() + 1));
    ::RegCloseKey(key);
}

// A shell shortcut at `link` to `target`, as Explorer makes one.
bool MakeShortcut(const std::string& link, const std::string& target) {
    bool com = SUCCEEDED(::CoInitialize(nullptr));
    IShellLinkA* shell = nullptr;
    bool ok = SUCCEEDED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                           reinterpret_cast<void**>(&shell)));
    if (ok) {
        IPersistFile* file = nullptr;
        std::wstring wide(link.begin(), link.end());
        ok = SUCCEEDED(shell->SetPath(target.c_str())) &&
             SUCCEEDED(shell->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
             SUCCEEDED(file->Save(wide.c_str(), TRUE));
        if (file) file->Release();
        shell->Release();
    }
    if (com) ::CoUninitialize();
    return ok;
}

class ViewGui : public ::testing::Test {
protected:
    void SetUp() override {
        RemoveTree(SystemFileSystem(), kRoot);
        ASSERT_TRUE(::CreateDirectoryA(kRoot, nullptr));
        for (const char* folder : {"sub", "sub\\deeper", "emptydir"})
            ASSERT_TRUE(::CreateDirectoryA((root_ + "\\" + folder).c_str(), nullptr));
        WriteWholeFile(root_ + "\\a.txt", PatternBytes(1234, 1));
        WriteWholeFile(root_ + "\\b.doc", PatternBytes(500, 2));
        WriteWholeFile(root_ + "\\empty.txt", "");
        WriteWholeFile(root_ + "\\sub\\c.txt", PatternBytes(2000, 3));
        WriteWholeFile(root_ + "\\sub\\deeper\\d.bin", PatternBytes(3000, 4));
        ASSERT_TRUE(MakeShortcut(root_ + "\\to a.lnk", root_ + "\\a.txt"));
        zembra_ = "\"" + ModuleFolder() + "zembra.exe\"";
    }
    void TearDown() override { RemoveTree(SystemFileSystem(), kRoot); }

    // Starts zembra and waits for its form; fills frame_ and view_.
    void Start(gui::Program& p, const std::string& arguments = "") {
        ASSERT_TRUE(p.Start(zembra_ + (arguments.empty() ? "" : " " + arguments)));
        gui::WindowQuery q;
        q.pid = p.Pid();
        q.visibleOnly = false;
        ASSERT_TRUE(gui::WaitUntil([&] {
            for (HWND w : gui::TopWindows(q))
                if (gui::FindChild(w, kSources, 0)) frame_ = w;
            return frame_ != nullptr;
        })) << "no main form";
        view_ = ::GetParent(gui::FindChild(frame_, kSources));
        // The template's placeholders carry the same ids until the real controls replace them.
        ASSERT_TRUE(gui::WaitUntil([&] {
            return gui::ClassName(gui::FindChild(view_, kTree, 0)) == WC_TREEVIEWA &&
                   gui::ClassName(gui::FindChild(view_, kFiles, 0)) == WC_LISTVIEWA;
        }));
        tree_ = gui::FindChild(view_, kTree);
        files_ = gui::FindChild(view_, kFiles);
        sources_ = gui::FindChild(view_, kSources);
    }

    // A new filter applies when the box is left.
    bool SetFilter(const std::string& pattern) {
        if (!gui::SetText(view_, kShowFiles, pattern)) return false;
        ::SendMessageA(view_, WM_COMMAND, MAKEWPARAM(kShowFiles, EN_KILLFOCUS),
                       reinterpret_cast<LPARAM>(gui::FindChild(view_, kShowFiles)));
        return true;
    }

    bool WaitStatus(const std::string& text) {
        return gui::WaitUntil([&] { return StatusPane(frame_) == text; }, 5000);
    }

    std::string root_ = kRoot;
    std::string zembra_;
    HWND frame_ = nullptr, view_ = nullptr, tree_ = nullptr, files_ = nullptr, sources_ = nullptr;
};

}  // namespace

TEST_F(ViewGui, ComposesASetFromTheTreeAndTheFileList) {
    SetLastDestination("A:\\");
    gui::Program p;
    Start(p);
    ASSERT_FALSE(HasFatalFailure());
    // The total comes last in the form's first update: after it the tree is filled.
    ASSERT_TRUE(WaitStatus("0.000 KB")) << StatusPane(frame_);

    // The desktop's folders at the top; the C: drive somewhere below one of them.
    HTREEITEM drive = nullptr;
    std::vector<HTREEITEM> tops = remote::TreeChildren(tree_, TVI_ROOT);
    // The computer first: opening the others (the control panel's applets) takes long.
    std::stable_partition(tops.begin(), tops.end(),
                          [&](HTREEITEM t) {
                              return remote::TreeItemText(tree_, t).find("Computer") != std::string::npos;
                          });
    for (HTREEITEM top : tops) {
        drive = remote::FindTreeChild(tree_, top,
                                      [](const std::string& t) { return t.find("C:") != std::string::npos; });
        if (drive) break;
    }
    if (!drive) {
        std::string seen;
        for (HTREEITEM top : remote::TreeChildren(tree_, TVI_ROOT)) {
            seen += "[" + remote::TreeItemText(tree_, top) + ":";
            for (HTREEITEM child : remote::TreeChildren(tree_, top))
                seen += " " + remote::TreeItemText(tree_, child);
            seen += "]";
        }
        FAIL() << "no C: in the tree: " << seen;
    }
    HTREEITEM folder = remote::FindTreeChild(tree_, drive, [](const std::string& t) { return t == "zbview"; });
    ASSERT_TRUE(folder);

    // "*.TXT": the text files and the folders, not b.doc; only subfolders get a button.
    ASSERT_TRUE(gui::SetText(view_, kShowFiles, "*.TXT"));
    ::SendMessageA(tree_, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(folder));
    ASSERT_TRUE(gui::WaitUntil([&] { return remote::ListViewTexts(files_).size() == 4; }, 5000));
    auto listed = remote::ListViewTexts(files_);
    EXPECT_EQ(std::set<std::string>(listed.begin(), listed.end()),
              (std::set<std::string>{"a.txt", "empty.txt", "emptydir", "sub"}));
    ::SendMessageA(tree_, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(folder));
    for (HTREEITEM child : remote::TreeChildren(tree_, folder)) {
        std::string name = remote::TreeItemText(tree_, child);
        EXPECT_EQ(remote::TreeItemChildCount(tree_, child), name == "sub" ? 1 : 0) << name;
    }
    // A shortcut carries the shell's arrow overlay, a plain file none.
    ASSERT_TRUE(SetFilter("*.lnk"));
    ASSERT_TRUE(gui::WaitUntil([&] { return remote::ListViewTexts(files_).size() == 3; }, 5000));
    auto overlays = [&] {
        std::set<std::string> marked;
        std::vector<std::string> texts = remote::ListViewTexts(files_);
        for (size_t i = 0; i < texts.size(); ++i)
            if (::SendMessageA(files_, LVM_GETITEMSTATE, i, LVIS_OVERLAYMASK) == INDEXTOOVERLAYMASK(2))
                marked.insert(texts[i]);
        return marked;
    };
    std::set<std::string> marked = overlays();
    EXPECT_EQ(marked.size(), 1u);
    EXPECT_EQ(marked.count("sub") + marked.count("emptydir"), 0u);
    ASSERT_TRUE(SetFilter("*.doc"));
    ASSERT_TRUE(gui::WaitUntil([&] { return Listed(files_, "b.doc"); }, 5000));
    EXPECT_TRUE(overlays().empty());
    EXPECT_FALSE(Listed(files_, "a.txt"));
    ASSERT_TRUE(SetFilter("*.TXT"));
    ASSERT_TRUE(gui::WaitUntil([&] { return Listed(files_, "a.txt"); }, 5000));

    // Add: a file, an empty file (kept, size 0) and an empty folder (skipped without a word).
    const uint64_t a = SizeOnDisk(root_ + "\\a.txt"), c = SizeOnDisk(root_ + "\\sub\\c.txt"),
                   d = SizeOnDisk(root_ + "\\sub\\deeper\\d.bin");
    ASSERT_TRUE(remote::SelectListViewItems(files_, {"a.txt", "empty.txt", "emptydir"}));
    ASSERT_TRUE(gui::Click(view_, kAdd));
    EXPECT_TRUE(WaitStatus(Kb(a))) << StatusPane(frame_);
    EXPECT_EQ(remote::ListBoxTexts(sources_), (std::vector<std::string>{root_ + "\\a.txt", root_ + "\\empty.txt"}));
    EXPECT_FALSE(gui::FindMessageBox(p.Pid(), 500));
    // Adding a listed file again changes nothing.
    ASSERT_TRUE(remote::SelectListViewItems(files_, {"a.txt"}));
    ASSERT_TRUE(gui::Click(view_, kAdd));
    EXPECT_EQ(remote::ListBoxTexts(sources_).size(), 2u);

    // Double-click: a folder opens in the tree, a file is added.
    DoubleClickListItem(files_, "sub");
    ASSERT_TRUE(gui::WaitUntil([&] { return Listed(files_, "c.txt"); }, 5000));
    auto caret = reinterpret_cast<HTREEITEM>(::SendMessageA(tree_, TVM_GETNEXTITEM, TVGN_CARET, 0));
    EXPECT_EQ(remote::TreeItemText(tree_, caret), "sub");
    DoubleClickListItem(files_, "c.txt");
    EXPECT_TRUE(WaitStatus(Kb(a + c))) << StatusPane(frame_);
    ASSERT_TRUE(remote::SelectListViewItems(files_, {"deeper"}));
    ASSERT_TRUE(gui::Click(view_, kAdd));
    EXPECT_TRUE(WaitStatus(Kb(a + c + d))) << StatusPane(frame_);
    EXPECT_EQ(remote::ListBoxTexts(sources_), (std::vector<std::string>{root_ + "\\a.txt", root_ + "\\empty.txt",
                                                                        root_ + "\\sub\\c.txt",
                                                                        root_ + "\\sub\\deeper"}));

    // Remove two with the button, one with a double-click.
    ASSERT_TRUE(remote::SelectListBoxItems(sources_, {0, 1}));
    ASSERT_TRUE(gui::Click(view_, kRemove));
    EXPECT_TRUE(WaitStatus(Kb(c + d))) << StatusPane(frame_);
    EXPECT_EQ(remote::ListBoxTexts(sources_),
              (std::vector<std::string>{root_ + "\\sub\\c.txt", root_ + "\\sub\\deeper"}));
    DoubleClickSource(sources_, 1);
    EXPECT_TRUE(WaitStatus(Kb(c))) << StatusPane(frame_);
    EXPECT_EQ(remote::ListBoxTexts(sources_), (std::vector<std::string>{root_ + "\\sub\\c.txt"}));

    // The save location is the diskette A:: Email and Rejoin stay off.
    if (::GetDriveTypeA("A:\\") == DRIVE_REMOVABLE) {
        EXPECT_EQ(gui::Text(gui::FindChild(view_, 1012)), "A:\\");
        EXPECT_FALSE(::IsWindowEnabled(gui::FindChild(view_, kEmail)));
        EXPECT_FALSE(::IsWindowEnabled(gui::FindChild(view_, kRejoin)));
    }
    if (const char* pause = std::getenv("ZEMBRA_VIEW_PAUSE_MS")) {
        // Time for a person to take a picture of the form: tree opened, files listed.
        SetFilter("*.*");
        WriteWholeFile(std::string(kRoot) + "\\..\\zbview.ready", "");
        ::Sleep(static_cast<DWORD>(std::atoi(pause)));
    }
    p.Terminate();
}

// The diskette's folder access time, set long ago where old is given; 0 when it cannot be had.
uint64_t DisketteAccessTime(const FILETIME* old = nullptr) {
    HANDLE h = ::CreateFileA("A:\\", FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES,
                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                             FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) return 0;
    FILETIME accessed{};
    if (old) ::SetFileTime(h, nullptr, old, nullptr);
    bool known = ::GetFileTime(h, nullptr, &accessed, nullptr) != 0;
    ::CloseHandle(h);
    return known ? (static_cast<uint64_t>(accessed.dwHighDateTime) << 32) | accessed.dwLowDateTime : 0;
}

// Opening "My Computer" with a double-click draws its drives without looking into the diskette
// (an empty drive would be slow to answer, and on Windows asks for a disk): A:'s folder is not
// listed, which its access time shows, since a listing moves a time set long ago.
TEST_F(ViewGui, OpeningMyComputerNeverListsTheDiskette) {
    if (::GetDriveTypeA("A:\\") != DRIVE_REMOVABLE) GTEST_SKIP() << "no diskette drive A: in this prefix";
    SYSTEMTIME when{2001, 1, 0, 1, 12, 0, 0, 0};
    FILETIME longAgo{};
    ::SystemTimeToFileTime(&when, &longAgo);
    const uint64_t before = DisketteAccessTime(&longAgo);
    ASSERT_NE(before, 0u);
    WIN32_FIND_DATAA found;
    HANDLE listing = ::FindFirstFileA("A:\\*", &found);
    if (listing != INVALID_HANDLE_VALUE) ::FindClose(listing);
    if (DisketteAccessTime() == before) GTEST_SKIP() << "the diskette's disk keeps no access times";
    ASSERT_EQ(DisketteAccessTime(&longAgo), before);

    SetLastDestination("C:\\");
    gui::Program p;
    Start(p);
    ASSERT_FALSE(HasFatalFailure());
    ASSERT_TRUE(WaitStatus("0.000 KB")) << StatusPane(frame_);
    HTREEITEM computer = nullptr;
    for (HTREEITEM top : remote::TreeChildren(tree_, TVI_ROOT))
        if (remote::TreeItemText(tree_, top).find("Computer") != std::string::npos) computer = top;
    ASSERT_TRUE(computer);
    RECT label{};
    ASSERT_TRUE(remote::TreeItemLabelRect(tree_, computer, label));
    LPARAM at = MAKELPARAM((label.left + label.right) / 2, (label.top + label.bottom) / 2);
    ::PostMessageA(tree_, WM_LBUTTONDOWN, MK_LBUTTON, at);
    ::PostMessageA(tree_, WM_LBUTTONUP, 0, at);
    ::PostMessageA(tree_, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    ::PostMessageA(tree_, WM_LBUTTONUP, 0, at);
    HTREEITEM diskette = nullptr;
    ASSERT_TRUE(gui::WaitUntil([&] {
        for (HTREEITEM drive : remote::TreeChildren(tree_, computer))
            if (remote::TreeItemText(tree_, drive).find("A:") != std::string::npos) diskette = drive;
        return diskette != nullptr;
    })) << "no A: under " << remote::TreeItemText(tree_, computer);
    // The diskette offers its expand button all the same: the shell's answer, not a look.
    EXPECT_EQ(remote::TreeItemChildCount(tree_, diskette), 1);
    p.Terminate();
    EXPECT_EQ(DisketteAccessTime(), before) << "the diskette was listed to draw the tree";
}

TEST_F(ViewGui, StartedWithFilesListsThemAndLeavesTheFormForTheWizard) {
    SetLastDestination("C:\\");
    gui::Program p;
    // The shell extension's form: paths joined by "*" (one of them a folder).
    Start(p, "\"" + root_ + "\\a.txt*" + root_ + "\\sub\"");
    ASSERT_FALSE(HasFatalFailure());
    EXPECT_EQ(remote::ListBoxTexts(sources_), (std::vector<std::string>{root_ + "\\a.txt", root_ + "\\sub"}));
    const uint64_t total =
        SizeOnDisk(root_ + "\\a.txt") + SizeOnDisk(root_ + "\\sub\\c.txt") + SizeOnDisk(root_ + "\\sub\\deeper\\d.bin");
    EXPECT_TRUE(WaitStatus(Kb(total))) << StatusPane(frame_);
    p.Terminate();
}
