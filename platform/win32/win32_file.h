// The Win32 backend's open file, and the ANSI-to-wide conversion its callers share.
#pragma once

#include <windows.h>

#include <string>

#include "platform/file_system.h"

inline std::wstring Wide(const std::string& ansi) {
    if (ansi.empty()) return std::wstring();
    int n = MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), &wide[0], n);
    return wide;
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

protected:
    HANDLE handle_;
};
