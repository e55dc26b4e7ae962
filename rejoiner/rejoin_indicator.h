// The rejoiner's progress indicator: a text of 1 to 7 ">" characters that grows each step.
#pragma once

#include <functional>
#include <string>

#include "rejoiner/rejoin_ui.h"

class CRejoinIndicator : public IRejoinProgress {
public:
    // show receives the text after every step (the dialog puts it into its static text).
    explicit CRejoinIndicator(std::function<void(const std::string&)> show) : show_(std::move(show)) {}
    void Step() override;

private:
    std::function<void(const std::string&)> show_;
    int counter_ = 0;
};
