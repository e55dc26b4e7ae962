// Folder paths as text (header-only, shared like text_trim.h).
#pragma once

#include <string>

// folder with a backslash added, unless it is empty (no folder chosen) or already ends with one.
inline std::string WithBackslash(const std::string& folder) {
    return folder.empty() || folder.back() == '\\' ? folder : folder + "\\";
}
