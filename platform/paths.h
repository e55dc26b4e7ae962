// Conversions at the edge: paths as a user types them <-> the Windows paths the core speaks.
#pragma once

#include <string>

// An absolute Windows path for what the user typed (relative to the current folder). On POSIX
// the host path is mapped through the drive letters (Z: = "/"). Empty when it cannot be mapped.
std::string FullWindowsPath(const std::string& userPath);

// The path as the user knows it: the host path on POSIX, unchanged on Windows.
std::string UserPath(const std::string& windowsPath);

// Chooses the code page that names in a set are spelt in. On POSIX names are converted between
// UTF-8 and it (Windows-1252 unless chosen); on Windows it is the system's ANSI code page, so
// only that one is accepted. False when the name is not a usable single-byte code page.
bool SelectSetCodePage(const std::string& name);
