// Progress of a command-line run on stderr: one line, redrawn in place and cut to the
// terminal's width: percent, bytes in human units, rate, time left, segment and current file.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>

#include "platform/progress.h"

class TerminalProgress : public IProgress {
public:
    // What one line shows.
    struct Status {
        int percent = -1;  // -1: not known
        uint64_t done = 0, total = 0;
        double seconds = 0;  // since the start
        std::string segment, file;
    };

    // enabled: draw at all (stderr is a terminal); totalBytes: 0 when unknown.
    TerminalProgress(bool enabled, uint64_t totalBytes);
    ~TerminalProgress() override { Finish(); }

    // Tells the segment being written or read, asked at each redraw.
    void SetSegmentSource(std::function<std::string()> source) { segment_ = std::move(source); }

    void SetRange(int, int) override { entryPos_ = 0; }
    int SetStep(int step) override {
        int old = step_;
        step_ = step;
        return old;
    }
    // The split engine sets the position within an entry, in bytes when its step is a block.
    int SetPos(int pos) override;
    // The engines step once per block copied, by the block's size.
    void StepIt() override;
    void SetText(const std::string& text) override;
    void Show() override {}
    void Hide() override {}
    void PumpMessages(bool) override {}
    bool Cancelled() const override { return false; }

    // Whether anything is drawn at all.
    bool Enabled() const { return enabled_; }
    // Counts bytes directly (for engines that report a count rather than steps).
    void AddBytes(uint64_t bytes);
    // Clears the line so that a message or question starts on a line of its own; the next
    // update draws it again.
    void Interrupt();
    // The run succeeded: the line shows all of it before it ends.
    void Complete();
    void Finish();

    // The line for a status, at most width - 1 characters (a full line would wrap).
    static std::string FormatLine(const Status& status, int width);
    // 1234567 -> "1.2 MB" (units of 1000, as sizes are given).
    static std::string HumanBytes(uint64_t bytes);

private:
    void Draw(bool force);

    bool enabled_;
    uint64_t total_;
    uint64_t done_ = 0;
    int step_ = 1;
    int entryPos_ = 0;
    std::string current_;
    std::function<std::string()> segment_;
    std::chrono::steady_clock::time_point start_, lastDraw_;
    size_t drawnWidth_ = 0;
    bool drawn_ = false;
    bool complete_ = false;
};
