// Temporary folders on Windows: a numbered folder under GetTempPath.
#include <windows.h>

#include <string>

#include "recovery/temp_folder.h"

std::string MakeTemporaryFolder() {
    char temp[MAX_PATH + 1];
    DWORD n = ::GetTempPathA(sizeof temp, temp);
    if (n == 0 || n > MAX_PATH) return std::string();
    for (unsigned i = 0; i < 1000; ++i) {
        std::string folder = std::string(temp) + "zembra-repair-" + std::to_string(::GetCurrentProcessId()) + "-" +
                             std::to_string(i);
        if (::CreateDirectoryA(folder.c_str(), nullptr)) return folder + "\\";
        if (::GetLastError() != ERROR_ALREADY_EXISTS) break;
    }
    return std::string();
}

bool RemoveTemporaryFolder(const std::string& folder) {
    std::string path = folder;
    while (path.size() > 3 && path.back() == '\\') path.pop_back();
    return ::RemoveDirectoryA(path.c_str()) != 0;
}
