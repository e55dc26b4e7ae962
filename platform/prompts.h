// User prompts: every message and question the core shows goes through here.
#pragma once

#include <string>

enum class PromptButtons { Ok, OkCancel, YesNo };
enum class PromptAnswer { Ok, Cancel, Yes, No };

class IPrompts {
public:
    virtual ~IPrompts() = default;
    virtual PromptAnswer Show(const std::string& text, PromptButtons buttons) = 0;

    void Message(const std::string& text) { Show(text, PromptButtons::Ok); }
    bool AskYesNo(const std::string& text) { return Show(text, PromptButtons::YesNo) == PromptAnswer::Yes; }
    bool AskOkCancel(const std::string& text) { return Show(text, PromptButtons::OkCancel) == PromptAnswer::Ok; }
};
