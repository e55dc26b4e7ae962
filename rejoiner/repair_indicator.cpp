// Progress text and a filtered message pump for the rejoiner's repair.
#include "rejoiner/repair_indicator.h"

int CRepairIndicator::SetPos(int pos) {
    int percent = static_cast<int>(static_cast<long long>(pos) * 100 / upper_);
    std::string text = stage_ + " " + std::to_string(percent < 0 ? 0 : percent > 100 ? 100 : percent) + "%";
    ::SetWindowTextA(text_, text.c_str());
    ::UpdateWindow(text_);
    return 0;
}

void CRepairIndicator::Hide() { ::SetWindowTextA(text_, ""); }

void CRepairIndicator::PumpMessages(bool cancelOnEscape) {
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            cancelled_ = true;
            return;
        }
        bool mouse = msg.message >= WM_MOUSEFIRST && msg.message <= WM_MOUSELAST;
        bool key = msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST;
        // Exit clicked, Escape pressed or the close box clicked: the repair stops; nothing
        // reaches the dialog, which would end it under the running repair.
        if ((msg.message == WM_LBUTTONUP && msg.hwnd == exit_) ||
            (cancelOnEscape && msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE) ||
            (msg.message == WM_NCLBUTTONDOWN && msg.wParam == HTCLOSE && msg.hwnd == dialog_)) {
            cancelled_ = true;
            continue;
        }
        if (mouse || key || (msg.message == WM_NCLBUTTONDOWN && msg.wParam == HTCLOSE)) continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
}
