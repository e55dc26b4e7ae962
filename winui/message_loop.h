// MessageLoop: the program's run loop and the single-message pump that long operations call
// between steps so the user interface stays alive.
#pragma once

#include <windows.h>

namespace winui {

class MessageLoop {
public:
    // Runs until WM_QUIT; returns its exit code.
    static int Run();
    // Waits for one message and dispatches it (modeless dialogs get their keyboard handling).
    // Returns false when the message was WM_QUIT; QuitCode() then holds its code.
    static bool PumpMessage();
    // Dispatches every message already queued, without waiting. False when WM_QUIT was seen
    // (it is posted again so the run loop still ends).
    static bool PumpPending();
    static int QuitCode();

    // Sees every queued message before the accelerators; true consumes it (nullptr: none).
    using PreTranslateHook = bool (*)(MSG& msg);
    static void SetPreTranslate(PreTranslateHook hook);

    // The main window's accelerator table, translated before anything else (nullptr: none).
    static void SetAccelerators(HWND window, HACCEL table);

    // Modeless dialogs register so that Tab, Enter and Escape work in them.
    static void AddModeless(HWND dialog);
    static void RemoveModeless(HWND dialog);
};

}  // namespace winui
