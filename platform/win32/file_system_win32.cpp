// Win32 backend of the file services. The core speaks ANSI paths; the system is asked with the
// wide calls, and names come back converted without best-fit, so that a name the code page
// cannot spell is never swapped for a look-alike (a fullwidth backslash for a separator).
#include <windows.h>

#include "platform/file_copy.h"
#include "platform/file_system.h"

#include <vector>

namespace {

bool EndsWithSeparator(const std::string& p) {
    return !p.empty() && (p.back() == '\\' || p.back() == '/');
}

std::wstring Wide(const std::string& ansi) {
    if (ansi.empty()) return std::wstring();
    int n = MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), &wide[0], n);
    return wide;
}

// Converts a name from the system; false when the code page has no exact spelling for it (out
// then shows '?' where it has none).
bool Narrow(const wchar_t* wide, std::string& out) {
    out.clear();
    int length = static_cast<int>(wcslen(wide));
    if (length == 0) return true;
    BOOL usedDefault = FALSE;
    int n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, length, nullptr, 0, "?", &usedDefault);
    out.assign(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, length, &out[0], n, "?", &usedDefault);
    // The way back must give the same name, or it does not lead to this entry.
    return !usedDefault && Wide(out) == std::wstring(wide, static_cast<size_t>(length));
}

uint64_t SizeOf(const WIN32_FIND_DATAW& fd) {
    return (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
               ? 0
               : (static_cast<uint64_t>(fd.nFileSizeHigh) << 32) | fd.nFileSizeLow;
}

// Splits "a\b\c" into its names; false when one is empty, "." or "..".
bool SplitRelative(const std::string& relative, std::vector<std::string>& names) {
    size_t start = 0;
    for (;;) {
        size_t sep = relative.find('\\', start);
        std::string name = relative.substr(start, sep == std::string::npos ? std::string::npos : sep - start);
        if (name.empty() || name == "." || name == ".." || name.find('/') != std::string::npos) return false;
        names.push_back(name);
        if (sep == std::string::npos) return true;
        start = sep + 1;
    }
}

DWORD ShareFlags(Share share) {
    switch (share) {
        case Share::DenyNone: return FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
        case Share::DenyWrite: return FILE_SHARE_READ;
        case Share::DenyAll: return 0;
    }
    return 0;
}

class Win32File : public IFile {
public:
    explicit Win32File(HANDLE h) : handle_(h) {}
    ~Win32File() override { Close(); }

    int64_t Read(void* buffer, size_t count) override {
        size_t done = 0;
        while (done < count) {
            DWORD chunk = static_cast<DWORD>(count - done > 0x40000000 ? 0x40000000 : count - done);
            DWORD got = 0;
            if (!ReadFile(handle_, static_cast<char*>(buffer) + done, chunk, &got, nullptr))
                return done ? static_cast<int64_t>(done) : -1;
            done += got;
            if (got < chunk) break;  // a disk file reads short only at its end
        }
        return static_cast<int64_t>(done);
    }
    bool Write(const void* buffer, size_t count) override {
        size_t done = 0;
        while (done < count) {
            DWORD chunk = static_cast<DWORD>(count - done > 0x40000000 ? 0x40000000 : count - done);
            DWORD put = 0;
            if (!WriteFile(handle_, static_cast<const char*>(buffer) + done, chunk, &put, nullptr))
                return false;
            if (put == 0) {
                SetLastError(ERROR_DISK_FULL);
                return false;
            }
            done += put;
        }
        return true;
    }
    bool Seek(uint64_t offset) override {
        LARGE_INTEGER li;
        li.QuadPart = static_cast<LONGLONG>(offset);
        return SetFilePointerEx(handle_, li, nullptr, FILE_BEGIN) != 0;
    }
    bool SeekToEnd() override {
        LARGE_INTEGER zero{};
        return SetFilePointerEx(handle_, zero, nullptr, FILE_END) != 0;
    }
    bool Flush() override { return true; }  // no user-space buffering here
    bool Close() override {
        if (handle_ == INVALID_HANDLE_VALUE) return true;
        BOOL ok = CloseHandle(handle_);
        handle_ = INVALID_HANDLE_VALUE;
        return ok != 0;
    }
    uint64_t Length() override {
        LARGE_INTEGER li;
        return GetFileSizeEx(handle_, &li) ? static_cast<uint64_t>(li.QuadPart) : 0;
    }

private:
    HANDLE handle_;
};

class Win32FileSystem : public IFileSystem {
public:
    bool GetStatus(const std::string& path, FileStatus& status) override {
        // A directory-entry lookup: a root or a trailing separator has no entry.
        if (EndsWithSeparator(path) || path.size() <= 3) {
            SetLastError(ERROR_FILE_NOT_FOUND);
            return false;
        }
        WIN32_FIND_DATAW fd;
        HANDLE h = FindFirstFileW(Wide(path).c_str(), &fd);
        if (h == INVALID_HANDLE_VALUE) return false;
        FindClose(h);
        status.attributes = fd.dwFileAttributes;
        status.size = SizeOf(fd);
        status.written = static_cast<int64_t>((uint64_t(fd.ftLastWriteTime.dwHighDateTime) << 32) |
                                              fd.ftLastWriteTime.dwLowDateTime);
        return true;
    }

    bool GetAttributes(const std::string& path, uint32_t& attributes) override {
        DWORD a = GetFileAttributesW(Wide(path).c_str());
        if (a == INVALID_FILE_ATTRIBUTES) return false;
        attributes = a;
        return true;
    }

    bool ListFolder(const std::string& pattern,
                    const std::function<bool(const DirEntry&)>& visit) override {
        WIN32_FIND_DATAW fd;
        std::wstring wide = Wide(pattern);
        // Without the short names and in larger batches; systems before Windows 7 refuse the
        // flags and are asked the plain way.
        HANDLE h = FindFirstFileExW(wide.c_str(), FindExInfoBasic, &fd, FindExSearchNameMatch, nullptr,
                                    FIND_FIRST_EX_LARGE_FETCH);
        if (h == INVALID_HANDLE_VALUE && GetLastError() == ERROR_INVALID_PARAMETER) h = FindFirstFileW(wide.c_str(), &fd);
        if (h == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_FILE_NOT_FOUND;
        do {
            DirEntry e;
            e.exact = Narrow(fd.cFileName, e.name);
            e.attributes = fd.dwFileAttributes;
            e.size = SizeOf(fd);
            if (!visit(e)) break;
        } while (FindNextFileW(h, &fd));
        FindClose(h);
        return true;
    }

    bool Exists(const std::string& path) override {
        return GetFileAttributesW(Wide(path).c_str()) != INVALID_FILE_ATTRIBUTES;
    }
    bool RemoveFile(const std::string& path) override { return ::DeleteFileW(Wide(path).c_str()) != 0; }
    bool MakeFolder(const std::string& path) override {
        return CreateDirectoryW(Wide(path).c_str(), nullptr) != 0;
    }

    DriveType DriveTypeOf(const std::string& root) override {
        switch (::GetDriveTypeA(root.c_str())) {
            case DRIVE_NO_ROOT_DIR: return DriveType::NoRootDir;
            case DRIVE_REMOVABLE: return DriveType::Removable;
            case DRIVE_FIXED: return DriveType::Fixed;
            case DRIVE_REMOTE: return DriveType::Remote;
            case DRIVE_CDROM: return DriveType::CdRom;
            case DRIVE_RAMDISK: return DriveType::RamDisk;
            default: return DriveType::Unknown;
        }
    }

    bool GetFreeBytes(const std::string& root, uint64_t& bytes) override {
        // Clusters x sectors x bytes, as the volume reports them.
        DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, totalClusters = 0;
        if (!GetDiskFreeSpaceA(root.c_str(), &sectorsPerCluster, &bytesPerSector, &freeClusters,
                               &totalClusters))
            return false;
        bytes = static_cast<uint64_t>(freeClusters) * sectorsPerCluster * bytesPerSector;
        return true;
    }

    std::unique_ptr<IFile> Open(const std::string& path, OpenMode mode, Share share) override {
        DWORD access = 0, disposition = 0;
        switch (mode) {
            case OpenMode::Read: access = GENERIC_READ; disposition = OPEN_EXISTING; break;
            case OpenMode::CreateWrite: access = GENERIC_WRITE; disposition = CREATE_ALWAYS; break;
            case OpenMode::ReadWrite: access = GENERIC_READ | GENERIC_WRITE; disposition = OPEN_EXISTING; break;
        }
        HANDLE h = CreateFileW(Wide(path).c_str(), access, ShareFlags(share), nullptr, disposition,
                               FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
        if (h == INVALID_HANDLE_VALUE) return nullptr;
        // Only disk files: a device or pipe name would read forever or block.
        if (GetFileType(h) != FILE_TYPE_DISK) {
            CloseHandle(h);
            SetLastError(ERROR_INVALID_FUNCTION);
            return nullptr;
        }
        return std::make_unique<Win32File>(h);
    }

    ItemKind ProbeBeneath(const std::string& root, const std::string& relative) override {
        std::string full;
        ItemKind way = WalkBeneath(root, relative, full);
        if (way != ItemKind::Folder) return way;
        DWORD a = GetFileAttributesW(Wide(full).c_str());
        if (a == INVALID_FILE_ATTRIBUTES) return Absent() ? ItemKind::Missing : ItemKind::Unreachable;
        if (a & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DEVICE)) return ItemKind::Other;
        return (a & FILE_ATTRIBUTE_DIRECTORY) ? ItemKind::Folder : ItemKind::File;
    }

    bool MakeFolderBeneath(const std::string& root, const std::string& relative) override {
        std::string full;
        if (!WayIsClear(root, relative, full)) return false;
        if (CreateDirectoryW(Wide(full).c_str(), nullptr)) return true;
        if (GetLastError() != ERROR_ALREADY_EXISTS) return false;
        DWORD a = GetFileAttributesW(Wide(full).c_str());
        if (a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) && !(a & FILE_ATTRIBUTE_REPARSE_POINT))
            return true;
        SetLastError(ERROR_CANT_ACCESS_FILE);
        return false;
    }

    std::unique_ptr<IFile> CreateFileBeneath(const std::string& root, const std::string& relative) override {
        std::string full;
        if (!WayIsClear(root, relative, full)) return nullptr;
        std::wstring wide = Wide(full);
        // A new file, or else the existing one opened as itself (a link is not followed), checked,
        // and only then emptied.
        const DWORD flags = FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN | FILE_FLAG_OPEN_REPARSE_POINT;
        HANDLE h = CreateFileW(wide.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW, flags, nullptr);
        if (h == INVALID_HANDLE_VALUE && GetLastError() == ERROR_FILE_EXISTS) {
            h = CreateFileW(wide.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, flags, nullptr);
            if (h == INVALID_HANDLE_VALUE) return nullptr;
            BY_HANDLE_FILE_INFORMATION info;
            if (!GetFileInformationByHandle(h, &info) || GetFileType(h) != FILE_TYPE_DISK ||
                (info.dwFileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) ||
                !SetEndOfFile(h)) {
                CloseHandle(h);
                SetLastError(ERROR_CANT_ACCESS_FILE);
                return nullptr;
            }
        }
        if (h == INVALID_HANDLE_VALUE) return nullptr;
        return std::make_unique<Win32File>(h);
    }

    std::string LastErrorText() override {
        DWORD code = GetLastError();
        if (code == ERROR_CANT_ACCESS_FILE) return "A link or a file is in the way (links are not followed)";
        char* text = nullptr;
        DWORD n = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                     FORMAT_MESSAGE_IGNORE_INSERTS,
                                 nullptr, code, 0, reinterpret_cast<char*>(&text), 0, nullptr);
        std::string result = n ? std::string(text, n) : "Error " + std::to_string(code);
        if (text) LocalFree(text);
        while (!result.empty() && (result.back() == '\n' || result.back() == '\r')) result.pop_back();
        return result;
    }

private:
    static bool Absent() {
        DWORD e = GetLastError();
        return e == ERROR_FILE_NOT_FOUND || e == ERROR_PATH_NOT_FOUND;
    }

    // Looks at each folder between root and the last name of relative: Folder when all are real
    // folders (full is then the whole path), else what stopped the walk.
    static ItemKind WalkBeneath(const std::string& root, const std::string& relative, std::string& full) {
        std::vector<std::string> names;
        if (!SplitRelative(relative, names)) {
            SetLastError(ERROR_INVALID_NAME);
            return ItemKind::Unreachable;
        }
        full = root;
        if (full.empty() || full.back() != '\\') full += '\\';
        for (size_t i = 0; i + 1 < names.size(); ++i) {
            full += names[i];
            DWORD a = GetFileAttributesW(Wide(full).c_str());
            if (a == INVALID_FILE_ATTRIBUTES) return Absent() ? ItemKind::Missing : ItemKind::Unreachable;
            if (!(a & FILE_ATTRIBUTE_DIRECTORY) || (a & FILE_ATTRIBUTE_REPARSE_POINT)) {
                SetLastError(ERROR_CANT_ACCESS_FILE);
                return ItemKind::Other;
            }
            full += '\\';
        }
        full += names.back();
        return ItemKind::Folder;
    }

    static bool WayIsClear(const std::string& root, const std::string& relative, std::string& full) {
        ItemKind way = WalkBeneath(root, relative, full);
        if (way == ItemKind::Folder) return true;
        if (way == ItemKind::Missing) SetLastError(ERROR_PATH_NOT_FOUND);
        return false;
    }
};

}  // namespace

// The classic limit: the suite's programs do not ask for longer paths.
size_t PathLimit() { return MAX_PATH - 1; }

IFileSystem& SystemFileSystem() {
    static Win32FileSystem fs;
    return fs;
}

// Windows copies whole files only; copies between open files go through the caller's buffer.
int64_t CopyFileData(IFile&, IFile&, size_t) { return 0; }
