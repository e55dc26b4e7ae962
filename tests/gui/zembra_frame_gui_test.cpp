// The main frame in-process: the application runs on a thread of its own, exactly as zembra.exe
// starts it, and the test reads the live frame, menu, toolbar and status bar from its thread.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "app/main_frame.h"
#include "app/zm_app.h"
#include "fakes/test_files.h"
#include "gui/driver/gui_driver.h"
#include "platform/process.h"

namespace {

// The view's window procedure, wrapped to see the context-help message Shift+F1 posts to it.
WNDPROC g_viewProc = nullptr;
LONG g_contextHelpSeen = 0;
LRESULT CALLBACK WatchView(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_APP + 5) ::InterlockedIncrement(&g_contextHelpSeen);
    return ::CallWindowProcA(g_viewProc, hwnd, msg, wp, lp);
}

DWORD WINAPI AppThread(LPVOID) {
    if (!ZmApp().InitInstance(::GetModuleHandleA(nullptr), "")) return 1;
    return static_cast<DWORD>(ZmApp().Run());
}

struct Item {
    std::string text;
    int id;  // 0: separator
};

std::vector<Item> ReadMenu(HMENU menu) {
    std::vector<Item> items;
    for (int i = 0; i < ::GetMenuItemCount(menu); ++i) {
        char text[128] = {0};
        ::GetMenuStringA(menu, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
        bool separator = (::GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION) & MF_SEPARATOR) != 0;
        items.push_back({text, separator ? 0 : static_cast<int>(::GetMenuItemID(menu, i))});
    }
    return items;
}

std::string PaneText(HWND status, int pane) {
    char text[256] = {0};
    ::SendMessageA(status, SB_GETTEXTA, static_cast<WPARAM>(pane), reinterpret_cast<LPARAM>(text));
    return text;
}

// Both places of the mail settings file refuse writes while this lives: a folder takes the
// file's name in the Windows folder (the file there is kept aside) and in a per-user folder of
// the test's own, which APPDATA names. All is put back after.
class SettingsRefused {
public:
    SettingsRefused() {
        char windows[MAX_PATH] = {0};
        ::GetWindowsDirectoryA(windows, sizeof windows);
        shared_ = std::string(windows) + "\\ReZove.ini";
        aside_ = shared_ + ".zbframe";
        ::GetEnvironmentVariableA("APPDATA", appData_, sizeof appData_);
        folder_ = MakeScratchFolder("zbframe_appdata_");
        ::WritePrivateProfileStringA(nullptr, nullptr, nullptr, "ReZove.ini");  // no cached copy
        moved_ = ::MoveFileA(shared_.c_str(), aside_.c_str()) != 0;
        ready_ = ::CreateDirectoryA(shared_.c_str(), nullptr) &&
                 ::CreateDirectoryA((folder_ + "\\Zembra").c_str(), nullptr) &&
                 ::CreateDirectoryA((folder_ + "\\Zembra\\ReZove.ini").c_str(), nullptr) &&
                 ::SetEnvironmentVariableA("APPDATA", folder_.c_str());
    }
    ~SettingsRefused() {
        ::SetEnvironmentVariableA("APPDATA", appData_[0] ? appData_ : nullptr);
        ::RemoveDirectoryA(shared_.c_str());
        if (moved_) ::MoveFileA(aside_.c_str(), shared_.c_str());
        RemoveTree(SystemFileSystem(), folder_);
    }
    bool Ready() const { return ready_; }
    // An existing folder, good as a work directory.
    const std::string& Folder() const { return folder_; }

private:
    std::string shared_, aside_, folder_;
    char appData_[MAX_PATH] = {0};
    bool moved_ = false, ready_ = false;
};

TEST(ZembraFrame, StartsCentredFixedWithTheCommandTableBarsAndSettings) {
    // No recent files, and a WIN.INI work directory longer than the 49 characters once taken:
    // a folder cut short is another folder.
    ::RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Local AppWizard-Generated Applications\\Zembra\\Recent File List");
    const std::string longFolder = "C:\\work folders\\a fairly long name for the sets\\that goes on";
    ASSERT_GT(longFolder.size(), 49u);
    ::WriteProfileStringA("Zembra", "WorkDirectory", longFolder.c_str());

    HANDLE thread = ::CreateThread(nullptr, 0, AppThread, nullptr, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    HWND frame = gui::FindTop("ZembraMainFrame", "Untitled - Zembra", gui::kTimeoutMs, ::GetCurrentProcessId());
    ASSERT_NE(frame, nullptr);
    ::WriteProfileStringA("Zembra", "WorkDirectory", nullptr);

    EXPECT_EQ(ZmApp().WorkDirectory(), longFolder);
    EXPECT_EQ(ZmApp().ExeDirectory(), ModuleFolder());

    RECT r;
    ::GetWindowRect(frame, &r);
    EXPECT_EQ(r.right - r.left, 640);
    EXPECT_EQ(r.bottom - r.top, 450);
    EXPECT_EQ(r.left, (::GetSystemMetrics(SM_CXSCREEN) - 640) / 2);
    EXPECT_EQ(r.top, (::GetSystemMetrics(SM_CYSCREEN) - 450) / 2);
    LONG style = ::GetWindowLongA(frame, GWL_STYLE);
    EXPECT_FALSE(style & WS_THICKFRAME);
    EXPECT_FALSE(style & WS_MAXIMIZEBOX);
    EXPECT_TRUE(style & WS_MINIMIZEBOX);

    // Menu 128, every text and id.
    HMENU bar = ::GetMenu(frame);
    ASSERT_NE(bar, nullptr);
    std::vector<Item> top = ReadMenu(bar);
    ASSERT_EQ(top.size(), 4u);
    const char* titles[] = {"&File", "&View", "&Options", "&Help"};
    const std::vector<std::vector<Item>> expected = {
        {{"&Open...\tCtrl+O", 57601}, {"&New\tCtrl+N", 32772}, {"&Wizard", 32781}, {"", 0}, {"&EMail", 1018},
         {"&Build Split File(s)", 1008}, {"&Print", 32775}, {"", 0}, {"Recent File", 57616}, {"", 0},
         {"E&xit", 57665}},
        {{"&Toolbar", 59392}, {"&Status Bar", 59393}},
        {{"&Email", 32774}, {"Default Work Directory", 32779}, {"Include &Hidden Items", 32783}},
        {{"&Help", 32780}, {"Orlaq Home Page", 32782}, {"&About Zembra...", 57664}},
    };
    for (size_t m = 0; m < 4; ++m) {
        EXPECT_EQ(top[m].text, titles[m]);
        std::vector<Item> items = ReadMenu(::GetSubMenu(bar, static_cast<int>(m)));
        ASSERT_EQ(items.size(), expected[m].size()) << titles[m];
        for (size_t i = 0; i < items.size(); ++i) {
            EXPECT_EQ(items[i].text, expected[m][i].text) << titles[m] << " " << i;
            EXPECT_EQ(items[i].id, expected[m][i].id) << titles[m] << " " << i;
        }
    }
    EXPECT_TRUE(::GetMenuState(::GetSubMenu(bar, 0), 57616, MF_BYCOMMAND) & MF_GRAYED);

    // Toolbar 59392: New, EMail, Print, Wizard and a separator.
    HWND toolbar = gui::FindChild(frame, 59392);
    ASSERT_NE(toolbar, nullptr);
    ASSERT_EQ(::SendMessageA(toolbar, TB_BUTTONCOUNT, 0, 0), 5);
    const int buttons[] = {32772, 1018, 32775, 32778};
    for (int i = 0; i < 4; ++i) {
        TBBUTTON b{};
        ::SendMessageA(toolbar, TB_GETBUTTON, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&b));
        EXPECT_EQ(b.idCommand, buttons[i]);
        EXPECT_FALSE(b.fsStyle & BTNS_SEP);
    }
    TBBUTTON last{};
    ::SendMessageA(toolbar, TB_GETBUTTON, 4, reinterpret_cast<LPARAM>(&last));
    EXPECT_TRUE(last.fsStyle & BTNS_SEP);

    // Status bar 59393: four panes, "Ready"; a menu item's prompt while it is selected.
    HWND status = gui::FindChild(frame, 59393);
    ASSERT_NE(status, nullptr);
    EXPECT_EQ(::SendMessageA(status, SB_GETPARTS, 0, 0), 4);
    EXPECT_EQ(PaneText(status, 0), "Ready");
    ::SendMessageA(frame, WM_MENUSELECT, MAKEWPARAM(32772, MF_STRING), reinterpret_cast<LPARAM>(bar));
    EXPECT_EQ(PaneText(status, 0), "New Zembra");
    ::SendMessageA(frame, WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
    EXPECT_EQ(PaneText(status, 0), "Ready");

    // Tooltips: the text after the prompt's line break.
    for (auto [id, tip] : {std::pair<int, const char*>{32772, "New"}, {1018, "Email"}, {32775, "Print"}, {32778, "Wizard"}}) {
        NMTTDISPINFOA info{};
        info.hdr.hwndFrom = reinterpret_cast<HWND>(::SendMessageA(toolbar, TB_GETTOOLTIPS, 0, 0));
        info.hdr.idFrom = static_cast<UINT_PTR>(id);
        info.hdr.code = TTN_GETDISPINFOA;
        ::SendMessageA(frame, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&info));
        EXPECT_STREQ(info.szText, tip);
    }

    // The view's size text goes to pane 1, which grows to hold it.
    ZmApp().Frame()->SetStatusText(1, "1234.568 MB and 12 Files/Diskettes");
    EXPECT_EQ(PaneText(status, 1), "1234.568 MB and 12 Files/Diskettes");
    RECT pane;
    ::SendMessageA(status, SB_GETRECT, 1, reinterpret_cast<LPARAM>(&pane));
    EXPECT_GT(pane.right - pane.left, 150);

    // The view fills the band between the bars, and takes the toolbar's place when it is hidden.
    HWND view = ZmApp().Frame()->ActiveView()->ViewWindow();
    RECT tb, vr;
    ::GetWindowRect(toolbar, &tb);
    ::GetWindowRect(view, &vr);
    EXPECT_EQ(vr.top, tb.bottom);
    ::SendMessageA(frame, WM_COMMAND, MAKEWPARAM(59392, 0), 0);
    EXPECT_FALSE(::IsWindowVisible(toolbar));
    RECT client;
    ::GetClientRect(frame, &client);
    ::MapWindowPoints(frame, nullptr, reinterpret_cast<POINT*>(&client), 2);
    ::GetWindowRect(view, &vr);
    EXPECT_EQ(vr.top, client.top);
    ::SendMessageA(frame, WM_COMMAND, MAKEWPARAM(59392, 0), 0);
    EXPECT_TRUE(::IsWindowVisible(toolbar));

    // Accelerator table 128 as loaded; Ctrl+S is the Save command (a build), never the
    // framework's document save, which would write an empty project over the real one.
    HACCEL table = ::LoadAcceleratorsA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(128));
    ASSERT_NE(table, nullptr);
    ACCEL keys[32];
    int count = ::CopyAcceleratorTableA(table, keys, 32);
    struct Key {
        BYTE flags;
        WORD key, command;
    } wanted[] = {
        {FCONTROL, 'C', 57634}, {FCONTROL, VK_INSERT, 57634}, {FCONTROL, 'V', 57637}, {FSHIFT, VK_INSERT, 57637},
        {FCONTROL, 'X', 57635}, {FSHIFT, VK_DELETE, 57635},   {FCONTROL, 'Z', 57643}, {FALT, VK_BACK, 57643},
        {FCONTROL, 'N', 32772}, {FCONTROL, 'O', 57601},       {FCONTROL, 'S', 32776}, {0, VK_F6, 57680},
        {FSHIFT, VK_F6, 57681}, {FSHIFT, VK_F1, 57669},
    };
    ASSERT_EQ(count, 14);
    for (int i = 0; i < count; ++i) {
        EXPECT_EQ(keys[i].fVirt & ~FNOINVERT, FVIRTKEY | wanted[i].flags) << i;
        EXPECT_EQ(keys[i].key, wanted[i].key) << i;
        EXPECT_EQ(keys[i].cmd, wanted[i].command) << i;
        EXPECT_NE(keys[i].cmd, 57603);
    }

    // The engine's forward message is answered 1; so is another start's instance message.
    EXPECT_EQ(::SendMessageA(frame, WM_APP + 1, 0, 100), 1);
    EXPECT_EQ(::SendMessageA(frame, ::RegisterWindowMessageA("ZEMBRA"), 0, 0), 1);

    // Shift+F1 goes to the view as its context-help message, ahead of the accelerators.
    g_viewProc = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrA(view, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(WatchView)));
    ::SetForegroundWindow(frame);
    ASSERT_TRUE(gui::WaitUntil([&] { return ::GetForegroundWindow() == frame; }));
    ::keybd_event(VK_SHIFT, 0, 0, 0);
    ::keybd_event(VK_F1, 0, 0, 0);
    ::keybd_event(VK_F1, 0, KEYEVENTF_KEYUP, 0);
    ::keybd_event(VK_SHIFT, 0, KEYEVENTF_KEYUP, 0);
    EXPECT_TRUE(gui::WaitUntil([] { return g_contextHelpSeen == 1; }, 5000));
    // The help file beside the program is found, wherever the program stands.
    HWND helpBox = gui::FindMessageBox(::GetCurrentProcessId(), 2000);
    EXPECT_EQ(helpBox, nullptr) << gui::MessageBoxText(helpBox);
    if (helpBox) gui::Answer(helpBox, IDOK);
    ::SetWindowLongPtrA(view, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_viewProc));

    // About.
    ::PostMessageA(frame, WM_COMMAND, MAKEWPARAM(57664, 0), 0);
    HWND about = gui::FindTop("#32770", "About Zembra", gui::kTimeoutMs, ::GetCurrentProcessId());
    ASSERT_NE(about, nullptr);
    EXPECT_TRUE(gui::Click(about, IDOK));
    EXPECT_TRUE(gui::WaitGone(about));

    // Recent files take the placeholder's place in the File menu and are kept in the profile.
    ZmApp().Frame()->RecentFiles().Add("C:\\sets\\one.spj");
    ZmApp().Frame()->RecentFiles().Add("C:\\sets\\two.spj");
    HMENU file = ::GetSubMenu(bar, 0);
    ::SendMessageA(frame, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(file), 0);
    std::vector<Item> withRecent = ReadMenu(file);
    ASSERT_EQ(withRecent.size(), 12u);
    EXPECT_EQ(withRecent[8].text, "&1 C:\\sets\\two.spj");
    EXPECT_EQ(withRecent[8].id, 57616);
    EXPECT_EQ(withRecent[9].text, "&2 C:\\sets\\one.spj");
    EXPECT_EQ(withRecent[9].id, 57617);
    EXPECT_FALSE(::GetMenuState(file, 57616, MF_BYCOMMAND) & MF_GRAYED);
    EXPECT_EQ(withRecent[11].id, 57665);

    // Default Work Directory where both the Windows folder and the per-user copy refuse the
    // write (a folder stands where each settings file would be): the user is told, and after
    // Cancel the work directory is the one before, in memory as on disk.
    {
        SettingsRefused refused;
        ASSERT_TRUE(refused.Ready());
        ::PostMessageA(frame, WM_COMMAND, MAKEWPARAM(32779, 0), 0);
        HWND options = gui::FindTop("#32770", "Default Work Directory", gui::kTimeoutMs, ::GetCurrentProcessId());
        ASSERT_NE(options, nullptr);
        // Nothing stored can be read either: the program's folder is offered, whole however deep.
        EXPECT_EQ(gui::Text(gui::FindChild(options, 1034)), ModuleFolder());
        ASSERT_TRUE(gui::SetText(options, 1034, refused.Folder()));
        ASSERT_TRUE(gui::Click(options, IDOK));
        EXPECT_EQ(gui::AnswerNextMessageBox(IDOK, ::GetCurrentProcessId()), "The settings could not be saved.");
        EXPECT_EQ(ZmApp().WorkDirectory(), longFolder);
        ASSERT_TRUE(gui::Click(options, IDCANCEL));
        ASSERT_TRUE(gui::WaitGone(options));
        EXPECT_EQ(ZmApp().WorkDirectory(), longFolder);
        EXPECT_NE(gui::Text(gui::FindChild(view, 1012)), refused.Folder() + "\\");
    }

    // The toolbar's bitmap strip lives as long as the frame, and no longer.
    HBITMAP strip = ZmApp().Frame()->ToolBarStrip();
    EXPECT_EQ(::GetObjectType(strip), static_cast<DWORD>(OBJ_BITMAP));

    ::PostMessageA(frame, WM_CLOSE, 0, 0);
    EXPECT_EQ(::WaitForSingleObject(thread, gui::kTimeoutMs), WAIT_OBJECT_0);
    DWORD code = 99;
    ::GetExitCodeThread(thread, &code);
    EXPECT_EQ(code, 0u);
    ::CloseHandle(thread);
    EXPECT_EQ(::GetObjectType(strip), 0u);
    const char recentKey[] = "Software\\Local AppWizard-Generated Applications\\Zembra\\Recent File List";
    char first[MAX_PATH] = {0};
    DWORD size = sizeof first;
    EXPECT_EQ(::RegGetValueA(HKEY_CURRENT_USER, recentKey, "File1", RRF_RT_REG_SZ, nullptr, first, &size), ERROR_SUCCESS);
    EXPECT_STREQ(first, "C:\\sets\\two.spj");
    ::RegDeleteTreeA(HKEY_CURRENT_USER, recentKey);
}

}  // namespace
