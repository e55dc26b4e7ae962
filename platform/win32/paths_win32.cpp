// Win32 side of the path edge: the system's own full-path rules.
#include <windows.h>

#include "platform/paths.h"

#include <string>

std::string FullWindowsPath(const std::string& userPath) {
    char buffer[MAX_PATH * 4];
    DWORD n = GetFullPathNameA(userPath.c_str(), sizeof buffer, buffer, nullptr);
    if (n == 0 || n >= sizeof buffer) return std::string();
    return std::string(buffer, n);
}

std::string UserPath(const std::string& windowsPath) { return windowsPath; }

std::string UserText(const std::string& setText) { return setText; }

bool HiddenMeansDotName() { return false; }

bool SelectSetCodePage(const std::string& name) {
    std::string digits;
    for (char c : name)
        if (c >= '0' && c <= '9') digits += c;
    return !digits.empty() && std::to_string(GetACP()) == digits;
}
