// The shell dialogs' rules.
#include "model/shell_rules.h"

#include "platform/file_system.h"
#include "platform/text_trim.h"

namespace {
bool IsFolder(const std::string& path, IFileSystem& files) {
    uint32_t attributes = 0;
    return !path.empty() && files.GetAttributes(path, attributes) && (attributes & kAttrFolder);
}
}  // namespace

std::string CheckOptions(bool emailMode, std::string& first, IFileSystem& files) {
    first = TrimSpaces(first);
    if (first.empty()) return "No Mail server name entered.";
    if (!emailMode && !IsFolder(first, files)) return "The directory does not exists.";
    return std::string();
}

std::string FolderOfDummyPath(const std::string& path) {
    size_t slash = path.rfind('\\');
    return slash == std::string::npos ? path : path.substr(0, slash);
}

std::string NewFolderPath(const std::string& folder, const std::string& name) {
    std::string path = folder;
    if (path.empty() || path.back() != '\\') path += '\\';
    return path + name;
}

bool MakeNewFolder(const std::string& path, IFileSystem& files) {
    if (IsFolder(path, files)) return true;
    files.MakeFolder(path);
    return IsFolder(path, files);
}
