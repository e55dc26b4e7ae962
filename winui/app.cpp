// App: process-wide values of the window layer.
#include "winui/app.h"

#include <commctrl.h>

#include <algorithm>
#include <vector>

namespace winui {

namespace {
HINSTANCE g_instance = nullptr;
HWND g_mainWindow = nullptr;
// The modal dialogs running on the user-interface thread, innermost last.
std::vector<HWND>& ModalStack() {
    static std::vector<HWND> stack;
    return stack;
}
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

HWND App::OwnerFor(HWND preferred) {
    HWND start = preferred && ::IsWindow(preferred) ? preferred : MainWindow();
    HWND root = start ? ::GetAncestor(start, GA_ROOT) : nullptr;
    if (root && ::IsWindowEnabled(root)) return root;
    // Disabled (a modal dialog runs over it) or gone: the innermost modal dialog the user can
    // reach. One hidden for a while (the wizard's page during its build) cannot own a box that
    // must be seen.
    std::vector<HWND>& stack = ModalStack();
    for (auto it = stack.rbegin(); it != stack.rend(); ++it)
        if (::IsWindow(*it) && ::IsWindowVisible(*it) && ::IsWindowEnabled(*it)) return *it;
    return nullptr;
}

void App::EnterModal(HWND dialog) { ModalStack().push_back(dialog); }

void App::LeaveModal(HWND dialog) {
    std::vector<HWND>& stack = ModalStack();
    stack.erase(std::remove(stack.begin(), stack.end(), dialog), stack.end());
}

const std::string& App::Caption() { return CaptionText(); }
void App::SetCaption(const std::string& caption) { CaptionText() = caption; }

void App::InitCommonControls() {
    static bool done = false;
    if (done) return;
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
    done = ::InitCommonControlsEx(&icc) != FALSE;
}

}  // namespace winui
