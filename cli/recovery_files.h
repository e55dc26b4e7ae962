// Recovery volumes written by split, and those of an earlier set of the same name removed.
#pragma once

#include <cstdint>
#include <string>

#include "platform/file_system.h"

// Writes recovery volumes for segments 1..count of the set base in folder; prints what it wrote
// unless quiet, and its progress on stderr when draw. rebuild: segments to cover. False with
// error (nothing of them left behind).
bool WriteSetRecovery(IFileSystem& fs, const std::string& folder, const std::string& base, int count,
                      uint32_t rebuild, bool quiet, bool draw, std::string& error);
// Removes the volumes of an earlier set of that name: they describe other segments.
void RemoveSetRecovery(IFileSystem& fs, const std::string& folder, const std::string& base);
