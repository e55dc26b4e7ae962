// Draws one status line, redrawn in place only when the percent or the file changes.
#include "cli/terminal_progress.h"

#include <cstdio>

void TerminalProgress::StepIt() { AddBytes(step_ > 1 ? static_cast<uint64_t>(step_) : 0); }

void TerminalProgress::AddBytes(uint64_t bytes) {
    done_ += bytes;
    Draw(false);
}

void TerminalProgress::SetText(const std::string& text) {
    current_ = text;
    Draw(true);
}

void TerminalProgress::Draw(bool force) {
    if (!enabled_) return;
    // The totals are estimates (block steps, record headers): never past 100%, and 100% only
    // once the run is known to have completed.
    uint64_t shown = total_ && done_ > total_ ? total_ : done_;
    int percent = complete_ ? 100 : total_ ? static_cast<int>(shown * 100 / total_) : 0;
    if (percent == 100 && !complete_) percent = 99;
    if (!force && percent == lastPercent_) return;
    lastPercent_ = percent;
    std::string file = current_;
    if (file.size() > 50) file = "..." + file.substr(file.size() - 47);
    std::fprintf(stderr, "\r%3d%% %12llu bytes  %-50s", percent, static_cast<unsigned long long>(shown),
                 file.c_str());
    std::fflush(stderr);
    drawn_ = true;
}

void TerminalProgress::Complete() {
    complete_ = true;
    Draw(true);
    Finish();
}

void TerminalProgress::Finish() {
    if (drawn_) {
        std::fprintf(stderr, "\n");
        drawn_ = false;
    }
}
