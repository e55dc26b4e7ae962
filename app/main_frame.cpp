// CMainFrame: creation (fixed size, centred), toolbar and status bar, command chain, menu state,
// fly-by prompts and tooltips, the answer to a second start, the recent-file entries.
#include "app/main_frame.h"

#include <commctrl.h>

#include "app/frame_commands.h"
#include "app/zm_app.h"
#include "platform/settings.h"
#include "resources/zembra_res.h"
#include "model/build_run.h"
#include "winui/app.h"

namespace {
// The toolbar's buttons in order (the strip in bitmap 128 holds their images), then a separator.
const int kToolButtons[] = {ID_NEW_SPLIT, ID_EMAIL, ID_PRINT, ID_WIZARD_BUTTON};
const int kKeyPaneIds[] = {ID_INDICATOR_CAPS, ID_INDICATOR_NUM, ID_INDICATOR_SCRL};
const int kKeys[] = {VK_CAPITAL, VK_NUMLOCK, VK_SCROLL};

std::string LoadText(int id) {
    char buffer[512] = {0};
    int n = ::LoadStringA(winui::App::Instance(), static_cast<UINT>(id), buffer, sizeof buffer);
    return std::string(buffer, n > 0 ? static_cast<size_t>(n) : 0);
}

// A command's string: status prompt before "\n", tooltip after it.
std::string Prompt(int id) {
    std::string text = LoadText(id);
    return text.substr(0, text.find('\n'));
}
std::string Tip(int id) {
    std::string text = LoadText(id);
    size_t nl = text.find('\n');
    return nl == std::string::npos ? std::string() : text.substr(nl + 1);
}

bool IsRecentId(int id) { return id >= ID_FILE_MRU_FILE1 && id <= ID_FILE_MRU_FILE4; }
}  // namespace

CMainFrame::CMainFrame() = default;
CMainFrame::~CMainFrame() = default;

bool CMainFrame::CreateMainFrame() {
    // Fixed size, centred; no resizing border and no maximise box.
    DWORD style = WS_OVERLAPPEDWINDOW & ~(WS_THICKFRAME | WS_MAXIMIZEBOX);
    int x = (::GetSystemMetrics(SM_CXSCREEN) - kWidth) / 2;
    int y = (::GetSystemMetrics(SM_CYSCREEN) - kHeight) / 2;
    return CreateFrame("ZembraMainFrame", LoadText(IDS_APP_TITLE), IDR_MAINFRAME, style, x, y,
                       kWidth, kHeight);
}

bool CMainFrame::OnCreateFrame() {
    if (!CreateToolBar() || !CreateStatusBar()) return false;
    view_ = CreateZmView();
    if (!view_ || !view_->CreateView(*this) || !view_->ViewWindow()) return false;
    Layout();
    ::ShowWindow(view_->ViewWindow(), SW_SHOW);
    auto profile = OpenAppProfile(CZmApp::kRegistryKey, CZmApp::kAppName);
    recent_.Load(*profile);
    return true;
}

bool CMainFrame::CreateToolBar() {
    HINSTANCE inst = winui::App::Instance();
    toolbar_ = ::CreateWindowExA(0, TOOLBARCLASSNAMEA, "", WS_CHILD | WS_VISIBLE | CCS_TOP |
                                 TBSTYLE_TOOLTIPS | TBSTYLE_FLAT, 0, 0, 0, 0, hwnd_,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(ID_VIEW_TOOLBAR)), inst, nullptr);
    if (!toolbar_) return false;
    ::SendMessageA(toolbar_, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    ::SendMessageA(toolbar_, TB_SETBITMAPSIZE, 0, MAKELPARAM(16, 15));
    // The strip's light grey becomes the button face of the current colour scheme.
    HBITMAP strip = ::CreateMappedBitmap(inst, IDR_MAINFRAME, 0, nullptr, 0);
    if (!strip) return false;
    TBADDBITMAP bitmap{nullptr, reinterpret_cast<UINT_PTR>(strip)};
    if (::SendMessageA(toolbar_, TB_ADDBITMAP, 4, reinterpret_cast<LPARAM>(&bitmap)) < 0) return false;
    TBBUTTON buttons[5] = {};
    for (int i = 0; i < 4; ++i) {
        buttons[i].iBitmap = i;
        buttons[i].idCommand = kToolButtons[i];
        buttons[i].fsState = TBSTATE_ENABLED;
        buttons[i].fsStyle = BTNS_BUTTON;
    }
    buttons[4].fsStyle = BTNS_SEP;
    if (!::SendMessageA(toolbar_, TB_ADDBUTTONSA, 5, reinterpret_cast<LPARAM>(buttons))) return false;
    ::SendMessageA(toolbar_, TB_AUTOSIZE, 0, 0);
    return true;
}

bool CMainFrame::CreateStatusBar() {
    status_ = ::CreateWindowExA(0, STATUSCLASSNAMEA, "", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, hwnd_,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(ID_VIEW_STATUS_BAR)),
                                winui::App::Instance(), nullptr);
    if (!status_) return false;
    int parts[4] = {100, 150, 200, -1};
    if (!::SendMessageA(status_, SB_SETPARTS, 4, reinterpret_cast<LPARAM>(parts))) return false;
    SetStatusText(0, LoadText(IDS_IDLE_MESSAGE));
    UpdateKeyPanes();
    return true;
}

void CMainFrame::Layout() {
    RECT client = ClientRect();
    int top = 0, bottom = client.bottom;
    if (toolbar_ && ::IsWindowVisible(toolbar_)) {
        ::SendMessageA(toolbar_, TB_AUTOSIZE, 0, 0);
        RECT r;
        ::GetWindowRect(toolbar_, &r);
        top = r.bottom - r.top;
    }
    if (status_ && ::IsWindowVisible(status_)) {
        ::SendMessageA(status_, WM_SIZE, 0, 0);
        RECT r;
        ::GetWindowRect(status_, &r);
        bottom -= r.bottom - r.top;
        // Key panes as wide as their text (or the view's text put there), the message pane the rest.
        HDC dc = ::GetDC(status_);
        HFONT font = reinterpret_cast<HFONT>(::SendMessageA(status_, WM_GETFONT, 0, 0));
        HGDIOBJ old = font ? ::SelectObject(dc, font) : nullptr;
        int widths[3];
        for (int i = 0; i < 3; ++i) {
            std::string text = viewPaneText_[i + 1].empty() ? LoadText(kKeyPaneIds[i]) : viewPaneText_[i + 1];
            SIZE size{};
            ::GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
            widths[i] = size.cx + 12;
        }
        if (old) ::SelectObject(dc, old);
        ::ReleaseDC(status_, dc);
        int parts[4];
        parts[3] = client.right;
        parts[2] = parts[3] - widths[2];
        parts[1] = parts[2] - widths[1];
        parts[0] = parts[1] - widths[0];
        if (parts[0] < client.right / 4) parts[0] = client.right / 4;
        ::SendMessageA(status_, SB_SETPARTS, 4, reinterpret_cast<LPARAM>(parts));
    }
    if (view_ && view_->ViewWindow())
        ::MoveWindow(view_->ViewWindow(), 0, top, client.right, bottom > top ? bottom - top : 0, TRUE);
}

void CMainFrame::ShowBar(HWND bar, bool show) {
    ::ShowWindow(bar, show ? SW_SHOW : SW_HIDE);
    Layout();
}

bool CMainFrame::NewDocument() {
    if (!document_) {
        const ZmDocumentFactory& factory = ZmDocumentFactoryRegistered();
        if (factory && view_) document_ = factory(*this, *view_);
    }
    SetDocumentTitle("Untitled");
    return !document_ || document_->OnNewDocument();
}

void CMainFrame::SetDocumentTitle(const std::string& title) {
    title_ = title;
    SetText(title.empty() ? LoadText(IDS_APP_TITLE) : title + " - " + LoadText(IDS_APP_TITLE));
}

void CMainFrame::SetStatusText(int pane, const std::string& text) {
    if (pane < 0 || pane > 3 || !status_) return;
    if (pane > 0) {
        viewPaneText_[pane] = text;
        Layout();
        if (text.empty()) {
            UpdateKeyPanes();
            return;
        }
    }
    ::SendMessageA(status_, SB_SETTEXTA, static_cast<WPARAM>(pane), reinterpret_cast<LPARAM>(text.c_str()));
    ::UpdateWindow(status_);
}

std::string CMainFrame::StatusText(int pane) const {
    char buffer[512] = {0};
    if (!status_ || LOWORD(::SendMessageA(status_, SB_GETTEXTLENGTHA, static_cast<WPARAM>(pane), 0)) >= sizeof buffer)
        return std::string();
    ::SendMessageA(status_, SB_GETTEXTA, static_cast<WPARAM>(pane), reinterpret_cast<LPARAM>(buffer));
    return buffer;
}

void CMainFrame::UpdateKeyPanes() {
    if (!status_) return;
    for (int i = 0; i < 3; ++i) {
        if (!viewPaneText_[i + 1].empty()) continue;
        std::string text = (::GetKeyState(kKeys[i]) & 1) ? LoadText(kKeyPaneIds[i]) : std::string();
        if (StatusText(i + 1) != text)
            ::SendMessageA(status_, SB_SETTEXTA, static_cast<WPARAM>(i + 1), reinterpret_cast<LPARAM>(text.c_str()));
    }
}

void CMainFrame::ShowPrompt(int id) {
    SetStatusText(0, id == 0 ? LoadText(IDS_IDLE_MESSAGE) : Prompt(id));
}

bool CMainFrame::IsEnabled(int id) {
    bool enabled = true;
    if (view_ && view_->QueryCommand(id, enabled)) return enabled;
    if (document_ && document_->QueryCommand(id, enabled)) return enabled;
    return true;
}

void CMainFrame::UpdateToolbar() {
    if (!toolbar_) return;
    for (int id : kToolButtons)
        ::SendMessageA(toolbar_, TB_ENABLEBUTTON, static_cast<WPARAM>(id), MAKELPARAM(IsEnabled(id), 0));
}

bool CMainFrame::OnOwnCommand(int id) {
    switch (id) {
    case ID_VIEW_TOOLBAR:
        ShowBar(toolbar_, !::IsWindowVisible(toolbar_));
        return true;
    case ID_VIEW_STATUS_BAR:
        ShowBar(status_, !::IsWindowVisible(status_));
        return true;
    case ID_APP_EXIT:
        Post(WM_CLOSE);
        return true;
    case ID_SAVE:
    case ID_FILE_SAVE:
        // Save builds the set, which writes the segments and the project file; the framework's
        // own save (Ctrl+S) would store an empty document over the project file.
        Post(WM_COMMAND, MAKEWPARAM(ID_BUILD, 0), 0);
        return true;
    case ID_EDIT_COPY:
    case ID_EDIT_CUT:
    case ID_EDIT_PASTE:
    case ID_EDIT_UNDO:
        // The accelerators took the key from the focused edit control: give it the command.
        EditCommand(id);
        return true;
    case ID_WIZARD_BUTTON:
        // The toolbar's Wizard button is the menu's Wizard command.
        return RouteCommand(ID_WIZARD);
    default:
        return ZmFrameCommand(*this, id);
    }
}

void CMainFrame::EditCommand(int id) {
    HWND focus = ::GetFocus();
    char className[16] = {0};
    if (!focus || !::GetClassNameA(focus, className, sizeof className) || lstrcmpiA(className, "Edit") != 0)
        return;
    UINT msg = id == ID_EDIT_COPY ? WM_COPY : id == ID_EDIT_CUT ? WM_CUT : id == ID_EDIT_PASTE ? WM_PASTE : EM_UNDO;
    ::SendMessageA(focus, msg, 0, 0);
}

std::string CMainFrame::WorkDirectory() const { return ZmApp().WorkDirectory(); }
const char* CMainFrame::PendingCommandLine() const { return ZmApp().PendingCommandLine(); }
void CMainFrame::ClearPendingCommandLine() { ZmApp().ClearPendingCommandLine(); }

bool CMainFrame::RouteCommand(int id) {
    if (OnOwnCommand(id)) return true;
    if (view_ && view_->OnCommand(id)) return true;
    if (document_ && document_->OnCommand(id)) return true;
    return ZmApp().OnCommand(id);
}

bool CMainFrame::OnCommand(int id, int, HWND control) {
    // Menus and accelerators carry no control; the toolbar's buttons name the toolbar.
    if (control == nullptr || control == toolbar_) RouteCommand(id);
    return true;
}

void CMainFrame::OnInitMenuPopup(HMENU menu, int) {
    // The recent-file entries replace the placeholder (or the entries of the last time).
    int count = ::GetMenuItemCount(menu);
    int recentAt = -1;
    for (int i = count - 1; i >= 0; --i) {
        int id = static_cast<int>(::GetMenuItemID(menu, i));
        if (IsRecentId(id)) {
            ::DeleteMenu(menu, static_cast<UINT>(i), MF_BYPOSITION);
            recentAt = i;
        }
    }
    if (recentAt >= 0) {
        if (recent_.Count() == 0) {
            ::InsertMenuA(menu, static_cast<UINT>(recentAt), MF_BYPOSITION | MF_STRING | MF_GRAYED,
                          ID_FILE_MRU_FILE1, "Recent File");
        } else {
            for (size_t i = 0; i < recent_.Count(); ++i)
                ::InsertMenuA(menu, static_cast<UINT>(recentAt + static_cast<int>(i)), MF_BYPOSITION | MF_STRING,
                              ID_FILE_MRU_FILE1 + i, recent_.MenuText(i).c_str());
        }
    }
    count = ::GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        int id = static_cast<int>(::GetMenuItemID(menu, i));
        if (id <= 0 || id == -1) continue;
        if (id == ID_VIEW_TOOLBAR || id == ID_VIEW_STATUS_BAR) {
            HWND bar = id == ID_VIEW_TOOLBAR ? toolbar_ : status_;
            ::CheckMenuItem(menu, static_cast<UINT>(i), MF_BYPOSITION | (::IsWindowVisible(bar) ? MF_CHECKED : MF_UNCHECKED));
        } else if (id == ID_OPTIONS_HIDDEN) {
            bool include = OpenAppProfile(CZmApp::kRegistryKey, CZmApp::kAppName)
                               ->GetInt(build_setting::kSection, build_setting::kIncludeHidden, 0) != 0;
            ::CheckMenuItem(menu, static_cast<UINT>(i), MF_BYPOSITION | (include ? MF_CHECKED : MF_UNCHECKED));
        } else if (!(IsRecentId(id) && recent_.Count() == 0)) {
            ::EnableMenuItem(menu, static_cast<UINT>(i), MF_BYPOSITION | (IsEnabled(id) ? MF_ENABLED : MF_GRAYED));
        }
    }
}

bool CMainFrame::OnNotifyMessage(NMHDR* header, LRESULT& result) {
    if (header->code == TTN_GETDISPINFOA) {
        auto* info = reinterpret_cast<NMTTDISPINFOA*>(header);
        lstrcpynA(info->szText, Tip(static_cast<int>(header->idFrom)).c_str(), sizeof info->szText);
        result = 0;
        return true;
    }
    if (header->code == TTN_GETDISPINFOW) {
        auto* info = reinterpret_cast<NMTTDISPINFOW*>(header);
        std::string tip = Tip(static_cast<int>(header->idFrom));
        ::MultiByteToWideChar(CP_ACP, 0, tip.c_str(), -1, info->szText, 80);
        result = 0;
        return true;
    }
    if (header->hwndFrom == toolbar_ && header->code == TBN_HOTITEMCHANGE) {
        // Fly-by help: the hot button's prompt in the message pane, "Ready" when the mouse leaves.
        auto* hot = reinterpret_cast<NMTBHOTITEM*>(header);
        ShowPrompt((hot->dwFlags & HICF_LEAVING) ? 0 : hot->idNew);
        result = 0;
        return true;
    }
    return false;
}

bool CMainFrame::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    UINT instanceMessage = ZmApp().InstanceMessage();
    if (instanceMessage != 0 && msg == instanceMessage) {
        // Another start of the program asks: come to the top; it then ends.
        if (::IsIconic(hwnd_)) ::ShowWindow(hwnd_, SW_RESTORE);
        ::BringWindowToTop(hwnd_);
        ::SetForegroundWindow(hwnd_);
        result = 1;
        return true;
    }
    switch (msg) {
    case WM_CREATE:
        result = OnCreateFrame() ? 0 : -1;
        return true;
    case WM_SIZE:
        Layout();
        return true;
    case WM_SETFOCUS:
        if (view_ && view_->ViewWindow()) ::SetFocus(view_->ViewWindow());
        return true;
    case WM_NOTIFY:
        return OnNotifyMessage(reinterpret_cast<NMHDR*>(lp), result);
    case WM_MENUSELECT:
        if (HIWORD(wp) == 0xFFFF && lp == 0)
            ShowPrompt(0);
        else if (HIWORD(wp) & (MF_POPUP | MF_SEPARATOR))
            SetStatusText(0, "");
        else
            ShowPrompt(LOWORD(wp));
        return true;
    case WM_EXITMENULOOP:
        ShowPrompt(0);
        return false;
    case WM_ZM_VIEW_FORWARD:
        if (view_ && view_->ViewWindow()) ::SendMessageA(view_->ViewWindow(), msg, wp, lp);
        result = 1;
        return true;
    case WM_DESTROY: {
        auto profile = OpenAppProfile(CZmApp::kRegistryKey, CZmApp::kAppName);
        recent_.Save(*profile);
        return false;
    }
    default:
        if (msg >= WM_APP && document_) return document_->OnFrameMessage(msg, wp, lp, result);
        return false;
    }
}
