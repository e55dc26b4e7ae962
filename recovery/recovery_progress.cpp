// Paced progress of the recovery stages.
#include "recovery/recovery_progress.h"

#include <algorithm>

void CRecoveryProgress::Begin(const std::string& text, uint64_t total) {
    total_ = total;
    done_ = 0;
    cancelled_ = false;
    if (!sink_) return;
    sink_->SetRange(0, 1000);
    sink_->SetText(text);
    sink_->SetPos(0);
    sink_->Show();
    pacer_.Reset();
}

bool CRecoveryProgress::Advance(uint64_t units) {
    done_ += units;
    if (!sink_ || cancelled_) return !cancelled_;
    if (pacer_.Due()) {
        uint64_t share = total_ ? std::min<uint64_t>(1000, done_ * 1000 / total_) : 0;
        sink_->SetPos(static_cast<int>(share));
        sink_->PumpMessages(true);
    }
    cancelled_ = sink_->Cancelled();
    return !cancelled_;
}

void CRecoveryProgress::End() {
    if (sink_ && !cancelled_) sink_->SetPos(1000);
}
