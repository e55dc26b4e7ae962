// The recovery stages (checking, rebuilding, making volumes) on the terminal's progress line.
// The stages report thousandths of their work; the line shows that share of the set's bytes,
// with the rate and the time left, one line per stage.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "cli/terminal_progress.h"

class RecoveryLine : public IProgress {
public:
    // setBytes: asked when a stage begins (the set may only then be known).
    RecoveryLine(bool draw, std::function<uint64_t()> setBytes) : draw_(draw), setBytes_(std::move(setBytes)) {}
    ~RecoveryLine() override { Finish(); }

    void SetRange(int lower, int upper) override;
    int SetStep(int) override { return 1; }
    int SetPos(int pos) override;
    void StepIt() override {}
    void SetText(const std::string& text) override;
    void Show() override {}
    void Hide() override {}
    void PumpMessages(bool) override {}
    bool Cancelled() const override { return false; }
    // Ends the line of the last stage, as far as it got.
    void Finish();

private:
    bool draw_;
    std::function<uint64_t()> setBytes_;
    std::unique_ptr<TerminalProgress> line_;
    uint64_t total_ = 0, shown_ = 0;
    int upper_ = 1000;
};
