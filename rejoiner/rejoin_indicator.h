// The rejoiner's progress indicator: a text of 1 to 7 ">" characters that grows each step it
// shows. It shows a step once per interval: repainted per step, 20,000 small files cost more
// in repaints (server round trips under Wine) than in copying.
#pragma once

#include <functional>
#include <string>

#include "platform/progress_pacer.h"
#include "rejoiner/rejoin_ui.h"

class CRejoinIndicator : public IRejoinProgress {
public:
    // show receives the text after every step (the dialog puts it into its static text).
    explicit CRejoinIndicator(std::function<void(const std::string&)> show,
                              int intervalMs = CProgressPacer::kDefaultIntervalMs)
        : show_(std::move(show)), pacer_(intervalMs) {}
    void Step() override;

private:
    std::function<void(const std::string&)> show_;
    CProgressPacer pacer_;
    int counter_ = 0;
};
