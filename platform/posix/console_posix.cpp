// POSIX terminal tests.
#include <unistd.h>

#include "platform/console.h"

bool StdinIsTerminal() { return ::isatty(0) == 1; }
bool StderrIsTerminal() { return ::isatty(2) == 1; }
