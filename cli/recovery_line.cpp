// A progress line per recovery stage.
#include "cli/recovery_line.h"

#include <algorithm>

void RecoveryLine::SetRange(int, int upper) {
    Finish();
    total_ = setBytes_ ? setBytes_() : 0;
    shown_ = 0;
    upper_ = upper > 0 ? upper : 1;
    line_ = std::make_unique<TerminalProgress>(draw_, total_);
}

int RecoveryLine::SetPos(int pos) {
    if (!line_ || pos < 0) return 0;
    uint64_t target = total_ * static_cast<uint64_t>(std::min(pos, upper_)) / static_cast<uint64_t>(upper_);
    if (target > shown_) {
        line_->AddBytes(target - shown_);
        shown_ = target;
    }
    if (pos >= upper_) {
        line_->Complete();
        line_.reset();
    }
    return 0;
}

void RecoveryLine::SetText(const std::string& text) {
    if (line_) line_->SetText(text);
}

void RecoveryLine::Finish() {
    if (line_) line_->Finish();
    line_.reset();
}
