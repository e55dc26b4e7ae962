// Names on POSIX are UTF-8; in a split set they are single bytes of a Windows code page.
// Conversions are exact both ways: a name that cannot be spelt is refused, never approximated.
#pragma once

#include <string>

namespace code_page {

// Chooses the set's code page: "1252", "CP1250", "windows-1251" and the like. Only single-byte
// code pages are accepted (a multi-byte one could hide a backslash in a trail byte). False
// leaves the current one in place. Windows-1252 until chosen otherwise.
bool Select(const std::string& name);
// The chosen code page, as "CP1252".
std::string Current();

// Code-page bytes to UTF-8. Bytes the code page leaves undefined become the code points of
// the same value, as Windows converts them.
std::string ToUtf8(const std::string& bytes);
// UTF-8 to code-page bytes. False when a character has no byte of its own or the text is not
// valid UTF-8; out then holds '?' for each such character, for messages.
bool FromUtf8(const std::string& utf8, std::string& out);

}  // namespace code_page
