// Parsing of zembra-cli's arguments into CliOptions.
#include "cli/cli_options.h"

#include <cctype>
#include <functional>
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

// Walks the arguments after the command: "--" ends the options, anything not starting with
// "-" is positional, and each option goes to onOption with a way to take its value. Returns
// the first error text, or "".
using TakeValue = std::function<bool(std::string&)>;
std::string WalkArguments(const std::vector<std::string>& args, std::vector<std::string>& positional,
                          const std::function<std::string(const std::string&, const TakeValue&)>& onOption) {
    bool optionsDone = false;
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (optionsDone || a.empty() || a[0] != '-') {
            positional.push_back(a);
        } else if (a == "--") {
            optionsDone = true;
        } else {
            TakeValue value = [&](std::string& out) {
                if (i + 1 >= args.size()) return false;
                out = args[++i];
                return true;
            };
            std::string error = onOption(a, value);
            if (!error.empty()) return error;
        }
    }
    return std::string();
}

std::string SplitOption(CliOptions& o, const std::string& a, const TakeValue& value) {
    std::string v;
    if (a == "--size") {
        if (!value(v) || !ParseSize(v, o.size)) return "--size takes bytes, or a number with K or M";
    } else if (a == "--name") {
        if (!value(o.name) || o.name.empty()) return "--name takes a base name";
    } else if (a == "--rejoiner") {
        if (!value(o.rejoiner)) return "--rejoiner takes a file";
    } else if (a == "--dest") {
        if (!value(o.dest)) return "--dest takes a folder";
    } else if (a == "--yes") {
        o.yes = true;
    } else {
        return "unknown option " + a;
    }
    return std::string();
}

std::string RejoinOption(CliOptions& o, const std::string& a, const TakeValue& value) {
    std::string v;
    if (a != "--overwrite") return "unknown option " + a;
    if (!value(v)) return "--overwrite takes ask, all or none";
    if (v == "ask") o.overwrite = OverwritePolicy::Ask;
    else if (v == "all") o.overwrite = OverwritePolicy::All;
    else if (v == "none") o.overwrite = OverwritePolicy::None;
    else return "--overwrite takes ask, all or none";
    return std::string();
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
    std::string error;
    if (cmd == "split") {
        o.command = CliCommand::Split;
        error = WalkArguments(args, positional, [&](const std::string& a, const TakeValue& v) {
            return SplitOption(o, a, v);
        });
        if (!error.empty()) return Fail(o, error);
        if (o.dest.empty()) return Fail(o, "split needs --dest DIR");
        if (positional.empty()) return Fail(o, "split needs at least one SOURCE");
        if (o.name.find_first_of("\\/:*?\"<>|") != std::string::npos)
            return Fail(o, "--name must be a plain file name");
        o.sources = positional;
        return o;
    }
    if (cmd == "rejoin") {
        o.command = CliCommand::Rejoin;
        error = WalkArguments(args, positional, [&](const std::string& a, const TakeValue& v) {
            return RejoinOption(o, a, v);
        });
        if (!error.empty()) return Fail(o, error);
        if (positional.size() != 2) return Fail(o, "rejoin needs FIRST_SEGMENT and DEST");
        o.firstSegment = positional[0];
        o.dest = positional[1];
        return o;
    }
    if (cmd == "list") {
        o.command = CliCommand::List;
        error = WalkArguments(args, positional, [](const std::string& a, const TakeValue&) {
            return "unknown option " + a;
        });
        if (!error.empty()) return Fail(o, error);
        if (positional.size() != 1) return Fail(o, "list needs FIRST_SEGMENT");
        o.firstSegment = positional[0];
        return o;
    }
    return Fail(o, "unknown command " + cmd);
}
