// Progress sink: what a long operation reports, and where it learns of Cancel.
#pragma once

#include <string>

class IProgress {
public:
    virtual ~IProgress() = default;
    virtual void SetRange(int lower, int upper) = 0;
    virtual int SetStep(int step) = 0;
    virtual int SetPos(int pos) = 0;
    virtual void StepIt() = 0;
    virtual void SetText(const std::string& text) = 0;
    virtual void Show() = 0;
    virtual void Hide() = 0;
    // Lets pending window messages run, so a Cancel click is seen.
    virtual void PumpMessages(bool cancelOnEscape) = 0;
    virtual bool Cancelled() const = 0;
};

// For runs without a window (the mailer's engine, the command line, tests that don't care).
class NullProgress : public IProgress {
public:
    void SetRange(int, int) override {}
    int SetStep(int) override { return 1; }
    int SetPos(int) override { return 0; }
    void StepIt() override {}
    void SetText(const std::string&) override {}
    void Show() override {}
    void Hide() override {}
    void PumpMessages(bool) override {}
    bool Cancelled() const override { return false; }
};
