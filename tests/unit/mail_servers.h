// Test servers for the mailer: the python SMTP sink and scripted peers under tests/mail,
// started on 127.0.0.1 with an ephemeral port and stopped when the object goes.
#pragma once

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "fakes/test_files.h"

extern char** environ;

namespace mail_test {

inline std::string SourceDir() {
    const char* dir = std::getenv("ZEMBRA_SOURCE_DIR");
    return dir ? dir : ZEMBRA_SOURCE_DIR_FALLBACK;
}

inline bool FileExists(const std::string& path) { return access(path.c_str(), F_OK) == 0; }

// Runs a python helper as a child process; waits (bounded) for the port it chose.
class PythonServer {
public:
    PythonServer(const std::string& script, std::vector<std::string> args, const std::string& portFile) {
        std::vector<std::string> argv = {"/usr/bin/python3", SourceDir() + "/tests/mail/" + script};
        argv.insert(argv.end(), args.begin(), args.end());
        std::vector<char*> raw;
        for (auto& a : argv) raw.push_back(&a[0]);
        raw.push_back(nullptr);
        if (posix_spawn(&pid_, raw[0], nullptr, nullptr, raw.data(), environ) != 0) pid_ = 0;
        for (int i = 0; i < 400 && pid_ && !FileExists(portFile); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(25));
        port = std::atoi(ReadWholeFile(portFile).c_str());
    }
    ~PythonServer() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
    }
    PythonServer(const PythonServer&) = delete;
    PythonServer& operator=(const PythonServer&) = delete;

    int port = 0;

private:
    pid_t pid_ = 0;
};

// Runs a command line through the shell; returns its exit status.
inline int Run(const std::string& command) { return std::system(command.c_str()); }

// What Python's email package makes of a stored message (tests/mail/read_mail.py).
inline std::map<std::string, std::string> Inspect(const std::string& eml, const std::string& outDir) {
    std::string out = outDir + "/inspect.txt";
    Run("mkdir -p '" + outDir + "'");
    Run("/usr/bin/python3 " + SourceDir() + "/tests/mail/read_mail.py '" + eml + "' '" + outDir +
        "' > '" + out + "'");
    std::map<std::string, std::string> fields;
    std::istringstream lines(ReadWholeFile(out));
    std::string line;
    while (std::getline(lines, line)) {
        size_t eq = line.find('=');
        if (eq == std::string::npos) continue;
        std::string value, raw = line.substr(eq + 1);
        for (size_t i = 0; i < raw.size(); ++i) {
            if (raw[i] == '\\' && i + 1 < raw.size()) {
                char c = raw[++i];
                value += c == 'r' ? '\r' : c == 'n' ? '\n' : c;
            } else {
                value += raw[i];
            }
        }
        fields[line.substr(0, eq)] = value;
    }
    return fields;
}

}  // namespace mail_test
