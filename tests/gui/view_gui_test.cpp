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
#include "platform/process.h"

namespace {

constexpr int kTree = 1003, kFiles = 1004, kSources = 1005, kAdd = 1006, kRemove = 1007, kShowFiles = 1019,
              kEmail = 1018, kRejoin = 1067;
const char kRoot[] = "C:\\zbview";

// Memory in the program under test, for the controls' messages that carry pointers.
class RemoteBuffer {
public:
    RemoteBuffer(HWND window, size_t size) : size_(size) {
        DWORD pid = 0;
        ::GetWindowThreadProcessId(window, &pid);
        process_ = ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
        if (process_) address_ = ::VirtualAllocEx(process_, nullptr, size, MEM_COMMIT, PAGE_READWRITE);
    }
    ~RemoteBuffer() {
        if (address_) ::VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
        if (process_) ::CloseHandle(process_);
    }
    char* At(size_t offset = 0) const { return static_cast<char*>(address_) + offset; }
    bool Write(size_t offset, const void* data, size_t n) {
        return ::WriteProcessMemory(process_, At(offset), data, n, nullptr) != FALSE;
    }
    std::string ReadText(size_t offset, size_t n) {
        std::string s(n, '\0');
        SIZE_T got = 0;
        if (!::ReadProcessMemory(process_, At(offset), &s[0], n, &got)) return std::string();
        return s.c_str();
    }
    template <typename T>
    T Read(size_t offset) {
        T value{};
        ::ReadProcessMemory(process_, At(offset), &value, sizeof value, nullptr);
        return value;
    }

private:
    HANDLE process_ = nullptr;
    void* address_ = nullptr;
    size_t size_;
};

std::string TreeText(HWND tree, HTREEITEM item) {
    RemoteBuffer remote(tree, 1024);
    TVITEMA tv{};
    tv.mask = TVIF_TEXT;
    tv.hItem = item;
    tv.pszText = remote.At(512);
    tv.cchTextMax = 500;
    remote.Write(0, &tv, sizeof tv);
    ::SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(remote.At()));
    return remote.ReadText(512, 500);
}

std::vector<HTREEITEM> TreeChildren(HWND tree, HTREEITEM parent) {
    std::vector<HTREEITEM> out;
    for (auto child = reinterpret_cast<HTREEITEM>(::SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CHILD,
                                                                reinterpret_cast<LPARAM>(parent)));
         child; child = reinterpret_cast<HTREEITEM>(
                    ::SendMessageA(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(child))))
        out.push_back(child);
    return out;
}

// Opens a node (its children are filled on the first opening) and finds a child by its text.
HTREEITEM OpenAndFind(HWND tree, HTREEITEM parent, const std::function<bool(const std::string&)>& match) {
    if (parent) ::SendMessageA(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(parent));
    for (HTREEITEM child : TreeChildren(tree, parent))
        if (match(TreeText(tree, child))) return child;
    return nullptr;
}

std::string ListText(HWND list, int index) {
    RemoteBuffer remote(list, 1024);
    LVITEMA item{};
    item.iSubItem = 0;
    item.pszText = remote.At(512);
    item.cchTextMax = 500;
    remote.Write(0, &item, sizeof item);
    ::SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(remote.At()));
    return remote.ReadText(512, 500);
}

std::vector<std::string> ListTexts(HWND list) {
    std::vector<std::string> out;
    for (int i = 0, n = static_cast<int>(::SendMessageA(list, LVM_GETITEMCOUNT, 0, 0)); i < n; ++i)
        out.push_back(ListText(list, i));
    return out;
}

int ListIndex(HWND list, const std::string& text) {
    auto texts = ListTexts(list);
    auto it = std::find(texts.begin(), texts.end(), text);
    return it == texts.end() ? -1 : static_cast<int>(it - texts.begin());
}

// Selects exactly the named items of the file list.
void SelectInList(HWND list, const std::vector<std::string>& names) {
    RemoteBuffer remote(list, sizeof(LVITEMA));
    LVITEMA item{};
    item.stateMask = LVIS_SELECTED;
    item.state = 0;
    remote.Write(0, &item, sizeof item);
    ::SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(remote.At()));
    for (const std::string& name : names) {
        int index = ListIndex(list, name);
        ASSERT_GE(index, 0) << name;
        item.state = LVIS_SELECTED;
        remote.Write(0, &item, sizeof item);
        ::SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(remote.At()));
    }
}

// A double-click with the mouse on an item of the file list, at its label.
void DoubleClickListItem(HWND list, const std::string& name) {
    int index = ListIndex(list, name);
    ASSERT_GE(index, 0) << name;
    RemoteBuffer remote(list, sizeof(RECT));
    RECT r{};
    r.left = LVIR_LABEL;
    remote.Write(0, &r, sizeof r);
    ASSERT_TRUE(::SendMessageA(list, LVM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(remote.At())));
    r = remote.Read<RECT>(0);
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

std::vector<std::string> Sources(HWND box) {
    std::vector<std::string> out;
    for (int i = 0, n = static_cast<int>(::SendMessageA(box, LB_GETCOUNT, 0, 0)); i < n; ++i) {
        // The wide form: the text crosses the process boundary as the control keeps it.
        wchar_t text[600] = L"";
        ::SendMessageW(box, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
        char narrow[1200] = "";
        ::WideCharToMultiByte(CP_ACP, 0, text, -1, narrow, sizeof narrow, nullptr, nullptr);
        out.push_back(narrow);
    }
    return out;
}

// The status bar's pane 1, where the form shows the total.
std::string StatusPane(HWND frame) {
    HWND bar = ::FindWindowExA(frame, nullptr, STATUSCLASSNAMEA, nullptr);
    if (!bar) return "<no status bar>";
    RemoteBuffer remote(bar, 512);
    ::SendMessageA(bar, SB_GETTEXTA, 1, reinterpret_cast<LPARAM>(remote.At()));
    return remote.ReadText(0, 500);
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
    std::vector<HTREEITEM> tops = TreeChildren(tree_, TVI_ROOT);
    // The computer first: opening the others (the control panel's applets) takes long.
    std::stable_partition(tops.begin(), tops.end(),
                          [&](HTREEITEM t) { return TreeText(tree_, t).find("Computer") != std::string::npos; });
    for (HTREEITEM top : tops) {
        drive = OpenAndFind(tree_, top, [](const std::string& t) { return t.find("C:") != std::string::npos; });
        if (drive) break;
    }
    if (!drive) {
        std::string seen;
        for (HTREEITEM top : TreeChildren(tree_, TVI_ROOT)) {
            seen += "[" + TreeText(tree_, top) + ":";
            for (HTREEITEM child : TreeChildren(tree_, top)) seen += " " + TreeText(tree_, child);
            seen += "]";
        }
        FAIL() << "no C: in the tree: " << seen;
    }
    HTREEITEM folder = OpenAndFind(tree_, drive, [](const std::string& t) { return t == "zbview"; });
    ASSERT_TRUE(folder);

    // "*.TXT": the text files and the folders, not b.doc; only subfolders get a button.
    ASSERT_TRUE(gui::SetText(view_, kShowFiles, "*.TXT"));
    ::SendMessageA(tree_, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(folder));
    ASSERT_TRUE(gui::WaitUntil([&] { return ListTexts(files_).size() == 4; }, 5000));
    auto listed = ListTexts(files_);
    EXPECT_EQ(std::set<std::string>(listed.begin(), listed.end()),
              (std::set<std::string>{"a.txt", "empty.txt", "emptydir", "sub"}));
    ::SendMessageA(tree_, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(folder));
    for (HTREEITEM child : TreeChildren(tree_, folder)) {
        RemoteBuffer remote(tree_, sizeof(TVITEMA));
        TVITEMA tv{};
        tv.mask = TVIF_CHILDREN;
        tv.hItem = child;
        remote.Write(0, &tv, sizeof tv);
        ::SendMessageA(tree_, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(remote.At()));
        EXPECT_EQ(remote.Read<TVITEMA>(0).cChildren, TreeText(tree_, child) == "sub" ? 1 : 0) << TreeText(tree_, child);
    }
    // A new filter applies when the box is left.
    ASSERT_TRUE(gui::SetText(view_, kShowFiles, "*.doc"));
    ::SendMessageA(view_, WM_COMMAND, MAKEWPARAM(kShowFiles, EN_KILLFOCUS),
                   reinterpret_cast<LPARAM>(gui::FindChild(view_, kShowFiles)));
    ASSERT_TRUE(gui::WaitUntil([&] { return ListIndex(files_, "b.doc") >= 0; }, 5000));
    EXPECT_EQ(ListIndex(files_, "a.txt"), -1);
    ASSERT_TRUE(gui::SetText(view_, kShowFiles, "*.TXT"));
    ::SendMessageA(view_, WM_COMMAND, MAKEWPARAM(kShowFiles, EN_KILLFOCUS),
                   reinterpret_cast<LPARAM>(gui::FindChild(view_, kShowFiles)));
    ASSERT_TRUE(gui::WaitUntil([&] { return ListIndex(files_, "a.txt") >= 0; }, 5000));

    // Add: a file, an empty file (kept, size 0) and an empty folder (skipped without a word).
    const uint64_t a = SizeOnDisk(root_ + "\\a.txt"), c = SizeOnDisk(root_ + "\\sub\\c.txt"),
                   d = SizeOnDisk(root_ + "\\sub\\deeper\\d.bin");
    SelectInList(files_, {"a.txt", "empty.txt", "emptydir"});
    ASSERT_TRUE(gui::Click(view_, kAdd));
    EXPECT_TRUE(WaitStatus(Kb(a))) << StatusPane(frame_);
    EXPECT_EQ(Sources(sources_), (std::vector<std::string>{root_ + "\\a.txt", root_ + "\\empty.txt"}));
    EXPECT_FALSE(gui::FindMessageBox(p.Pid(), 500));
    // Adding a listed file again changes nothing.
    SelectInList(files_, {"a.txt"});
    ASSERT_TRUE(gui::Click(view_, kAdd));
    EXPECT_EQ(Sources(sources_).size(), 2u);

    // Double-click: a folder opens in the tree, a file is added.
    DoubleClickListItem(files_, "sub");
    ASSERT_TRUE(gui::WaitUntil([&] { return ListIndex(files_, "c.txt") >= 0; }, 5000));
    EXPECT_EQ(TreeText(tree_, reinterpret_cast<HTREEITEM>(::SendMessageA(tree_, TVM_GETNEXTITEM, TVGN_CARET, 0))), "sub");
    DoubleClickListItem(files_, "c.txt");
    EXPECT_TRUE(WaitStatus(Kb(a + c))) << StatusPane(frame_);
    SelectInList(files_, {"deeper"});
    ASSERT_TRUE(gui::Click(view_, kAdd));
    EXPECT_TRUE(WaitStatus(Kb(a + c + d))) << StatusPane(frame_);
    EXPECT_EQ(Sources(sources_), (std::vector<std::string>{root_ + "\\a.txt", root_ + "\\empty.txt",
                                                           root_ + "\\sub\\c.txt", root_ + "\\sub\\deeper"}));

    // Remove two with the button, one with a double-click.
    ::SendMessageA(sources_, LB_SETSEL, FALSE, -1);
    ::SendMessageA(sources_, LB_SETSEL, TRUE, 0);
    ::SendMessageA(sources_, LB_SETSEL, TRUE, 1);
    ASSERT_TRUE(gui::Click(view_, kRemove));
    EXPECT_TRUE(WaitStatus(Kb(c + d))) << StatusPane(frame_);
    EXPECT_EQ(Sources(sources_), (std::vector<std::string>{root_ + "\\sub\\c.txt", root_ + "\\sub\\deeper"}));
    DoubleClickSource(sources_, 1);
    EXPECT_TRUE(WaitStatus(Kb(c))) << StatusPane(frame_);
    EXPECT_EQ(Sources(sources_), (std::vector<std::string>{root_ + "\\sub\\c.txt"}));

    // The save location is the diskette A:: Email and Rejoin stay off.
    if (::GetDriveTypeA("A:\\") == DRIVE_REMOVABLE) {
        EXPECT_EQ(gui::Text(gui::FindChild(view_, 1012)), "A:\\");
        EXPECT_FALSE(::IsWindowEnabled(gui::FindChild(view_, kEmail)));
        EXPECT_FALSE(::IsWindowEnabled(gui::FindChild(view_, kRejoin)));
    }
    if (const char* pause = std::getenv("ZEMBRA_VIEW_PAUSE_MS")) {
        // Time for a person to take a picture of the form: tree opened, files listed.
        gui::SetText(view_, kShowFiles, "*.*");
        ::SendMessageA(view_, WM_COMMAND, MAKEWPARAM(kShowFiles, EN_KILLFOCUS),
                       reinterpret_cast<LPARAM>(gui::FindChild(view_, kShowFiles)));
        WriteWholeFile(std::string(kRoot) + "\\..\\zbview.ready", "");
        ::Sleep(static_cast<DWORD>(std::atoi(pause)));
    }
    p.Terminate();
}

TEST_F(ViewGui, StartedWithFilesListsThemAndLeavesTheFormForTheWizard) {
    SetLastDestination("C:\\");
    gui::Program p;
    // The shell extension's form: paths joined by "*" (one of them a folder).
    Start(p, "\"" + root_ + "\\a.txt*" + root_ + "\\sub\"");
    ASSERT_FALSE(HasFatalFailure());
    EXPECT_EQ(Sources(sources_), (std::vector<std::string>{root_ + "\\a.txt", root_ + "\\sub"}));
    const uint64_t total =
        SizeOnDisk(root_ + "\\a.txt") + SizeOnDisk(root_ + "\\sub\\c.txt") + SizeOnDisk(root_ + "\\sub\\deeper\\d.bin");
    EXPECT_TRUE(WaitStatus(Kb(total))) << StatusPane(frame_);
    p.Terminate();
}
