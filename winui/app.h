// App: the process-wide values every window of a program shares (instance, main window,
// message-box caption).
#pragma once

#include <windows.h>

#include <string>

namespace winui {

class App {
public:
    // Module whose resources the dialogs and classes use (the program's own by default).
    static HINSTANCE Instance();
    static void SetInstance(HINSTANCE instance);

    // The window that owns message boxes and comes to the front after a Cancel. A dialog
    // program's first dialog takes the role when no other window has it.
    static HWND MainWindow();
    static void SetMainWindow(HWND hwnd);

    // The window a new message box or modal dialog belongs to: the top-level window of
    // `preferred` (the main window when null) while the user can work in it; while a modal
    // dialog runs over it, the innermost such dialog that is shown instead. A box owned by a
    // window that is disabled under a modal dialog would enable it again when it closes, and
    // leave the dialog behind a window the user should not reach. nullptr when no window of
    // the program is shown to own it.
    static HWND OwnerFor(HWND preferred);
    // Kept by Dialog for each modal run, innermost last.
    static void EnterModal(HWND dialog);
    static void LeaveModal(HWND dialog);

    // Caption of the program's message boxes.
    static const std::string& Caption();
    static void SetCaption(const std::string& caption);

    // Loads the common controls (progress bar and the like); safe to call more than once.
    static void InitCommonControls();
};

}  // namespace winui
