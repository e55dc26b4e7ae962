// The engines' questions asked on a terminal; with no terminal, the safe answer.
#pragma once

#include <functional>
#include <string>

#include "platform/prompts.h"

class TerminalPrompts : public IPrompts {
public:
    // yesToAll: every question answered Yes (OK for a diskette prompt) without asking.
    explicit TerminalPrompts(bool yesToAll) : yesToAll_(yesToAll) {}
    PromptAnswer Show(const std::string& text, PromptButtons buttons) override;

    // True once any message or question has been shown (the reason for a failure).
    bool AnythingShown() const { return shown_; }
    // Runs before anything is printed (a progress line makes way for it).
    void SetBeforeOutput(std::function<void()> action) { beforeOutput_ = std::move(action); }

    // Windows paths in an engine's text as the user knows them (host paths on POSIX): each
    // from its drive letter to the end of its line, where the engines put them.
    static std::string UserPaths(const std::string& text);

private:
    std::function<void()> beforeOutput_;
    bool yesToAll_;
    bool shown_ = false;
};
