// Window: a non-owning-by-default HWND wrapper with one-line forwarders and a window procedure
// that routes messages to a virtual handler.
#pragma once

#include <windows.h>

#include <string>

namespace winui {

class Window {
public:
    Window() = default;
    explicit Window(HWND hwnd) : hwnd_(hwnd) {}
    virtual ~Window() = default;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    void Attach(HWND hwnd) { hwnd_ = hwnd; }
    HWND Detach() { HWND h = hwnd_; hwnd_ = nullptr; return h; }
    HWND Handle() const { return hwnd_; }
    operator HWND() const { return hwnd_; }
    bool Exists() const { return hwnd_ != nullptr && ::IsWindow(hwnd_); }

    // Registers a window class whose procedure dispatches to WindowProc of the Window created
    // by Create (the pointer travels in the creation parameter). Registering twice is fine.
    static bool RegisterWindowClass(const char* className, UINT style, HCURSOR cursor,
                                    HBRUSH background, HICON icon = nullptr);
    bool Create(DWORD exStyle, const char* className, const char* title, DWORD style, int x, int y,
                int width, int height, HWND parent, HMENU menuOrId = nullptr);
    bool Destroy();
    // Creates a control of className in place of a dialog's placeholder item: its rectangle,
    // its id and its place in the tab order; the placeholder goes. The control is attached.
    bool CreateInPlaceOf(HWND dialog, int id, const char* className, DWORD style);

    bool Show(int command) { return ::ShowWindow(hwnd_, command) != FALSE; }
    bool IsVisible() const { return ::IsWindowVisible(hwnd_) != FALSE; }
    bool Enable(bool enable = true) { return ::EnableWindow(hwnd_, enable) != FALSE; }
    bool IsEnabled() const { return ::IsWindowEnabled(hwnd_) != FALSE; }
    bool SetText(const std::string& text) { return ::SetWindowTextA(hwnd_, text.c_str()) != FALSE; }
    std::string GetText() const;
    bool Move(int x, int y, int width, int height, bool repaint = true) {
        return ::MoveWindow(hwnd_, x, y, width, height, repaint) != FALSE;
    }
    bool SetPos(HWND after, int x, int y, int cx, int cy, UINT flags) {
        return ::SetWindowPos(hwnd_, after, x, y, cx, cy, flags) != FALSE;
    }
    RECT WindowRect() const { RECT r{}; ::GetWindowRect(hwnd_, &r); return r; }
    RECT ClientRect() const { RECT r{}; ::GetClientRect(hwnd_, &r); return r; }
    HWND SetFocus() { return ::SetFocus(hwnd_); }
    HWND Item(int id) const { return ::GetDlgItem(hwnd_, id); }
    LRESULT Send(UINT msg, WPARAM wp = 0, LPARAM lp = 0) const { return ::SendMessageA(hwnd_, msg, wp, lp); }
    bool Post(UINT msg, WPARAM wp = 0, LPARAM lp = 0) const { return ::PostMessageA(hwnd_, msg, wp, lp) != FALSE; }
    void SetFont(HFONT font, bool redraw = true) { Send(WM_SETFONT, reinterpret_cast<WPARAM>(font), redraw); }
    HICON SetIcon(HICON icon, bool big) {
        return reinterpret_cast<HICON>(Send(WM_SETICON, big ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(icon)));
    }
    // Centres over the owner when it is shown, else over the work area of the primary screen.
    void Center();

protected:
    // Handles a message of a window made by Create; the default is DefWindowProc.
    virtual LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp);
    // Called after WM_NCDESTROY, when the handle is already gone.
    virtual void OnFinalDestroy() {}

    HWND hwnd_ = nullptr;

private:
    static LRESULT CALLBACK StaticWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
};

}  // namespace winui
