// Dialog: template loading, the routing dialog procedure and the default handlers.
#include "winui/dialog.h"

#include <memory>
#include <new>

#include "winui/app.h"
#include "winui/data_exchange.h"
#include "winui/message_box_prompts.h"
#include "winui/message_loop.h"

namespace winui {

Dialog::~Dialog() {
    // A modeless dialog must not call back into a destroyed object.
    if (hwnd_ && !modal_) ::DestroyWindow(hwnd_);
}

HWND Dialog::OwnerOrMain(HWND owner) const {
    HWND chosen = App::OwnerFor(owner);
    return chosen != hwnd_ ? chosen : nullptr;
}

INT_PTR Dialog::DoModal(HWND owner) {
    if (hwnd_) return -1;
    modal_ = true;
    HINSTANCE inst = resources_ ? resources_ : App::Instance();
    result_ = ::DialogBoxParamA(inst, MAKEINTRESOURCEA(templateId_), OwnerOrMain(owner),
                                StaticDialogProc, reinterpret_cast<LPARAM>(this));
    return result_;
}

bool Dialog::Create(HWND owner) {
    if (hwnd_) return false;
    modal_ = false;
    HINSTANCE inst = resources_ ? resources_ : App::Instance();
    HWND h = ::CreateDialogParamA(inst, MAKEINTRESOURCEA(templateId_), OwnerOrMain(owner),
                                  StaticDialogProc, reinterpret_cast<LPARAM>(this));
    if (!h) return false;
    MessageLoop::AddModeless(h);
    return true;
}

void Dialog::EndDialog(INT_PTR code) {
    result_ = code;
    if (!hwnd_) return;
    if (modal_)
        ::EndDialog(hwnd_, code);
    else
        ::DestroyWindow(hwnd_);
}

IPrompts& Dialog::Prompts() {
    if (prompts_) return *prompts_;
    // Made afresh so the owner is this run's window, not a previous run's.
    ownPrompts_ = std::make_unique<MessageBoxPrompts>(hwnd_);
    return *ownPrompts_;
}

bool Dialog::UpdateData(bool save) {
    DataExchange dx(*this, save);
    Exchange(dx, save);
    return dx.Ok();
}

bool Dialog::HandOverItemText(int id, std::string& text) {
    const int n = text.empty() ? 0 : ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    if (!text.empty() && n <= 0) return SetItemText(id, text);
    // Without room for the converted text, the system's own conversion may still find some.
    std::unique_ptr<wchar_t[]> wide(new (std::nothrow) wchar_t[static_cast<size_t>(n) + 1]);
    if (!wide) return SetItemText(id, text);
    if (n > 0) ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.get(), n);
    wide[static_cast<size_t>(n)] = L'\0';
    std::string().swap(text);
    return ::SetWindowTextW(Item(id), wide.get()) != FALSE;
}

std::string Dialog::ItemText(int id) const {
    HWND item = Item(id);
    int n = item ? ::GetWindowTextLengthA(item) : 0;
    if (n <= 0) return std::string();
    std::string text(static_cast<size_t>(n) + 1, '\0');
    n = ::GetWindowTextA(item, &text[0], n + 1);
    text.resize(n > 0 ? static_cast<size_t>(n) : 0);
    return text;
}

bool Dialog::OnInitDialog() {
    UpdateData(false);
    return true;
}

void Dialog::Exchange(DataExchange&, bool) {}
bool Dialog::OnCommand(int, int, HWND) { return false; }
bool Dialog::OnNotify(int, NMHDR*, LRESULT&) { return false; }
bool Dialog::OnDrawItem(int, DRAWITEMSTRUCT*) { return false; }
bool Dialog::OnMeasureItem(int, MEASUREITEMSTRUCT*) { return false; }
bool Dialog::OnMessage(UINT, WPARAM, LPARAM, LRESULT&) { return false; }

void Dialog::OnOK() {
    if (UpdateData(true)) EndDialog(IDOK);
}

void Dialog::OnCancel() { EndDialog(IDCANCEL); }

INT_PTR CALLBACK Dialog::StaticDialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    Dialog* self;
    if (msg == WM_INITDIALOG) {
        self = reinterpret_cast<Dialog*>(lp);
        ::SetWindowLongPtrA(hwnd, DWLP_USER, lp);
        self->hwnd_ = hwnd;
    } else {
        self = reinterpret_cast<Dialog*>(::GetWindowLongPtrA(hwnd, DWLP_USER));
    }
    // Messages before WM_INITDIALOG (WM_SETFONT) and after WM_NCDESTROY find no object.
    if (!self) return FALSE;
    INT_PTR r = self->DialogProc(msg, wp, lp);
    if (msg == WM_NCDESTROY) {
        ::SetWindowLongPtrA(hwnd, DWLP_USER, 0);
        self->hwnd_ = nullptr;
    }
    return r;
}

// Messages whose result a dialog procedure returns directly instead of in DWLP_MSGRESULT.
static bool ReturnsDirectly(UINT msg) {
    switch (msg) {
    case WM_CTLCOLORMSGBOX: case WM_CTLCOLOREDIT: case WM_CTLCOLORLISTBOX: case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG: case WM_CTLCOLORSCROLLBAR: case WM_CTLCOLORSTATIC: case WM_COMPAREITEM:
    case WM_VKEYTOITEM: case WM_CHARTOITEM: case WM_QUERYDRAGICON: case WM_INITDIALOG:
        return true;
    default:
        return false;
    }
}

INT_PTR Dialog::DialogProc(UINT msg, WPARAM wp, LPARAM lp) {
    LRESULT result = 0;
    if (OnMessage(msg, wp, lp, result)) {
        if (ReturnsDirectly(msg)) return static_cast<INT_PTR>(result);
        ::SetWindowLongPtrA(hwnd_, DWLP_MSGRESULT, result);
        return TRUE;
    }
    switch (msg) {
    case WM_INITDIALOG: {
        if (!App::MainWindow()) {
            App::SetMainWindow(hwnd_);
            tookMainRole_ = true;
        }
        if (modal_) App::EnterModal(hwnd_);
        // The system centres a DS_CENTER template on the screen, wherever its owner stands; a
        // pop-up that opens over its owner is what the user looks at. A dialog that places
        // itself in OnInitDialog keeps its place.
        bool popup = !(::GetWindowLongA(hwnd_, GWL_STYLE) & WS_CHILD);
        RECT before = WindowRect();
        BOOL focusDefault = OnInitDialog() ? TRUE : FALSE;
        RECT after = WindowRect();
        if (popup && hwnd_ && ::EqualRect(&before, &after)) Center();
        return focusDefault;
    }
    case WM_COMMAND: {
        int id = LOWORD(wp), code = HIWORD(wp);
        HWND control = reinterpret_cast<HWND>(lp);
        if (id == IDOK && code == BN_CLICKED) {
            OnOK();
            return TRUE;
        }
        if (id == IDCANCEL && code == BN_CLICKED) {
            OnCancel();
            return TRUE;
        }
        return OnCommand(id, code, control) ? TRUE : FALSE;
    }
    case WM_NOTIFY: {
        NMHDR* header = reinterpret_cast<NMHDR*>(lp);
        if (!OnNotify(static_cast<int>(header->idFrom), header, result)) return FALSE;
        ::SetWindowLongPtrA(hwnd_, DWLP_MSGRESULT, result);
        return TRUE;
    }
    case WM_DRAWITEM:
        return OnDrawItem(static_cast<int>(wp), reinterpret_cast<DRAWITEMSTRUCT*>(lp)) ? TRUE : FALSE;
    case WM_MEASUREITEM:
        return OnMeasureItem(static_cast<int>(wp), reinterpret_cast<MEASUREITEMSTRUCT*>(lp)) ? TRUE : FALSE;
    case WM_CLOSE:
        // The caption's close box and Alt+F4 act as Cancel, as in any dialog.
        OnCancel();
        return TRUE;
    case WM_DESTROY:
        OnDestroy();
        if (modal_)
            App::LeaveModal(hwnd_);
        else
            MessageLoop::RemoveModeless(hwnd_);
        if (tookMainRole_ && App::MainWindow() == hwnd_) App::SetMainWindow(nullptr);
        tookMainRole_ = false;
        return FALSE;
    default:
        return FALSE;
    }
}

}  // namespace winui
