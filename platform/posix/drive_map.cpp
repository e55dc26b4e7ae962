// Drive-letter table of the POSIX backend.
#include "platform/posix/drive_map.h"

#include "platform/posix/code_page.h"

#include <cctype>
#include <map>
#include <mutex>

namespace posix_drives {
namespace {

struct Drive {
    std::string folder;  // host folder, no trailing slash ("" for "/")
    DriveType type = DriveType::Fixed;
    std::optional<uint64_t> freeBytes;
};

std::mutex g_mutex;

std::map<char, Drive>& Table() {
    static std::map<char, Drive> table{{'Z', Drive{"", DriveType::Fixed, std::nullopt}}};
    return table;
}

std::string Trim(const std::string& folder) {
    std::string f = folder;
    while (!f.empty() && f.back() == '/') f.pop_back();
    return f;
}

}  // namespace

void Map(char letter, const std::string& hostFolder, DriveType type) {
    std::lock_guard<std::mutex> lock(g_mutex);
    Table()[static_cast<char>(std::toupper(static_cast<unsigned char>(letter)))] =
        Drive{Trim(hostFolder), type, std::nullopt};
}

void Unmap(char letter) {
    std::lock_guard<std::mutex> lock(g_mutex);
    Table().erase(static_cast<char>(std::toupper(static_cast<unsigned char>(letter))));
}

void SetFreeBytes(char letter, std::optional<uint64_t> bytes) {
    std::lock_guard<std::mutex> lock(g_mutex);
    auto it = Table().find(static_cast<char>(std::toupper(static_cast<unsigned char>(letter))));
    if (it != Table().end()) it->second.freeBytes = bytes;
}

void Reset() {
    std::lock_guard<std::mutex> lock(g_mutex);
    Table().clear();
    Table()['Z'] = Drive{"", DriveType::Fixed, std::nullopt};
}

DriveType TypeOf(char letter) {
    std::lock_guard<std::mutex> lock(g_mutex);
    auto it = Table().find(static_cast<char>(std::toupper(static_cast<unsigned char>(letter))));
    return it == Table().end() ? DriveType::NoRootDir : it->second.type;
}

bool ScriptedFree(char letter, uint64_t& bytes) {
    std::lock_guard<std::mutex> lock(g_mutex);
    auto it = Table().find(static_cast<char>(std::toupper(static_cast<unsigned char>(letter))));
    if (it == Table().end() || !it->second.freeBytes) return false;
    bytes = *it->second.freeBytes;
    return true;
}

std::string ToHost(const std::string& windowsPath) {
    if (windowsPath.size() < 2 || windowsPath[1] != ':') return std::string();
    std::string folder;
    {
        std::lock_guard<std::mutex> lock(g_mutex);
        auto it = Table().find(static_cast<char>(std::toupper(static_cast<unsigned char>(windowsPath[0]))));
        if (it == Table().end()) return std::string();
        folder = it->second.folder;
    }
    std::string rest = code_page::ToUtf8(windowsPath.substr(2));
    for (char& c : rest)
        if (c == '\\') c = '/';
    if (rest.empty() || rest[0] != '/') rest.insert(rest.begin(), '/');
    std::string host = folder + rest;
    return host;
}

std::string ToWindows(const std::string& hostPath) {
    std::lock_guard<std::mutex> lock(g_mutex);
    char best = 0;
    size_t bestLength = 0;
    for (const auto& [letter, drive] : Table()) {
        const std::string& f = drive.folder;
        bool inside = f.empty() ? (!hostPath.empty() && hostPath[0] == '/')
                                : (hostPath.compare(0, f.size(), f) == 0 &&
                                   (hostPath.size() == f.size() || hostPath[f.size()] == '/'));
        if (inside && (best == 0 || f.size() > bestLength)) {
            best = letter;
            bestLength = f.size();
        }
    }
    if (best == 0) return std::string();
    // A host name holding a backslash, or a character the set's code page lacks, has no
    // Windows spelling that leads back to it.
    std::string rest;
    if (hostPath.find('\\', bestLength) != std::string::npos ||
        !code_page::FromUtf8(hostPath.substr(bestLength), rest))
        return std::string();
    for (char& c : rest)
        if (c == '/') c = '\\';
    if (rest.empty()) rest = "\\";
    return std::string(1, best) + ":" + rest;
}

}  // namespace posix_drives
