// MessageLoop: run loop, pump and the modeless-dialog routing they share.
#include "winui/message_loop.h"

#include <algorithm>
#include <vector>

namespace winui {

namespace {
std::vector<HWND>& Modeless() {
    static std::vector<HWND> list;
    return list;
}
int g_quitCode = 0;
HWND g_accelWindow = nullptr;
HACCEL g_accelTable = nullptr;
MessageLoop::PreTranslateHook g_preTranslate = nullptr;

void Dispatch(MSG& msg) {
    if (g_preTranslate && g_preTranslate(msg)) return;
    if (g_accelTable && ::IsWindow(g_accelWindow) &&
        ::TranslateAcceleratorA(g_accelWindow, g_accelTable, &msg))
        return;
    for (HWND dialog : Modeless())
        if (::IsWindow(dialog) && ::IsDialogMessageA(dialog, &msg)) return;
    ::TranslateMessage(&msg);
    ::DispatchMessageA(&msg);
}
}  // namespace

int MessageLoop::Run() {
    while (PumpMessage()) {
    }
    return g_quitCode;
}

bool MessageLoop::PumpMessage() {
    MSG msg;
    BOOL got = ::GetMessageA(&msg, nullptr, 0, 0);
    if (got == 0 || got == -1) {
        g_quitCode = got == 0 ? static_cast<int>(msg.wParam) : -1;
        return false;
    }
    Dispatch(msg);
    return true;
}

bool MessageLoop::PumpPending() {
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            g_quitCode = static_cast<int>(msg.wParam);
            ::PostQuitMessage(g_quitCode);
            return false;
        }
        Dispatch(msg);
    }
    return true;
}

int MessageLoop::QuitCode() { return g_quitCode; }

void MessageLoop::SetPreTranslate(PreTranslateHook hook) { g_preTranslate = hook; }

void MessageLoop::SetAccelerators(HWND window, HACCEL table) {
    g_accelWindow = window;
    g_accelTable = table;
}

void MessageLoop::AddModeless(HWND dialog) {
    auto& list = Modeless();
    if (std::find(list.begin(), list.end(), dialog) == list.end()) list.push_back(dialog);
}

void MessageLoop::RemoveModeless(HWND dialog) {
    auto& list = Modeless();
    list.erase(std::remove(list.begin(), list.end(), dialog), list.end());
}

}  // namespace winui
