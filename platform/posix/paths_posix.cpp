// POSIX side of the path edge: lexical absolute path, then the drive-letter mapping.
#include <unistd.h>

#include <climits>
#include <vector>

#include "platform/paths.h"
#include "platform/posix/code_page.h"
#include "platform/posix/drive_map.h"

std::string FullWindowsPath(const std::string& userPath) {
    std::string path = userPath;
    if (path.empty() || path[0] != '/') {
        char cwd[PATH_MAX];
        if (!::getcwd(cwd, sizeof cwd)) return std::string();
        path = std::string(cwd) + "/" + path;
    }
    // Resolve "." and ".." lexically, as GetFullPathName does on Windows.
    std::vector<std::string> parts;
    size_t i = 0;
    while (i <= path.size()) {
        size_t j = path.find('/', i);
        if (j == std::string::npos) j = path.size();
        std::string part = path.substr(i, j - i);
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        i = j + 1;
    }
    std::string clean;
    for (const std::string& p : parts) clean += "/" + p;
    if (clean.empty()) clean = "/";
    std::string windows = posix_drives::ToWindows(clean);
    // A trailing separator the user typed still means "this folder".
    if (!windows.empty() && userPath.size() > 1 && userPath.back() == '/' && windows.back() != '\\')
        windows += '\\';
    return windows;
}

std::string UserPath(const std::string& windowsPath) {
    std::string host = posix_drives::ToHost(windowsPath);
    return host.empty() ? windowsPath : host;
}

std::string UserText(const std::string& setText) { return code_page::ToUtf8(setText); }

bool HiddenMeansDotName() { return true; }

bool SelectSetCodePage(const std::string& name) { return code_page::Select(name); }
