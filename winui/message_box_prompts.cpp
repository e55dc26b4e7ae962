// MessageBoxPrompts: IPrompts over MessageBoxA.
#include "winui/message_box_prompts.h"

#include "winui/app.h"

namespace winui {

UINT MessageBoxPrompts::StyleFor(PromptButtons buttons) {
    switch (buttons) {
    case PromptButtons::YesNo: return MB_YESNO | MB_ICONQUESTION;
    case PromptButtons::OkCancel: return MB_OKCANCEL | MB_ICONEXCLAMATION;
    case PromptButtons::Ok: break;
    }
    return MB_OK | MB_ICONEXCLAMATION;
}

PromptAnswer MessageBoxPrompts::AnswerFor(int result, PromptButtons buttons) {
    switch (result) {
    case IDOK: return PromptAnswer::Ok;
    case IDYES: return PromptAnswer::Yes;
    case IDNO: return PromptAnswer::No;
    case IDCANCEL: return PromptAnswer::Cancel;
    default: break;
    }
    // The box could not be shown: take the answer that changes nothing.
    return buttons == PromptButtons::Ok ? PromptAnswer::Ok
         : buttons == PromptButtons::YesNo ? PromptAnswer::No
                                           : PromptAnswer::Cancel;
}

PromptAnswer MessageBoxPrompts::Show(const std::string& text, PromptButtons buttons) {
    HWND owner = App::OwnerFor(owner_);
    // A hidden owner would hide the box from the task bar and behind other windows.
    if (owner && !::IsWindowVisible(owner)) owner = nullptr;
    UINT style = StyleFor(buttons) | MB_SETFOREGROUND;
    if (!owner) style |= MB_TASKMODAL;  // still blocks the thread's other windows
    int result = ::MessageBoxA(owner, text.c_str(), App::Caption().c_str(), style);
    return AnswerFor(result, buttons);
}

}  // namespace winui
