// zembra-cli: split, rejoin, list and verify split sets from a terminal.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "cli/cli_options.h"
#include "cli/cli_usage.h"
#include "cli/commands.h"
#include "engine/split_engine.h"
#include "platform/paths.h"
#include "rejoiner/rejoiner_image.h"
#include "zembra_version.h"

int ReportFailure(const std::string& text) {
    std::fprintf(stderr, "zembra-cli: %s\n", text.c_str());
    return 1;
}

namespace {

// The smallest segment the built-in rejoiner allows: the image, its flag and trailer, and
// room for the largest entry record.
uint64_t MinimumSegmentSize() {
    std::vector<uint8_t> image;
    if (!BuiltInRejoinerImage(image) || image.empty()) return 0;
    return std::max<uint64_t>(image.size() + 5, CSplitEngine::kMaxRecord + 1);
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    // Names in a set are spelt in one Windows code page; ZEMBRA_CODEPAGE names another than 1252.
    if (const char* cp = std::getenv("ZEMBRA_CODEPAGE")) {
        if (*cp && !SelectSetCodePage(cp)) {
            std::fprintf(stderr, "zembra-cli: ZEMBRA_CODEPAGE=%s is not a single-byte code page this system knows\n", cp);
            return 2;
        }
    }
    CliOptions options = ParseCommandLine(args);
    if (!options.error.empty()) {
        const char* names[] = {"", "split ", "rejoin ", "list ", "verify ", "", "", "repair "};
        std::fprintf(stderr, "zembra-cli: %s\nTry 'zembra-cli %s--help'.\n", options.error.c_str(),
                     names[static_cast<int>(options.command)]);
        return 2;
    }
    switch (options.command) {
        case CliCommand::Help: std::fputs(Usage(options.helpFor, MinimumSegmentSize()).c_str(), stdout); return 0;
        case CliCommand::Version: std::printf("zembra-cli %s\n", ZEMBRA_VERSION_TEXT); return 0;
        case CliCommand::Split: return RunSplit(options);
        case CliCommand::Rejoin: return RunRejoin(options);
        case CliCommand::List: return RunList(options);
        case CliCommand::Verify: return RunVerify(options);
        case CliCommand::Repair: return RunRepair(options);
        case CliCommand::None: break;
    }
    std::fputs(Usage(CliCommand::None, 0).c_str(), stderr);
    return 2;
}
