// The mailer's progress window: caption, one text line, a bar and Cancel, pumped by the sender.
// A small stand-in until the suite's shared progress panel is linked into korvo.
#include "mailer/mail_progress.h"

#include <commctrl.h>

#include <string>

#include "winui/app.h"
#include "winui/progress_bar.h"
#include "winui/window.h"

namespace {

constexpr int kTextId = 11, kBarId = 12, kCancelId = 10;

class CMailProgress : public IProgress, public winui::Window {
public:
    CMailProgress(HWND owner, const char* caption) {
        const char* cls = "ZembraMailProgress";
        RegisterWindowClass(cls, CS_HREDRAW | CS_VREDRAW, ::LoadCursor(nullptr, IDC_APPSTARTING),
                      reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
        if (!Create(WS_EX_DLGMODALFRAME, cls, caption, WS_POPUP | WS_CAPTION | WS_BORDER, 0, 0, 390,
                    130, owner))
            return;
        HFONT font = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
        text_ = ::CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE | SS_NOPREFIX | SS_LEFTNOWORDWRAP,
                                  10, 10, 364, 36, hwnd_, reinterpret_cast<HMENU>(kTextId),
                                  winui::App::Instance(), nullptr);
        bar_.Attach(::CreateWindowExA(0, PROGRESS_CLASSA, "", WS_CHILD | WS_VISIBLE, 10, 58, 270, 18,
                                      hwnd_, reinterpret_cast<HMENU>(kBarId), winui::App::Instance(), nullptr));
        cancel_ = ::CreateWindowExA(0, "BUTTON", " Cancel ", WS_CHILD | WS_VISIBLE | WS_TABSTOP,
                                    290, 54, 84, 26, hwnd_, reinterpret_cast<HMENU>(kCancelId),
                                    winui::App::Instance(), nullptr);
        ::SendMessageA(text_, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
        ::SendMessageA(cancel_, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
        Center();
    }
    ~CMailProgress() override { Destroy(); }

    void SetRange(int lower, int upper) override {
        if (!hwnd_) return;
        bar_.SetRange32(lower, upper);
        cancelled_ = false;
    }
    int SetStep(int step) override {
        int old = step_;
        step_ = step;
        if (hwnd_) bar_.SetStep(step);
        return old;
    }
    int SetPos(int pos) override {
        if (!hwnd_) return 0;
        if (!IsVisible()) Show();
        int old = pos_;
        pos_ = pos;
        bar_.SetPos(pos);
        return old;
    }
    void StepIt() override { SetPos(pos_ + step_); }
    void SetText(const std::string& text) override {
        if (hwnd_) ::SetWindowTextA(text_, text.c_str());
    }
    void Show() override {
        if (!hwnd_) return;
        ::SetWindowPos(hwnd_, HWND_TOP, 0, 0, 0, 0,
                       SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW | SWP_FRAMECHANGED);
    }
    void Hide() override {
        if (hwnd_) Window::Show(SW_HIDE);
    }
    void PumpMessages(bool cancelOnEscape) override {
        MSG msg;
        while (!cancelled_ && ::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                ::PostQuitMessage(static_cast<int>(msg.wParam));  // the run loop still ends
                return;
            }
            if (cancelOnEscape && msg.message == WM_CHAR && msg.wParam == 27) Cancel();
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
    }
    bool Cancelled() const override { return cancelled_; }

protected:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override {
        if (msg == WM_COMMAND && LOWORD(wp) == kCancelId && HIWORD(wp) == BN_CLICKED) {
            Cancel();
            return 0;
        }
        if (msg == WM_CLOSE) return 0;  // only Cancel ends a run
        return Window::WindowProc(msg, wp, lp);
    }

private:
    void Cancel() {
        cancelled_ = true;
        Hide();
        if (HWND main = winui::App::MainWindow()) ::SetForegroundWindow(main);
    }

    HWND text_ = nullptr, cancel_ = nullptr;
    winui::ProgressBar bar_;
    int pos_ = 0, step_ = 1;
    bool cancelled_ = false;
};

}  // namespace

std::unique_ptr<IProgress> CreateMailProgress(HWND owner, const char* caption) {
    return std::make_unique<CMailProgress>(owner, caption);
}
