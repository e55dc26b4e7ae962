// The mailer's command line.
#include "mailer/mailer_command_line.h"

#include <cstdio>
#include <cstdlib>

#include "platform/text_trim.h"

void CMailerCommandLine::Parse(const std::string& line) {
    *this = CMailerCommandLine();
    std::string text = line;
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n')) text.pop_back();
    size_t start = text.find_first_not_of(' ');
    if (start == std::string::npos) return;
    text = text.substr(start);

    size_t space = text.find(' ');
    if (text.substr(0, space) == "&Segmented") {
        if (space == std::string::npos) return;  // no set named: nothing to mail
        // The prefix may hold spaces; only the count after the last space is not part of it.
        std::string rest = text.substr(space);
        while (!rest.empty() && rest.back() == ' ') rest.pop_back();
        size_t last = rest.rfind(' ');
        mode = Mode::Segmented;
        prefix = last == std::string::npos ? std::string() : rest.substr(0, last);
        long n = std::strtol(rest.c_str() + (last == std::string::npos ? 0 : last + 1), nullptr, 10);
        count = n > 0 && n < 100000 ? static_cast<int>(n) : 0;
        if (TrimSpaces(prefix).empty() || count == 0) mode = Mode::Empty;
        return;
    }

    size_t from = 0;
    while (from <= text.size()) {
        size_t star = text.find('*', from);
        if (star == std::string::npos) star = text.size();
        std::string path = TrimSpaces(text.substr(from, star - from));
        if (path.size() >= 2 && path.front() == '"' && path.back() == '"')
            path = path.substr(1, path.size() - 2);
        if (path.size() > kMaxPath) {
            mode = Mode::PathTooLong;
            tooLongPath = path;
            files.clear();
            return;
        }
        if (!path.empty()) files.push_back(path);
        from = star + 1;
    }
    mode = files.empty() ? Mode::Empty : Mode::FileList;
}

std::string CMailerCommandLine::SegmentFileName(const std::string& prefix, int n) {
    std::string name = prefix + "_" + std::to_string(n) + (n == 1 ? ".exe" : ".seg");
    return TrimSpaces(name);
}

std::string CMailerCommandLine::AfterProgramName(const std::string& commandLine) {
    size_t i = 0;
    while (i < commandLine.size() && (commandLine[i] == ' ' || commandLine[i] == '\t')) ++i;
    if (i < commandLine.size() && commandLine[i] == '"') {
        size_t close = commandLine.find('"', i + 1);
        i = close == std::string::npos ? commandLine.size() : close + 1;
    } else {
        while (i < commandLine.size() && commandLine[i] != ' ' && commandLine[i] != '\t') ++i;
    }
    while (i < commandLine.size() && (commandLine[i] == ' ' || commandLine[i] == '\t')) ++i;
    return commandLine.substr(i);
}
