// ProgressBar: the common-control progress bar with 32-bit ranges.
#pragma once

#include <commctrl.h>

#include "winui/window.h"

namespace winui {

class ProgressBar : public Window {
public:
    using Window::Window;
    void SetRange32(int lower, int upper) { Send(PBM_SETRANGE32, static_cast<WPARAM>(lower), upper); }
    int SetPos(int pos) { return static_cast<int>(Send(PBM_SETPOS, static_cast<WPARAM>(pos))); }
    int GetPos() const { return static_cast<int>(Send(PBM_GETPOS)); }
    int SetStep(int step) { return static_cast<int>(Send(PBM_SETSTEP, static_cast<WPARAM>(step))); }
    int StepIt() { return static_cast<int>(Send(PBM_STEPIT)); }
    void GetRange(int& lower, int& upper) const {
        PBRANGE r{};
        Send(PBM_GETRANGE, TRUE, reinterpret_cast<LPARAM>(&r));
        lower = r.iLow;
        upper = r.iHigh;
    }
};

}  // namespace winui
