// Rules of the folder tree that need no window.
#pragma once

#include <string>

#include "platform/file_system.h"

namespace tree_rules {

// Whether the tree may list a folder to learn if it has subfolders of its own (its expand
// button), rather than take the shell's answer. Only for folders below the root of a fixed or
// RAM drive: a drive root is answered by the shell, and removable, optical, network and unknown
// drives are never touched to draw the tree (an empty diskette or card reader would be slow to
// answer, and on Windows asks for a disk). `path` is the folder's parsing name; `type` is the
// type of the drive its first three characters name.
bool MayProbeForSubfolders(const std::string& path, DriveType type);

}  // namespace tree_rules
