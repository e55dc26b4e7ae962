// Path rules of the remblo dialog (folder navigation, its own path, the closing message).
#include "rejoiner/rejoin_paths.h"

#include <cctype>

namespace rejoin_paths {

std::string WithBackslash(const std::string& folder) {
    return !folder.empty() && folder.back() == '\\' ? folder : folder + "\\";
}

std::string ProgramPath(const std::string& modulePath, const std::string& displayName) {
    size_t slash = modulePath.find_last_of('\\');
    std::string path = (slash == std::string::npos ? std::string() : modulePath.substr(0, slash + 1)) + displayName;
    std::string tail = path.size() >= 4 ? path.substr(path.size() - 4) : path;
    for (char& c : tail) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (tail != ".EXE") path += ".EXE";
    return path;
}

bool UpFolder(const std::string& current, std::string& parent) {
    std::string folder = current;
    bool dropped = !folder.empty() && folder.back() == '\\';
    if (dropped) folder.pop_back();
    size_t slash = folder.find_last_of('\\');
    if (slash == std::string::npos) return false;
    parent = folder.substr(0, dropped ? slash + 1 : slash);
    return true;
}

bool IsDriveRoot(const std::string& folder) {
    return (folder.size() == 2 || (folder.size() == 3 && folder[2] == '\\')) && folder[1] == ':';
}

std::string CompletionMessage(bool askFirstDisk, bool stopped, const std::string& programPath,
                              const std::string& destination, const std::string& missingSegment,
                              const std::string& incompleteFile) {
    std::string text;
    if (askFirstDisk) text = "Please insert first diskette of Zembra set.";
    if (stopped) return text;
    if (askFirstDisk) text += "\n\r";
    if (!missingSegment.empty()) {
        text += "The Rejoin is incomplete: the segment " + missingSegment + " of " + programPath + " was not found.";
        if (!incompleteFile.empty()) text += "\n\r" + incompleteFile + " was not restored: the set ends inside it.";
        return text + "\n\rWhat came before it is in " + destination;
    }
    return text + "Zembra has Rejoined " + programPath + "\n\rTo " + destination;
}

}  // namespace rejoin_paths
