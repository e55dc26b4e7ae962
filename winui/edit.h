// Edit: single- and multi-line edit controls.
#pragma once

#include "winui/window.h"

namespace winui {

class Edit : public Window {
public:
    using Window::Window;
    void SetSel(int start, int end) { Send(EM_SETSEL, static_cast<WPARAM>(start), end); }
    void SelectAll() { SetSel(0, -1); }
    void LimitText(int chars) { Send(EM_LIMITTEXT, static_cast<WPARAM>(chars)); }
    void SetReadOnly(bool readOnly) { Send(EM_SETREADONLY, readOnly); }
    void ReplaceSel(const std::string& text) { Send(EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str())); }
};

}  // namespace winui
