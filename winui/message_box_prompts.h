// MessageBoxPrompts: the core's prompts shown as real message boxes with the program's caption.
#pragma once

#include <windows.h>

#include "platform/prompts.h"

namespace winui {

class MessageBoxPrompts : public IPrompts {
public:
    // Each message belongs to App::OwnerFor(owner) at the time it is shown (nullptr: the main
    // window, or the modal dialog running over it).
    explicit MessageBoxPrompts(HWND owner = nullptr) : owner_(owner) {}
    PromptAnswer Show(const std::string& text, PromptButtons buttons) override;

    // Message box flags for a button set: the icon follows the kind of question.
    static UINT StyleFor(PromptButtons buttons);
    static PromptAnswer AnswerFor(int result, PromptButtons buttons);

private:
    HWND owner_;
};

}  // namespace winui
