// Progress of making or using recovery volumes: a stage's share done on the window's bar (in
// thousandths), reported at the pacer's rate rather than per slice, and the user's Cancel.
#pragma once

#include <cstdint>
#include <string>

#include "platform/progress.h"
#include "platform/progress_pacer.h"

class CRecoveryProgress {
public:
    // sink may be null: nothing shown, never cancelled.
    explicit CRecoveryProgress(IProgress* sink = nullptr) : sink_(sink) {}
    void SetSink(IProgress* sink) { sink_ = sink; }

    // A stage of total units (bytes read or worked on), shown with text.
    void Begin(const std::string& text, uint64_t total);
    // units more done. False once the user has cancelled.
    bool Advance(uint64_t units);
    // The stage is done: the bar shows all of it.
    void End();
    bool Cancelled() const { return cancelled_; }

private:
    IProgress* sink_;
    CProgressPacer pacer_;
    uint64_t total_ = 0, done_ = 0;
    bool cancelled_ = false;
};
