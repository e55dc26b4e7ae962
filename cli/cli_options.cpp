// Parsing of zembra-cli's arguments into CliOptions.
#include "cli/cli_options.h"

#include <cctype>
#include <limits>

const char kCliUsage[] =
    "usage:\n"
    "  zembra-cli split [--size SIZE] [--name BASE] [--rejoiner FILE] [--yes] --dest DIR SOURCE...\n"
    "  zembra-cli rejoin [--overwrite ask|all|none] FIRST_SEGMENT DEST\n"
    "  zembra-cli list FIRST_SEGMENT\n"
    "  zembra-cli --help | --version\n"
    "\n"
    "SIZE is in bytes, or with K (x1000) or M (x1,000,000); 0 or absent means autosize\n"
    "(19/20 of the destination's free space). BASE defaults to Kestrin.\n";

bool ParseSize(const std::string& text, uint64_t& bytes) {
    if (text.empty()) return false;
    uint64_t unit = 1;
    std::string digits = text;
    char last = static_cast<char>(std::toupper(static_cast<unsigned char>(text.back())));
    if (last == 'K' || last == 'M') {
        unit = last == 'K' ? 1000 : 1000000;
        digits.pop_back();
    }
    if (digits.empty()) return false;
    uint64_t value = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') return false;
        uint64_t d = static_cast<uint64_t>(c - '0');
        if (value > (std::numeric_limits<uint64_t>::max() - d) / 10) return false;
        value = value * 10 + d;
    }
    if (value > std::numeric_limits<uint64_t>::max() / unit) return false;
    bytes = value * unit;
    return true;
}

namespace {

CliOptions Fail(CliOptions o, const std::string& why) {
    o.error = why;
    return o;
}

}  // namespace

CliOptions ParseCommandLine(const std::vector<std::string>& args) {
    CliOptions o;
    if (args.empty()) return Fail(o, "no command given");
    const std::string& cmd = args[0];
    if (cmd == "--help" || cmd == "-h" || cmd == "help") {
        o.command = CliCommand::Help;
        return o;
    }
    if (cmd == "--version") {
        o.command = CliCommand::Version;
        return o;
    }
    std::vector<std::string> positional;
    bool optionsDone = false;
    auto value = [&](size_t& i, const std::string& flag, std::string& out) {
        if (i + 1 >= args.size()) return false;
        out = args[++i];
        (void)flag;
        return true;
    };
    if (cmd == "split") {
        o.command = CliCommand::Split;
        for (size_t i = 1; i < args.size(); ++i) {
            const std::string& a = args[i];
            std::string v;
            if (optionsDone || a.empty() || a[0] != '-') {
                positional.push_back(a);
            } else if (a == "--") {
                optionsDone = true;
            } else if (a == "--size") {
                if (!value(i, a, v) || !ParseSize(v, o.size)) return Fail(o, "--size takes bytes, or a number with K or M");
            } else if (a == "--name") {
                if (!value(i, a, o.name) || o.name.empty()) return Fail(o, "--name takes a base name");
            } else if (a == "--rejoiner") {
                if (!value(i, a, o.rejoiner)) return Fail(o, "--rejoiner takes a file");
            } else if (a == "--dest") {
                if (!value(i, a, o.dest)) return Fail(o, "--dest takes a folder");
            } else if (a == "--yes") {
                o.yes = true;
            } else {
                return Fail(o, "unknown option " + a);
            }
        }
        if (o.dest.empty()) return Fail(o, "split needs --dest DIR");
        if (positional.empty()) return Fail(o, "split needs at least one SOURCE");
        if (o.name.find_first_of("\\/:*?\"<>|") != std::string::npos)
            return Fail(o, "--name must be a plain file name");
        o.sources = positional;
        return o;
    }
    if (cmd == "rejoin") {
        o.command = CliCommand::Rejoin;
        for (size_t i = 1; i < args.size(); ++i) {
            const std::string& a = args[i];
            std::string v;
            if (optionsDone || a.empty() || a[0] != '-') {
                positional.push_back(a);
            } else if (a == "--") {
                optionsDone = true;
            } else if (a == "--overwrite") {
                if (!value(i, a, v)) return Fail(o, "--overwrite takes ask, all or none");
                if (v == "ask") o.overwrite = OverwritePolicy::Ask;
                else if (v == "all") o.overwrite = OverwritePolicy::All;
                else if (v == "none") o.overwrite = OverwritePolicy::None;
                else return Fail(o, "--overwrite takes ask, all or none");
            } else {
                return Fail(o, "unknown option " + a);
            }
        }
        if (positional.size() != 2) return Fail(o, "rejoin needs FIRST_SEGMENT and DEST");
        o.firstSegment = positional[0];
        o.dest = positional[1];
        return o;
    }
    if (cmd == "list") {
        o.command = CliCommand::List;
        for (size_t i = 1; i < args.size(); ++i) {
            if (!optionsDone && args[i] == "--") optionsDone = true;
            else if (!optionsDone && !args[i].empty() && args[i][0] == '-') return Fail(o, "unknown option " + args[i]);
            else positional.push_back(args[i]);
        }
        if (positional.size() != 1) return Fail(o, "list needs FIRST_SEGMENT");
        o.firstSegment = positional[0];
        return o;
    }
    return Fail(o, "unknown command " + cmd);
}
