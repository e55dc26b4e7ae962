// Draws one status line on stderr, at most ten times a second.
#include "cli/terminal_progress.h"

#include <cstdio>

#include "cli/terminal_width.h"

namespace {

std::string Duration(double seconds) {
    long s = static_cast<long>(seconds + 0.5);
    char text[32];
    if (s >= 3600)
        std::snprintf(text, sizeof text, "%ld:%02ld:%02ld", s / 3600, s / 60 % 60, s % 60);
    else
        std::snprintf(text, sizeof text, "%ld:%02ld", s / 60, s % 60);
    return text;
}

}  // namespace

TerminalProgress::TerminalProgress(bool enabled, uint64_t totalBytes)
    : enabled_(enabled), total_(totalBytes), start_(std::chrono::steady_clock::now()) {}

std::string TerminalProgress::HumanBytes(uint64_t bytes) {
    const char* units[] = {"B", "kB", "MB", "GB", "TB"};
    double value = static_cast<double>(bytes);
    int unit = 0;
    while (value >= 1000 && unit < 4) {
        value /= 1000;
        ++unit;
    }
    char text[32];
    if (unit == 0)
        std::snprintf(text, sizeof text, "%llu B", static_cast<unsigned long long>(bytes));
    else
        std::snprintf(text, sizeof text, value < 100 ? "%.1f %s" : "%.0f %s", value, units[unit]);
    return text;
}

std::string TerminalProgress::FormatLine(const Status& s, int width) {
    std::string line;
    if (s.percent >= 0) line += std::to_string(s.percent) + "% ";
    line += HumanBytes(s.done);
    if (s.total) line += "/" + HumanBytes(s.total);
    if (s.seconds >= 1 && s.done) {
        double rate = s.done / s.seconds;
        line += " " + HumanBytes(static_cast<uint64_t>(rate)) + "/s";
        if (s.total > s.done && rate > 0) line += " " + Duration((s.total - s.done) / rate) + " left";
    }
    if (!s.segment.empty()) line += "  " + s.segment;
    size_t limit = width > 1 ? static_cast<size_t>(width - 1) : 0;
    if (line.size() > limit) return line.substr(0, limit);
    // The file takes what is left, its end kept: that is where the name is.
    if (!s.file.empty() && line.size() + 6 < limit) {
        size_t room = limit - line.size() - 2;
        std::string file = s.file;
        if (file.size() > room) file = "..." + file.substr(file.size() - (room - 3));
        line += "  " + file;
    }
    return line;
}

int TerminalProgress::SetPos(int pos) {
    int old = entryPos_;
    if (step_ > 1 && pos > entryPos_) AddBytes(static_cast<uint64_t>(pos - entryPos_));
    entryPos_ = pos;
    return old;
}

void TerminalProgress::StepIt() { AddBytes(step_ > 1 ? static_cast<uint64_t>(step_) : 0); }

void TerminalProgress::AddBytes(uint64_t bytes) {
    done_ += bytes;
    Draw(false);
}

void TerminalProgress::SetText(const std::string& text) {
    current_ = text;
    Draw(false);
}

void TerminalProgress::Draw(bool force) {
    if (!enabled_) return;
    auto now = std::chrono::steady_clock::now();
    if (!force && drawn_ && now - lastDraw_ < std::chrono::milliseconds(100)) return;
    lastDraw_ = now;
    Status s;
    // The totals are estimates (block steps, record headers): never past 100%, and 100% only
    // once the run is known to have completed.
    s.done = total_ && done_ > total_ ? total_ : done_;
    s.total = total_;
    if (total_) s.percent = complete_ ? 100 : static_cast<int>(s.done * 100 / total_);
    if (s.percent == 100 && !complete_) s.percent = 99;
    s.seconds = std::chrono::duration<double>(now - start_).count();
    if (segment_) s.segment = segment_();
    s.file = current_;
    std::string line = FormatLine(s, TerminalColumns());
    // Spaces over what is left of a longer line drawn before.
    std::string pad = drawnWidth_ > line.size() ? std::string(drawnWidth_ - line.size(), ' ') : "";
    std::fprintf(stderr, "\r%s%s", line.c_str(), pad.c_str());
    std::fflush(stderr);
    drawnWidth_ = line.size();
    drawn_ = true;
}

void TerminalProgress::Interrupt() {
    if (!drawn_) return;
    std::fprintf(stderr, "\r%s\r", std::string(drawnWidth_, ' ').c_str());
    std::fflush(stderr);
    drawn_ = false;
    drawnWidth_ = 0;
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
        drawnWidth_ = 0;
    }
}
