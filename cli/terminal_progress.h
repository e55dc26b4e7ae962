// Progress of a command-line run on stderr: percent of all bytes, bytes so far, current file.
#pragma once

#include <cstdint>
#include <string>

#include "platform/progress.h"

class TerminalProgress : public IProgress {
public:
    // enabled: draw at all (stderr is a terminal); totalBytes: 0 when unknown.
    TerminalProgress(bool enabled, uint64_t totalBytes) : enabled_(enabled), total_(totalBytes) {}
    ~TerminalProgress() override { Finish(); }

    void SetRange(int, int) override {}
    int SetStep(int step) override {
        int old = step_;
        step_ = step;
        return old;
    }
    int SetPos(int pos) override { return pos; }
    // The engines step once per block copied, by the block's size.
    void StepIt() override;
    void SetText(const std::string& text) override;
    void Show() override {}
    void Hide() override {}
    void PumpMessages(bool) override {}
    bool Cancelled() const override { return false; }

    // Counts bytes directly (for engines that report a count rather than steps).
    void AddBytes(uint64_t bytes);
    // The run succeeded: the line shows all of it before it ends.
    void Complete();
    void Finish();

private:
    void Draw(bool force);

    bool enabled_;
    uint64_t total_;
    uint64_t done_ = 0;
    int step_ = 1;
    std::string current_;
    int lastPercent_ = -1;
    bool drawn_ = false;
    bool complete_ = false;
};
