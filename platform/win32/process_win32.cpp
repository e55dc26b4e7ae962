// Win32 process services.
#include <windows.h>

#include "platform/process.h"

std::string ModulePath() {
    // A path that fills the buffer has been cut (the program may sit deeper than MAX_PATH):
    // ask again with room to spare rather than name another folder.
    std::string buffer(MAX_PATH + 1, '\0');
    for (;;) {
        DWORD n = GetModuleFileNameA(nullptr, &buffer[0], static_cast<DWORD>(buffer.size()));
        if (n == 0) return std::string();
        if (n < buffer.size()) return buffer.substr(0, n);
        if (buffer.size() >= 32768) return std::string();
        buffer.resize(buffer.size() * 2);
    }
}

std::string ModuleFolder() {
    std::string path = ModulePath();
    return path.substr(0, path.find_last_of('\\') + 1);
}

bool StartProcess(const std::string& commandLine, const std::string& workFolder) {
    STARTUPINFOA si;
    GetStartupInfoA(&si);  // the caller's start-up information, as the programs always passed
    PROCESS_INFORMATION pi{};
    std::string line = commandLine;  // CreateProcessA may write into its command line
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr,
                        workFolder.empty() ? nullptr : workFolder.c_str(), &si, &pi))
        return false;
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return true;
}

bool LoadModuleResource(const char* type, int id, std::vector<uint8_t>& bytes) {
    HRSRC res = FindResourceA(nullptr, MAKEINTRESOURCEA(id), type);
    if (!res) return false;
    HGLOBAL data = LoadResource(nullptr, res);
    DWORD size = SizeofResource(nullptr, res);
    const void* p = data ? LockResource(data) : nullptr;
    if (!p) return false;
    bytes.assign(static_cast<const uint8_t*>(p), static_cast<const uint8_t*>(p) + size);
    return true;
}
