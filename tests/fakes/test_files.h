// File helpers for the tests, one copy for the host and for Wine: whole files, byte patterns, a
// scratch folder, and trees listed or removed through IFileSystem.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>

#include "platform/file_system.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>

#include "platform/posix/drive_map.h"
#endif

// Whole files by the paths the test's own runtime opens: host paths natively, Windows paths
// under Wine.
inline std::string ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// False when the file could not be made or written.
inline bool WriteWholeFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    return static_cast<bool>(out << bytes);
}

// Bytes whose pattern does not repeat at any power-of-two stride, so a piece put back in the wrong
// place or a seam off by one shows as a difference.
inline std::string PatternBytes(size_t size, int seed) {
    std::string b(size, '\0');
    for (size_t i = 0; i < size; ++i) b[i] = static_cast<char>((i * 31 + seed + i / 977) % 256);
    return b;
}

// Every byte value, the high ones first (small files then carry the values that need escaping).
inline std::string DescendingBytes(size_t size) {
    std::string b(size, '\0');
    for (size_t i = 0; i < size; ++i) b[i] = static_cast<char>(255 - i % 256);
    return b;
}

// The contents of a file by a path the file system takes; "" when it can't be read.
inline std::string ReadThrough(IFileSystem& fs, const std::string& path) {
    std::unique_ptr<IFile> file = fs.Open(path, OpenMode::Read, Share::DenyNone);
    if (!file) return std::string();
    std::string bytes(static_cast<size_t>(file->Length()), '\0');
    if (!bytes.empty() && file->Read(&bytes[0], bytes.size()) != static_cast<int64_t>(bytes.size())) return std::string();
    return bytes;
}

// Every file and folder below folder (a path the file system takes): relative path -> contents,
// "<dir>" for folders, levels joined by separator.
inline std::map<std::string, std::string> ListTree(IFileSystem& fs, const std::string& folder, char separator = '\\',
                                                   const std::string& prefix = "") {
    std::map<std::string, std::string> out;
    if (!folder.empty() && folder.back() == '\\') return ListTree(fs, folder.substr(0, folder.size() - 1), separator, prefix);
    fs.ListFolder(folder + "\\*.*", [&](const DirEntry& e) {
        if (e.name == "." || e.name == "..") return true;
        std::string path = folder + "\\" + e.name;
        if (e.attributes & kAttrFolder) {
            out[prefix + e.name] = "<dir>";
            auto inner = ListTree(fs, path, separator, prefix + e.name + separator);
            out.insert(inner.begin(), inner.end());
        } else {
            out[prefix + e.name] = ReadThrough(fs, path);
        }
        return true;
    });
    return out;
}

// Removes folder and everything below it (a path the file system takes); the file system has
// no folder removal of its own, so empty folders go by the system's call.
inline void RemoveTree(IFileSystem& fs, const std::string& folder) {
    fs.ListFolder(folder + "\\*.*", [&](const DirEntry& e) {
        if (e.name == "." || e.name == "..") return true;
        std::string path = folder + "\\" + e.name;
        if (e.attributes & kAttrFolder)
            RemoveTree(fs, path);
        else
            fs.RemoveFile(path);
        return true;
    });
#ifdef _WIN32
    ::RemoveDirectoryA(folder.c_str());
#else
    ::rmdir(posix_drives::ToHost(folder).c_str());
#endif
}

// A new empty folder for one test: a host path natively, a Windows path under Wine.
inline std::string MakeScratchFolder(const std::string& prefix) {
#ifdef _WIN32
    char temp[MAX_PATH];
    ::GetTempPathA(sizeof temp, temp);
    std::string folder = std::string(temp) + prefix + std::to_string(::GetCurrentProcessId());
    RemoveTree(SystemFileSystem(), folder);  // a run that died may have left one
    ::CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
#else
    std::string pattern = "/tmp/" + prefix + "XXXXXX";
    return ::mkdtemp(&pattern[0]) ? pattern : std::string();
#endif
}

#ifdef _WIN32
// The build folder (ZEMBRA_BINARY_DIR, a host path) as Wine shows it, through Z:.
inline std::string BuildFolderFromWine() {
    const char* build = std::getenv("ZEMBRA_BINARY_DIR");
    std::string dir = std::string("Z:") + (build ? build : "");
    for (char& c : dir)
        if (c == '/') c = '\\';
    return dir;
}
#endif
