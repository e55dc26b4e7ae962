// Window: class registration, creation and the routing window procedure.
#include "winui/window.h"

#include "winui/app.h"

namespace winui {

bool Window::RegisterWindowClass(const char* className, UINT style, HCURSOR cursor,
                                 HBRUSH background, HICON icon) {
    WNDCLASSA existing;
    if (::GetClassInfoA(App::Instance(), className, &existing)) return true;
    WNDCLASSA wc{};
    wc.style = style;
    wc.lpfnWndProc = StaticWindowProc;
    wc.hInstance = App::Instance();
    wc.hCursor = cursor;
    wc.hbrBackground = background;
    wc.hIcon = icon;
    wc.lpszClassName = className;
    return ::RegisterClassA(&wc) != 0;
}

bool Window::Create(DWORD exStyle, const char* className, const char* title, DWORD style, int x,
                    int y, int width, int height, HWND parent, HMENU menuOrId) {
    if (hwnd_) return false;
    HWND h = ::CreateWindowExA(exStyle, className, title, style, x, y, width, height, parent,
                               menuOrId, App::Instance(), this);
    return h != nullptr && hwnd_ == h;
}

bool Window::CreateInPlaceOf(HWND dialog, int id, const char* className, DWORD style) {
    HWND placeholder = ::GetDlgItem(dialog, id);
    RECT r{};
    if (placeholder) {
        ::GetWindowRect(placeholder, &r);
        ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    }
    HWND control = ::CreateWindowExA(0, className, "", style, r.left, r.top, r.right - r.left, r.bottom - r.top,
                                     dialog, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), App::Instance(),
                                     nullptr);
    if (!control) return false;
    if (placeholder) {
        ::SetWindowPos(control, placeholder, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        ::DestroyWindow(placeholder);
    }
    Attach(control);
    return true;
}

bool Window::Destroy() {
    if (!hwnd_) return false;
    HWND h = hwnd_;
    // A window of ours clears hwnd_ itself on WM_NCDESTROY; a merely attached one does not.
    bool ok = ::DestroyWindow(h) != FALSE;
    if (hwnd_ == h) hwnd_ = nullptr;
    return ok;
}

std::string Window::GetText() const {
    int n = ::GetWindowTextLengthA(hwnd_);
    if (n <= 0) return std::string();
    std::string text(static_cast<size_t>(n) + 1, '\0');
    n = ::GetWindowTextA(hwnd_, &text[0], n + 1);
    text.resize(n > 0 ? static_cast<size_t>(n) : 0);
    return text;
}

void Window::Center() {
    RECT me = WindowRect();
    RECT area{};
    HWND owner = ::GetWindow(hwnd_, GW_OWNER);
    if (owner && ::IsWindowVisible(owner) && !::IsIconic(owner))
        ::GetWindowRect(owner, &area);
    else
        ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    int w = me.right - me.left, h = me.bottom - me.top;
    int x = area.left + (area.right - area.left - w) / 2;
    int y = area.top + (area.bottom - area.top - h) / 2;
    // Keep the caption reachable when the owner sits partly off the screen.
    RECT screen{};
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &screen, 0);
    if (x + w > screen.right) x = screen.right - w;
    if (y + h > screen.bottom) y = screen.bottom - h;
    if (x < screen.left) x = screen.left;
    if (y < screen.top) y = screen.top;
    ::SetWindowPos(hwnd_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT Window::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    return ::DefWindowProcA(hwnd_, msg, wp, lp);
}

LRESULT CALLBACK Window::StaticWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    Window* self;
    if (msg == WM_NCCREATE) {
        self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTA*>(lp)->lpCreateParams);
        ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        if (self) self->hwnd_ = hwnd;
    } else {
        self = reinterpret_cast<Window*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    }
    if (!self) return ::DefWindowProcA(hwnd, msg, wp, lp);
    LRESULT result = self->WindowProc(msg, wp, lp);
    if (msg == WM_NCDESTROY) {
        ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
        self->OnFinalDestroy();
    }
    return result;
}

}  // namespace winui
