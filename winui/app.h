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

    // Caption of the program's message boxes.
    static const std::string& Caption();
    static void SetCaption(const std::string& caption);

    // Loads the common controls (progress bar and the like); safe to call more than once.
    static void InitCommonControls();
};

}  // namespace winui
