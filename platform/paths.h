// Conversions at the edge: paths as a user types them <-> the Windows paths the core speaks.
#pragma once

#include <string>

// An absolute Windows path for what the user typed (relative to the current folder). On POSIX
// the host path is mapped through the drive letters (Z: = "/"). Empty when it cannot be mapped.
std::string FullWindowsPath(const std::string& userPath);

// The path as the user knows it: the host path on POSIX, unchanged on Windows.
std::string UserPath(const std::string& windowsPath);
