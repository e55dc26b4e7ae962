// Checks an entry name read from a set before it becomes part of a path on this machine.
#pragma once

#include <string>

// Longest name an entry may carry, in bytes (without its terminating NUL).
constexpr size_t kMaxEntryName = 255;

// True when name is one plain component that Windows creates as written, inside its folder:
// not empty, at most kMaxEntryName bytes, no separator, drive or stream colon, wildcard or
// control character, not "." or "..", no trailing dot or space (Windows strips them, so
// ".. " would climb), and no reserved device name (CON, PRN, AUX, NUL, COM1-9, LPT1-9,
// CONIN$, CONOUT$; also with an extension).
bool IsSafeEntryName(const std::string& name);

// The name made fit for a message: control bytes shown as '?', cut to a readable length.
std::string PrintableEntryName(const std::string& name);
