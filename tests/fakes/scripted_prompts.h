// Test doubles for the prompts and progress interfaces: record every message, answer from a
// script, and let a test act (swap a diskette, cancel) at the moment a question is asked.
#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/progress.h"
#include "platform/prompts.h"

class ScriptedPrompts : public IPrompts {
public:
    struct Shown {
        std::string text;
        PromptButtons buttons;
    };

    // Queues the answer to the next question; an optional action runs before it is returned.
    ScriptedPrompts& Then(PromptAnswer answer, std::function<void()> action = nullptr) {
        script_.push_back({answer, std::move(action)});
        return *this;
    }

    PromptAnswer Show(const std::string& text, PromptButtons buttons) override {
        shown.push_back({text, buttons});
        if (script_.empty()) return fallback(buttons);
        Step step = std::move(script_.front());
        script_.pop_front();
        if (step.action) step.action();
        return step.answer;
    }

    // Answer when the script has run out: OK for a message, No/Cancel for a question.
    static PromptAnswer DefaultAnswer(PromptButtons b) {
        return b == PromptButtons::Ok ? PromptAnswer::Ok
             : b == PromptButtons::YesNo ? PromptAnswer::No
                                         : PromptAnswer::Cancel;
    }

    std::vector<std::string> Texts() const {
        std::vector<std::string> t;
        for (const auto& s : shown) t.push_back(s.text);
        return t;
    }
    size_t Pending() const { return script_.size(); }

    std::vector<Shown> shown;
    std::function<PromptAnswer(PromptButtons)> fallback = DefaultAnswer;

private:
    struct Step {
        PromptAnswer answer;
        std::function<void()> action;
    };
    std::deque<Step> script_;
};

// Records what a run reports; cancels after a given number of pumps when asked to.
class RecordingProgress : public IProgress {
public:
    void SetRange(int lower, int upper) override { ranges.push_back({lower, upper}); }
    int SetStep(int s) override {
        int old = step;
        step = s;
        return old;
    }
    int SetPos(int p) override {
        int old = pos;
        pos = p;
        visible = true;
        return old;
    }
    void StepIt() override { SetPos(pos + step); ++steps; }
    void SetText(const std::string& t) override { texts.push_back(t); }
    void Show() override { visible = true; }
    void Hide() override { visible = false; ++hides; }
    void PumpMessages(bool) override {
        ++pumps;
        if (cancelAfterPumps >= 0 && pumps >= cancelAfterPumps) cancelled = true;
    }
    bool Cancelled() const override { return cancelled; }

    std::vector<std::pair<int, int>> ranges;
    std::vector<std::string> texts;
    int step = 1, pos = 0, steps = 0, pumps = 0, hides = 0;
    int cancelAfterPumps = -1;
    bool visible = false, cancelled = false;
};
