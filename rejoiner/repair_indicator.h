// The rejoiner's progress while recovery volumes are checked and the set rebuilt: the stage
// and its share in the dialog's progress text, the window kept painted, and Exit (or Escape, or
// the close box) taken as Cancel. Other input waits: the dialog must not start anything else
// while it is busy.
#pragma once

#include <windows.h>

#include <string>

#include "platform/progress.h"

class CRepairIndicator : public IProgress {
public:
    CRepairIndicator(HWND dialog, HWND text, HWND exitButton)
        : dialog_(dialog), text_(text), exit_(exitButton) {}

    void SetRange(int, int upper) override { upper_ = upper > 0 ? upper : 1; }
    int SetStep(int) override { return 1; }
    int SetPos(int pos) override;
    void StepIt() override {}
    // "Checking the set ..." shows as "Checking": the text box is short.
    void SetText(const std::string& text) override { stage_ = text.substr(0, text.find(' ')); }
    void Show() override {}
    void Hide() override;
    void PumpMessages(bool cancelOnEscape) override;
    bool Cancelled() const override { return cancelled_; }
    // Exit reached the dialog some other way (a message sent to it, not input).
    void Cancel() { cancelled_ = true; }

private:
    HWND dialog_, text_, exit_;
    std::string stage_;
    int upper_ = 1000;
    bool cancelled_ = false;
};
