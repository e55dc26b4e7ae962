// App: process-wide values of the window layer.
#include "winui/app.h"

#include <commctrl.h>

namespace winui {

namespace {
HINSTANCE g_instance = nullptr;
HWND g_mainWindow = nullptr;
std::string& CaptionText() {
    static std::string caption = "Zembra";
    return caption;
}
}  // namespace

HINSTANCE App::Instance() { return g_instance ? g_instance : ::GetModuleHandleA(nullptr); }
void App::SetInstance(HINSTANCE instance) { g_instance = instance; }

HWND App::MainWindow() {
    // A destroyed main window must not own the next message box.
    if (g_mainWindow && !::IsWindow(g_mainWindow)) g_mainWindow = nullptr;
    return g_mainWindow;
}
void App::SetMainWindow(HWND hwnd) { g_mainWindow = hwnd; }

const std::string& App::Caption() { return CaptionText(); }
void App::SetCaption(const std::string& caption) { CaptionText() = caption; }

void App::InitCommonControls() {
    static bool done = false;
    if (done) return;
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
    done = ::InitCommonControlsEx(&icc) != FALSE;
}

}  // namespace winui
