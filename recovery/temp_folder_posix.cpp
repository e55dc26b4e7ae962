// Temporary folders on POSIX: mkdtemp under $TMPDIR (or /tmp), named through the drive map.
#include <cstdlib>
#include <string>
#include <unistd.h>

#include "recovery/temp_folder.h"
#include "platform/paths.h"

std::string MakeTemporaryFolder() {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/zembra-repair-XXXXXX";
    if (!::mkdtemp(&pattern[0])) return std::string();
    std::string folder = FullWindowsPath(pattern);
    if (folder.empty()) ::rmdir(pattern.c_str());
    return folder.empty() ? folder : folder + "\\";
}

bool RemoveTemporaryFolder(const std::string& folder) {
    std::string host = UserPath(folder);
    while (host.size() > 1 && host.back() == '/') host.pop_back();
    return ::rmdir(host.c_str()) == 0;
}
