// Drives the rejoin walk from a terminal for the benchmark: a set's first segment and a
// destination folder as host paths; existing files are overwritten.
// usage: rejoin_bench <first segment> <destination folder>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/file_system.h"
#include "platform/posix/drive_map.h"
#include "platform/prompts.h"
#include "rejoiner/segment_reader.h"

namespace {

class LoudPrompts : public IPrompts {
public:
    PromptAnswer Show(const std::string& text, PromptButtons buttons) override {
        std::fprintf(stderr, "rejoin_bench: %s\n", text.c_str());
        return buttons == PromptButtons::Ok ? PromptAnswer::Ok : PromptAnswer::Cancel;
    }
};

class OverwriteAll : public IOverwriteQuestion {
public:
    int Ask(const std::string&) override { return kOverwriteYesToAll; }
};

class NoIndicator : public IRejoinProgress {
public:
    void Step() override {}
};

std::string Absolute(const std::string& hostPath) {
    char* real = ::realpath(hostPath.c_str(), nullptr);
    std::string out = real ? real : hostPath;
    std::free(real);
    return posix_drives::ToWindows(out);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: rejoin_bench <first segment> <destination folder>\n");
        return 2;
    }
    LoudPrompts prompts;
    OverwriteAll overwrite;
    NoIndicator indicator;
    CSegmentReader reader(Absolute(argv[1]), SystemFileSystem(), prompts, overwrite, indicator);
    int result = reader.Rejoin(Absolute(argv[2]) + "\\");
    return result == 1 && !reader.Stopped() ? 0 : 1;
}
