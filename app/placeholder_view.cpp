// A blank view that holds the frame's client area until the main form replaces this file
// (the main form defines CreateZmView instead).
#include <windows.h>

#include "app/main_frame.h"
#include "app/zm_view.h"
#include "winui/app.h"

namespace {
class CPlaceholderView : public CZmView {
public:
    ~CPlaceholderView() override {
        if (hwnd_ && ::IsWindow(hwnd_)) ::DestroyWindow(hwnd_);
    }
    bool CreateView(CMainFrame& frame) override {
        hwnd_ = ::CreateWindowExA(WS_EX_CLIENTEDGE, "STATIC", "", WS_CHILD, 0, 0, 0, 0, frame.Handle(),
                                  nullptr, winui::App::Instance(), nullptr);
        return hwnd_ != nullptr;
    }
    HWND ViewWindow() const override { return hwnd_; }
    void OnInitialUpdate() override {}
    bool OnCommand(int) override { return false; }

private:
    HWND hwnd_ = nullptr;
};
}  // namespace

std::unique_ptr<CZmView> CreateZmView() { return std::make_unique<CPlaceholderView>(); }
