// Terminal columns on POSIX: the window size of stderr, else $COLUMNS.
#include <sys/ioctl.h>
#include <unistd.h>

#include <cstdlib>

#include "cli/terminal_width.h"

int TerminalColumns() {
    winsize ws{};
    if (::ioctl(STDERR_FILENO, TIOCGWINSZ, &ws) == 0 && ws.ws_col > 0) return ws.ws_col;
    const char* columns = std::getenv("COLUMNS");
    int n = columns ? std::atoi(columns) : 0;
    return n > 0 ? n : 80;
}
