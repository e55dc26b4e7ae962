// Button: push buttons, check boxes and radio buttons.
#pragma once

#include "winui/window.h"

namespace winui {

class Button : public Window {
public:
    using Window::Window;
    int GetCheck() const { return static_cast<int>(Send(BM_GETCHECK)); }
    void SetCheck(int state) { Send(BM_SETCHECK, static_cast<WPARAM>(state)); }
    void Click() { Send(BM_CLICK); }
};

}  // namespace winui
