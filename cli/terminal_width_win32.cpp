// Terminal columns on Windows: the visible width of the console window stderr writes to.
#include <windows.h>

#include "cli/terminal_width.h"

int TerminalColumns() {
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (::GetConsoleScreenBufferInfo(::GetStdHandle(STD_ERROR_HANDLE), &info)) {
        int n = info.srWindow.Right - info.srWindow.Left + 1;
        if (n > 0) return n;
    }
    return 80;
}
