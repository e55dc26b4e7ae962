// Win32 backend of the file services. The core speaks ANSI paths; the system is asked with the
// wide calls, and names come back converted without best-fit, so that a name the code page
// cannot spell is never swapped for a look-alike (a fullwidth backslash for a separator).
#include <windows.h>

#include "platform/file_copy.h"
#include "platform/file_system.h"
#include "platform/win32/beneath_win32.h"
#include "platform/win32/win32_file.h"


namespace {

bool EndsWithSeparator(const std::string& p) {
    return !p.empty() && (p.back() == '\\' || p.back() == '/');
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

DWORD ShareFlags(Share share) {
    switch (share) {
        case Share::DenyNone: return FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
        case Share::DenyWrite: return FILE_SHARE_READ;
        case Share::DenyAll: return 0;
    }
    return 0;
}

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

    // Each folder on the way is opened relative to the one before it and the item relative to
    // its folder, so that a folder swapped for a link meanwhile cannot lead anywhere else.
    ItemKind ProbeBeneath(const std::string& root, const std::string& relative) override {
        return beneath_.Probe(root, relative);
    }
    bool MakeFolderBeneath(const std::string& root, const std::string& relative) override {
        return beneath_.MakeFolder(root, relative);
    }
    std::unique_ptr<IFile> CreateFileBeneath(const std::string& root, const std::string& relative) override {
        return beneath_.Create(root, relative);
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
    BeneathWin32 beneath_;
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
