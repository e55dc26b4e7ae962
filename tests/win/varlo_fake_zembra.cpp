// Stand-in for the main program in the shell extension's tests: appends the command line it was
// started with, as one line, to "launches.txt" beside itself, and exits.
#include <windows.h>

#include <cstring>
#include <string>

int main() {
    char self[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, self, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return 2;
    std::string log(self, length);
    log.erase(log.find_last_of('\\') + 1);
    log += "launches.txt";
    // One write of a whole line, appended, so that a reader never sees half a record.
    std::string record = GetCommandLineA();
    record += "\r\n";
    HANDLE file = CreateFileA(log.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 3;
    DWORD written = 0;
    BOOL ok = WriteFile(file, record.data(), static_cast<DWORD>(record.size()), &written, nullptr);
    CloseHandle(file);
    return ok && written == record.size() ? 0 : 4;
}
