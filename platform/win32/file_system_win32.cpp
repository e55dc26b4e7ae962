// Win32 backend of the file services (ANSI calls, as the whole suite uses).
#include <windows.h>

#include "platform/file_copy.h"
#include "platform/file_system.h"

namespace {

bool EndsWithSeparator(const std::string& p) {
    return !p.empty() && (p.back() == '\\' || p.back() == '/');
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
            if (got == 0) break;
            done += got;
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
        WIN32_FIND_DATAA fd;
        HANDLE h = FindFirstFileA(path.c_str(), &fd);
        if (h == INVALID_HANDLE_VALUE) return false;
        FindClose(h);
        status.attributes = fd.dwFileAttributes;
        status.size = (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                          ? 0
                          : (static_cast<uint64_t>(fd.nFileSizeHigh) << 32) | fd.nFileSizeLow;
        return true;
    }

    bool GetAttributes(const std::string& path, uint32_t& attributes) override {
        DWORD a = GetFileAttributesA(path.c_str());
        if (a == INVALID_FILE_ATTRIBUTES) return false;
        attributes = a;
        return true;
    }

    bool ListFolder(const std::string& pattern,
                    const std::function<bool(const DirEntry&)>& visit) override {
        WIN32_FIND_DATAA fd;
        HANDLE h = FindFirstFileA(pattern.c_str(), &fd);
        if (h == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_FILE_NOT_FOUND;
        do {
            DirEntry e;
            e.name = fd.cFileName;
            e.attributes = fd.dwFileAttributes;
            e.size = (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                         ? 0
                         : (static_cast<uint64_t>(fd.nFileSizeHigh) << 32) | fd.nFileSizeLow;
            if (!visit(e)) break;
        } while (FindNextFileA(h, &fd));
        FindClose(h);
        return true;
    }

    bool Exists(const std::string& path) override {
        return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
    }
    bool RemoveFile(const std::string& path) override { return ::DeleteFileA(path.c_str()) != 0; }
    bool MakeFolder(const std::string& path) override {
        return CreateDirectoryA(path.c_str(), nullptr) != 0;
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
        HANDLE h = CreateFileA(path.c_str(), access, ShareFlags(share), nullptr, disposition,
                               FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
        if (h == INVALID_HANDLE_VALUE) return nullptr;
        return std::make_unique<Win32File>(h);
    }

    std::string LastErrorText() override {
        DWORD code = GetLastError();
        char* text = nullptr;
        DWORD n = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                     FORMAT_MESSAGE_IGNORE_INSERTS,
                                 nullptr, code, 0, reinterpret_cast<char*>(&text), 0, nullptr);
        std::string result = n ? std::string(text, n) : "Error " + std::to_string(code);
        if (text) LocalFree(text);
        while (!result.empty() && (result.back() == '\n' || result.back() == '\r')) result.pop_back();
        return result;
    }
};

}  // namespace

IFileSystem& SystemFileSystem() {
    static Win32FileSystem fs;
    return fs;
}

// Windows copies whole files only; copies between open files go through the caller's buffer.
int64_t CopyFileData(IFile&, IFile&, size_t) { return 0; }
