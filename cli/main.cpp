// zembra-cli: split, rejoin and list split sets from a terminal.
#include <cstdio>
#include <string>
#include <vector>

#include "cli/cli_options.h"
#include "cli/commands.h"

#ifndef ZEMBRA_VERSION
#define ZEMBRA_VERSION "0"
#endif

int ReportFailure(const std::string& text) {
    std::fprintf(stderr, "zembra-cli: %s\n", text.c_str());
    return 1;
}

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    CliOptions options = ParseCommandLine(args);
    if (!options.error.empty()) {
        std::fprintf(stderr, "zembra-cli: %s\n%s", options.error.c_str(), kCliUsage);
        return 2;
    }
    switch (options.command) {
        case CliCommand::Help: std::fputs(kCliUsage, stdout); return 0;
        case CliCommand::Version: std::printf("zembra-cli %s\n", ZEMBRA_VERSION); return 0;
        case CliCommand::Split: return RunSplit(options);
        case CliCommand::Rejoin: return RunRejoin(options);
        case CliCommand::List: return RunList(options);
        case CliCommand::None: break;
    }
    std::fputs(kCliUsage, stderr);
    return 2;
}
