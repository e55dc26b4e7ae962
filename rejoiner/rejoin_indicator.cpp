// Cycles 1..7 ">" characters so the user sees the rejoin is alive without a real gauge.
#include "rejoiner/rejoin_indicator.h"

void CRejoinIndicator::Step() {
    static const char kArrows[] = ">>>>>>>>>>>>";
    const int kMost = 7;
    if (!pacer_.Due()) return;
    ++counter_;
    if (show_) show_(std::string(kArrows, static_cast<size_t>(counter_)));
    if (counter_ >= kMost) counter_ = 0;
}
