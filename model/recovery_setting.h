// Recovery volumes in the main program: the per-user setting (percent of a set's segments the
// volumes rebuild, 0 = none), its line in the status bar, and what the results list shows.
#pragma once

#include <string>
#include <vector>

#include "platform/file_system.h"
#include "platform/settings.h"

namespace recovery_setting {

// HKCU ...\Zembra\Settings "RecoveryPercent".
int Load(ISettings& profile);
bool Save(ISettings& profile, int percent);
// The setting of the user running the program (0 when it cannot be read).
int LoadForUser();
// "" or " (recovery 10%)" after the status text.
std::string StatusSuffix(int percent);
// Segments that percent of count rebuilds (at least one when percent > 0).
int SegmentsFor(int percent, int count);
// The volumes of set name in folder, as lines for the results list ("" when there are none).
std::string ResultsLines(IFileSystem& fs, const std::string& folder, const std::string& name);

}  // namespace recovery_setting
