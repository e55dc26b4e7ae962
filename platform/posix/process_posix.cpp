// POSIX process services: the program's own path, starting programs through the shell.
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <climits>

#include "platform/posix/drive_map.h"
#include "platform/process.h"

extern char** environ;

std::string ModulePath() {
    char buffer[PATH_MAX];
    ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n <= 0) return std::string();
    return posix_drives::ToWindows(std::string(buffer, static_cast<size_t>(n)));
}

std::string ModuleFolder() {
    std::string path = ModulePath();
    return path.substr(0, path.find_last_of('\\') + 1);
}

bool StartProcess(const std::string& commandLine, const std::string& workFolder) {
    std::string script = commandLine;
    if (!workFolder.empty()) script = "cd '" + posix_drives::ToHost(workFolder) + "' && " + script;
    const char* argv[] = {"/bin/sh", "-c", script.c_str(), nullptr};
    pid_t pid = 0;
    return posix_spawn(&pid, "/bin/sh", nullptr, nullptr, const_cast<char**>(argv), environ) == 0;
}

bool LoadModuleResource(const char*, int, std::vector<uint8_t>&) { return false; }
