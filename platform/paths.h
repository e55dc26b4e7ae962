// Conversions at the edge: paths as a user types them <-> the Windows paths the core speaks.
#pragma once

#include <string>

// An absolute Windows path for what the user typed (relative to the current folder). On POSIX
// the host path is mapped through the drive letters (Z: = "/"). Empty when it cannot be mapped.
std::string FullWindowsPath(const std::string& userPath);

// The path as the user knows it: the host path on POSIX, unchanged on Windows.
std::string UserPath(const std::string& windowsPath);

// A name or path from inside a set as a terminal shows it: UTF-8 on POSIX (names in a set are
// spelt in its code page), unchanged on Windows.
std::string UserText(const std::string& setText);

// True where "hidden" is only a name that begins with a dot (POSIX, where the backend marks
// such names hidden as Wine does), not an attribute the user set.
bool HiddenMeansDotName();

// Chooses the code page that names in a set are spelt in. On POSIX names are converted between
// UTF-8 and it (Windows-1252 unless chosen); on Windows it is the system's ANSI code page, so
// only that one is accepted. False when the name is not a usable single-byte code page.
bool SelectSetCodePage(const std::string& name);
