// Drive letters on POSIX, as Wine shows them: Z: is the host root unless mapped otherwise.
// Tests map letters to temporary folders, mark them removable and script their free space.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/file_system.h"

namespace posix_drives {

// Maps letter to a host folder (no trailing slash needed). type defaults to Fixed.
void Map(char letter, const std::string& hostFolder, DriveType type = DriveType::Fixed);
void Unmap(char letter);
// Scripted free space for the drive; std::nullopt returns to the real figure.
void SetFreeBytes(char letter, std::optional<uint64_t> bytes);
// Restores the default: only Z: mapped, to "/".
void Reset();

// "Z:\tmp\a.txt" -> "/tmp/a.txt". Empty when the letter is not mapped or the path has no drive.
std::string ToHost(const std::string& windowsPath);
// Both convert names between UTF-8 and the set's code page (platform/posix/code_page.h).
// "/tmp/a.txt" -> "Z:\tmp\a.txt", preferring the longest mapped folder that holds the path.
// Empty when no letter maps it, or a name in it cannot be spelt exactly (a backslash, or a
// character the code page lacks).
std::string ToWindows(const std::string& hostPath);

}  // namespace posix_drives
