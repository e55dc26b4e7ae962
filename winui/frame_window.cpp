// FrameWindow: resources, command routing frame-then-view, and the end of the program.
#include "winui/frame_window.h"

#include "winui/app.h"
#include "winui/dialog.h"
#include "winui/message_loop.h"

namespace winui {

bool FrameWindow::CreateFrame(const char* className, const std::string& title, int resourceId,
                              DWORD style, int x, int y, int width, int height) {
    HINSTANCE inst = App::Instance();
    HICON icon = resourceId ? ::LoadIconA(inst, MAKEINTRESOURCEA(resourceId)) : nullptr;
    if (!RegisterWindowClass(className, CS_HREDRAW | CS_VREDRAW, ::LoadCursor(nullptr, IDC_ARROW),
                             reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1)), icon))
        return false;
    HMENU menu = resourceId ? ::LoadMenuA(inst, MAKEINTRESOURCEA(resourceId)) : nullptr;
    if (!Create(0, className, title.c_str(), style, x, y, width, height, nullptr, menu)) {
        if (menu) ::DestroyMenu(menu);
        return false;
    }
    if (resourceId) accelerators_ = ::LoadAcceleratorsA(inst, MAKEINTRESOURCEA(resourceId));
    if (accelerators_) MessageLoop::SetAccelerators(hwnd_, accelerators_);
    App::SetMainWindow(hwnd_);
    return true;
}

void FrameWindow::SetView(Dialog* view) {
    view_ = view;
    FitView();
}

void FrameWindow::FitView() {
    if (!view_ || !view_->Handle()) return;
    RECT r = ClientRect();
    ::MoveWindow(view_->Handle(), 0, 0, r.right, r.bottom, TRUE);
}

bool FrameWindow::OnCommand(int, int, HWND) { return false; }
bool FrameWindow::OnMessage(UINT, WPARAM, LPARAM, LRESULT&) { return false; }

LRESULT FrameWindow::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    LRESULT result = 0;
    if (OnMessage(msg, wp, lp, result)) return result;
    switch (msg) {
    case WM_COMMAND:
        if (OnCommand(LOWORD(wp), HIWORD(wp), reinterpret_cast<HWND>(lp))) return 0;
        // Menu and accelerator commands the frame leaves alone go to the view; a control's
        // notification came from the view's own children and is not sent back.
        if (view_ && view_->Handle() && lp == 0) return ::SendMessageA(view_->Handle(), WM_COMMAND, wp, lp);
        return 0;
    case WM_INITMENUPOPUP:
        if (!HIWORD(lp)) OnInitMenuPopup(reinterpret_cast<HMENU>(wp), LOWORD(lp));
        return 0;
    case WM_SIZE:
        FitView();
        return 0;
    case WM_SETFOCUS:
        if (view_ && view_->Handle()) ::SetFocus(view_->Handle());
        return 0;
    case WM_CLOSE:
        if (OnClose()) ::DestroyWindow(hwnd_);
        return 0;
    case WM_DESTROY:
        MessageLoop::SetAccelerators(nullptr, nullptr);
        if (App::MainWindow() == hwnd_) {
            App::SetMainWindow(nullptr);
            ::PostQuitMessage(0);
        }
        return 0;
    default:
        return Window::WindowProc(msg, wp, lp);
    }
}

}  // namespace winui
