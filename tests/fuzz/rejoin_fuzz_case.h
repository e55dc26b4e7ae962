// One fuzz case for the rejoin walk: bytes become a set of up to four segments in a private
// sandbox, the set is rejoined, and the sandbox is checked for anything written outside the
// destination. Shared by the libFuzzer target and the bounded mutation test.
#pragma once

#include <dirent.h>
#include <ftw.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "platform/posix/drive_map.h"
#include "rejoiner/segment_reader.h"

namespace rejoin_fuzz {

class QuietPrompts : public IPrompts {
public:
    PromptAnswer Show(const std::string&, PromptButtons buttons) override {
        ++shown;
        return buttons == PromptButtons::Ok ? PromptAnswer::Ok : PromptAnswer::Cancel;
    }
    int shown = 0;
};

class AlwaysOverwrite : public IOverwriteQuestion {
public:
    int Ask(const std::string&) override { return kOverwriteYes; }
};

class NoSteps : public IRejoinProgress {
public:
    void Step() override {}
};

inline int RemoveOne(const char* path, const struct stat*, int, struct FTW*) { return ::remove(path); }

inline void RemoveTree(const std::string& path) { nftw(path.c_str(), RemoveOne, 16, FTW_DEPTH | FTW_PHYS); }

inline std::set<std::string> Names(const std::string& folder) {
    std::set<std::string> names;
    if (DIR* d = opendir(folder.c_str())) {
        while (dirent* e = readdir(d))
            if (std::strcmp(e->d_name, ".") && std::strcmp(e->d_name, "..")) names.insert(e->d_name);
        closedir(d);
    }
    return names;
}

// What a case found wrong; empty when the case passed.
struct Outcome {
    std::string fault;
    int result = 0;
};

// The sandbox: <root>/s holds the segments (drive S:), <root>/t/out is the destination (T:\out\).
// With bit 6 of the first byte set, the destination already holds links named a, b and c: to a
// folder outside it, to a file outside it, and to a file outside it that does not exist. <root>/v
// holds what they point at, and must be left exactly as it was.
class Sandbox {
public:
    Sandbox() {
        // Memory-backed when the system has it: thousands of cases create and delete folders.
        std::string base = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
        std::string tmpl = base + "/zbfuzzXXXXXX";
        root_ = mkdtemp(&tmpl[0]) ? tmpl : "/tmp/zbfuzz";
    }
    ~Sandbox() { RemoveTree(root_); }

    Outcome Run(const uint8_t* data, size_t size) {
        Outcome outcome;
        RemoveTree(root_ + "/s");
        RemoveTree(root_ + "/t");
        RemoveTree(root_ + "/v");
        mkdir((root_ + "/s").c_str(), 0777);
        mkdir((root_ + "/t").c_str(), 0777);
        mkdir((root_ + "/t/out").c_str(), 0777);
        posix_drives::Reset();
        posix_drives::Map('S', root_ + "/s");
        posix_drives::Map('T', root_ + "/t");

        // Byte 0: segment count (low two bits + 1), in bit 6 the links above and, in bit 7, "no
        // trailer" (the bytes are then the whole first segment). Then a 16-bit cut offset per
        // later segment.
        if (size == 0) return outcome;
        bool links = data[0] & 0x40;
        if (links) {
            mkdir((root_ + "/v").c_str(), 0777);
            mkdir((root_ + "/v/dir").c_str(), 0777);
            if (FILE* f = std::fopen((root_ + "/v/file").c_str(), "wb")) {
                std::fputs("victim", f);
                std::fclose(f);
            }
            if (symlink((root_ + "/v/dir").c_str(), (root_ + "/t/out/a").c_str()) != 0 ||
                symlink((root_ + "/v/file").c_str(), (root_ + "/t/out/b").c_str()) != 0 ||
                symlink((root_ + "/v/none").c_str(), (root_ + "/t/out/c").c_str()) != 0)
                outcome.fault = "links could not be planted";
        }
        size_t count = (data[0] & 3) + 1;
        bool rawFirst = data[0] & 0x80;
        size_t at = 1;
        std::vector<size_t> cuts;
        for (size_t i = 1; i < count && at + 2 <= size; ++i, at += 2) cuts.push_back(data[at] | data[at + 1] << 8);
        std::string stream(reinterpret_cast<const char*>(data) + at, size - at);
        std::set<std::string> written;
        size_t from = 0;
        for (size_t i = 0; i <= cuts.size(); ++i) {
            size_t to = i < cuts.size() ? std::min(stream.size(), from + cuts[i]) : stream.size();
            std::string part = stream.substr(from, to - from);
            from = to;
            std::string name = "set_" + std::to_string(i + 1) + (i == 0 ? ".EXE" : ".SEG");
            if (i == 0 && !rawFirst) part = std::string(16, 'M') + part + std::string("\x10\0\0\0", 4);
            if (FILE* f = std::fopen((root_ + "/s/" + name).c_str(), "wb")) {
                std::fwrite(part.data(), 1, part.size(), f);
                std::fclose(f);
            }
            written.insert(name);
        }

        QuietPrompts prompts;
        AlwaysOverwrite overwrite;
        NoSteps steps;
        {
            CSegmentReader reader("S:\\set_1.EXE", SystemFileSystem(), prompts, overwrite, steps);
            outcome.result = reader.Rejoin("T:\\out\\");
            if (outcome.result != 0 && outcome.result != 1) outcome.fault = "result out of range";
            // One message for a stop, one listing what was not restored; nothing else.
            int expected = (reader.Stopped() ? 1 : 0) + (reader.NotRestored().empty() ? 0 : 1);
            if (prompts.shown != expected) outcome.fault = "messages other than a stop and the list of what was not restored";
        }
        std::set<std::string> top = links ? std::set<std::string>{"s", "t", "v"} : std::set<std::string>{"s", "t"};
        if (Names(root_) != top) outcome.fault = "written beside the sandbox folders";
        if (links) {
            char text[16] = {};
            FILE* f = std::fopen((root_ + "/v/file").c_str(), "rb");
            size_t n = f ? std::fread(text, 1, sizeof text - 1, f) : 0;
            if (f) std::fclose(f);
            if (Names(root_ + "/v") != std::set<std::string>{"dir", "file"} || !Names(root_ + "/v/dir").empty() ||
                std::string(text, n) != "victim")
                outcome.fault = "written through a link in the destination";
        }
        if (Names(root_ + "/t") != std::set<std::string>{"out"}) outcome.fault = "written outside the destination";
        if (Names(root_ + "/s") != written) outcome.fault = "written among the segments";
        posix_drives::Reset();
        return outcome;
    }

private:
    std::string root_;
};

}  // namespace rejoin_fuzz
