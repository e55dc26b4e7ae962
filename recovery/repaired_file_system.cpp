// Reads of rebuilt segments go to the folder they were rebuilt in.
#include "recovery/repaired_file_system.h"

#include "platform/text_case.h"

std::string CRepairedFileSystem::Map(const std::string& path) const {
    if (path.size() <= folder_.size() || !SameTextIgnoringCase(path.substr(0, folder_.size()), folder_)) return path;
    std::string name = path.substr(folder_.size());
    for (const std::string& n : names_)
        if (SameTextIgnoringCase(n, name)) return rebuilt_ + n;
    return path;
}
