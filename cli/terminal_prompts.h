// The engines' questions asked on a terminal; with no terminal, the safe answer.
#pragma once

#include "platform/prompts.h"

class TerminalPrompts : public IPrompts {
public:
    // yesToAll: every question answered Yes (OK for a diskette prompt) without asking.
    explicit TerminalPrompts(bool yesToAll) : yesToAll_(yesToAll) {}
    PromptAnswer Show(const std::string& text, PromptButtons buttons) override;

    // True once any message or question has been shown (the reason for a failure).
    bool AnythingShown() const { return shown_; }

private:
    bool yesToAll_;
    bool shown_ = false;
};
