// The mailer's work folder under %TEMP%.
#include <windows.h>

#include "mailer/mail_work_folder.h"

bool CMailWorkFolder::Create() {
    Remove();
    char temp[MAX_PATH + 1] = {0};
    DWORD n = ::GetTempPathA(sizeof temp, temp);
    if (n == 0 || n > MAX_PATH) return false;
    std::string base = temp;
    if (base.back() != '\\') base += '\\';
    // A name no other run holds: the process id and a counter for names left by a crash.
    for (unsigned i = 0; i < 100; ++i) {
        std::string path = base + kNamePrefix + std::to_string(::GetCurrentProcessId()) + "-" + std::to_string(i);
        if (::CreateDirectoryA(path.c_str(), nullptr)) {
            path_ = path;
            return true;
        }
        if (::GetLastError() != ERROR_ALREADY_EXISTS) return false;
    }
    return false;
}

void CMailWorkFolder::Remove() {
    if (path_.empty()) return;
    // Only files are put here (the set and its listing); the folder is ours alone.
    WIN32_FIND_DATAA found;
    HANDLE h = ::FindFirstFileA((path_ + "\\*").c_str(), &found);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
                std::string file = path_ + "\\" + found.cFileName;
                ::SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL);
                ::DeleteFileA(file.c_str());
            }
        } while (::FindNextFileA(h, &found));
        ::FindClose(h);
    }
    ::RemoveDirectoryA(path_.c_str());
    path_.clear();
}
