// Naming rules of the project commands: New's next free set name (Save As trims with TrimWhiteSpace).
#pragma once

#include <string>

#include "platform/file_system.h"

namespace project_names {

// Numbers below this are tried for a new set name; past it the set is "Untitled".
constexpr int kNameLimit = 500;

// New's name: the current name's trailing digits counted on from until folder (with a
// backslash) holds no "<base><n>.spj"; "Untitled" when every number below the limit is taken.
std::string NextSetName(IFileSystem& fs, const std::string& folder, const std::string& current);

}  // namespace project_names
