// Cutting characters from both ends of a text (header-only: the core, the programs and the
// backends share it).
#pragma once

#include <string>

// text without any of chars at either end.
inline std::string TrimChars(const std::string& text, const char* chars) {
    size_t first = text.find_first_not_of(chars);
    if (first == std::string::npos) return std::string();
    return text.substr(first, text.find_last_not_of(chars) - first + 1);
}

// What a typed field has always lost: the spaces at its ends. Anything else (a tab, say) is the
// user's own and stays, so a server, an address or a folder is taken as typed.
inline std::string TrimSpaces(const std::string& text) { return TrimChars(text, " "); }

// Spaces, tabs and line ends: for names that become file names or lines of a stored file (a set
// name, a preset's name and location, a profile line), where a tab or line break at either end
// would make a name Windows refuses or split a record in two.
inline std::string TrimWhiteSpace(const std::string& text) { return TrimChars(text, " \t\r\n"); }
