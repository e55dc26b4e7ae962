// The folder tree's rules.
#include "model/tree_rules.h"

namespace tree_rules {

bool MayProbeForSubfolders(const std::string& path, DriveType type) {
    bool onDrive = path.size() > 3 && path[1] == ':' && path[2] == '\\';
    return onDrive && (type == DriveType::Fixed || type == DriveType::RamDisk);
}

}  // namespace tree_rules
