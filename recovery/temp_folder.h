// A private folder under the system's temporary folder, for segments rebuilt when the set's
// own folder cannot be written.
#pragma once

#include <string>

// A new, empty folder (Windows path ending with a backslash); "" when none could be made.
std::string MakeTemporaryFolder();
// Removes the folder, which must be empty by then.
bool RemoveTemporaryFolder(const std::string& folder);
