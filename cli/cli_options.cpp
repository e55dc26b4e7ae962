// Parsing of zembra-cli's arguments into CliOptions.
#include "cli/cli_options.h"

#include <cctype>
#include <functional>
#include <limits>

bool ParseSize(const std::string& text, uint64_t& bytes) {
    std::string t = text;
    if (t.size() > 1 && (t.back() == 'B' || t.back() == 'b') &&
        std::isalpha(static_cast<unsigned char>(t[t.size() - 2])))
        t.pop_back();
    if (t.empty()) return false;
    uint64_t unit = 1;
    switch (std::toupper(static_cast<unsigned char>(t.back()))) {
        case 'K': unit = 1000; break;
        case 'M': unit = 1000000; break;
        case 'G': unit = 1000000000; break;
        default: break;
    }
    if (unit != 1) t.pop_back();
    size_t dot = t.find('.');
    std::string whole = t.substr(0, dot);
    std::string fraction = dot == std::string::npos ? "" : t.substr(dot + 1);
    if (whole.empty() && fraction.empty()) return false;
    if (dot != std::string::npos && (fraction.empty() || unit == 1)) return false;  // "1." and "1.5" bytes
    const uint64_t kMax = std::numeric_limits<uint64_t>::max();
    uint64_t value = 0;
    for (char c : whole) {
        if (c < '0' || c > '9') return false;
        uint64_t d = static_cast<uint64_t>(c - '0');
        if (value > (kMax - d) / 10) return false;
        value = value * 10 + d;
    }
    if (value > kMax / unit) return false;
    value *= unit;
    // The fraction in units: digit by digit, each worth a tenth of the one before.
    uint64_t worth = unit;
    for (char c : fraction) {
        if (c < '0' || c > '9') return false;
        worth /= 10;
        uint64_t add = static_cast<uint64_t>(c - '0') * worth;
        if (value > kMax - add) return false;
        value += add;
    }
    bytes = value;
    return true;
}

namespace {

CliOptions Fail(CliOptions o, const std::string& why) {
    o.error = why;
    return o;
}

// Walks the arguments after the command: "--" ends the options, anything not starting with
// "-" (or a lone "-") is positional, "--opt=value" gives the option its value inline, and each
// option goes to onOption with a way to take its value. Returns the first error text, or "".
using TakeValue = std::function<bool(std::string&)>;
std::string WalkArguments(const std::vector<std::string>& args, std::vector<std::string>& positional,
                          const std::function<std::string(const std::string&, const TakeValue&)>& onOption) {
    bool optionsDone = false;
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (optionsDone || a.size() < 2 || a[0] != '-') {
            positional.push_back(a);
            continue;
        }
        if (a == "--") {
            optionsDone = true;
            continue;
        }
        std::string name = a, inline_;
        bool hasInline = false;
        size_t eq = a.find('=');
        if (a.compare(0, 2, "--") == 0 && eq != std::string::npos) {
            name = a.substr(0, eq);
            inline_ = a.substr(eq + 1);
            hasInline = true;
        }
        bool used = !hasInline;
        TakeValue value = [&](std::string& out) {
            if (hasInline) {
                out = inline_;
                used = true;
                return true;
            }
            if (i + 1 >= args.size()) return false;
            out = args[++i];
            return true;
        };
        std::string error = onOption(name, value);
        if (!error.empty()) return error;
        if (!used) return name + " takes no value";
    }
    return std::string();
}

// Options every command takes.
bool CommonOption(CliOptions& o, const std::string& a) {
    if (a == "-h" || a == "--help") {
        o.helpFor = o.command;
        o.command = CliCommand::Help;
    } else if (a == "-q" || a == "--quiet") {
        o.verbosity = Verbosity::Quiet;
    } else if (a == "-v" || a == "--verbose") {
        o.verbosity = Verbosity::Verbose;
    } else {
        return false;
    }
    return true;
}

std::string SplitOption(CliOptions& o, const std::string& a, const TakeValue& value) {
    std::string v;
    if (a == "--size") {
        if (!value(v) || !ParseSize(v, o.size)) return "--size takes bytes, or a number with K, M or G (1.5M, 700K)";
    } else if (a == "--name") {
        if (!value(o.name) || o.name.empty()) return "--name takes a base name";
    } else if (a == "--rejoiner") {
        if (!value(o.rejoiner)) return "--rejoiner takes a file";
    } else if (a == "--dest") {
        if (!value(o.dest)) return "--dest takes a folder";
    } else if (a == "--files-from") {
        if (!value(o.filesFrom) || o.filesFrom.empty()) return "--files-from takes a file, or - for standard input";
    } else if (a == "--yes") {
        o.yes = true;
    } else if (a == "--no-checksums") {
        o.checksums = false;
    } else if (a == "--hidden") {
        o.hidden = true;
    } else if (a == "--recovery") {
        const char* why = "--recovery takes a number of segments (2) or a percentage of them (10%)";
        if (!value(v) || v.empty() || v.size() > 6) return why;
        bool percent = v.back() == '%';
        if (percent) v.pop_back();
        uint32_t n = 0;
        for (char c : v) {
            if (c < '0' || c > '9') return why;
            n = n * 10 + static_cast<uint32_t>(c - '0');
        }
        if (v.empty() || n == 0 || (percent && n > 100)) return why;
        (percent ? o.recoveryPercent : o.recoveryCount) = n;
        (percent ? o.recoveryCount : o.recoveryPercent) = 0;
    } else {
        return "unknown option " + a;
    }
    return std::string();
}

// Rejoin and verify: a segment NAME.sha256 gives no single checksum is used only when asked.
std::string VerifyOption(CliOptions& o, const std::string& a, const TakeValue&) {
    if (a != "--allow-unchecked") return "unknown option " + a;
    o.allowUnchecked = true;
    return std::string();
}

std::string RejoinOption(CliOptions& o, const std::string& a, const TakeValue& value) {
    std::string v;
    if (a == "--allow-unchecked") return VerifyOption(o, a, value);
    if (a != "--overwrite") return "unknown option " + a;
    if (!value(v)) return "--overwrite takes ask, all or none";
    if (v == "ask") o.overwrite = OverwritePolicy::Ask;
    else if (v == "all") o.overwrite = OverwritePolicy::All;
    else if (v == "none") o.overwrite = OverwritePolicy::None;
    else return "--overwrite takes ask, all or none";
    return std::string();
}

std::string NoOption(CliOptions&, const std::string& a, const TakeValue&) { return "unknown option " + a; }

bool PlainName(const std::string& name) {
    for (unsigned char c : name)
        if (c < 0x20 || std::string("\\/:*?\"<>|").find(static_cast<char>(c)) != std::string::npos) return false;
    return true;
}

}  // namespace

CliOptions ParseCommandLine(const std::vector<std::string>& args) {
    CliOptions o;
    // Verbosity may come before the command as well: zembra-cli -q split ...
    std::vector<std::string> rest = args;
    while (!rest.empty() && (rest[0] == "-q" || rest[0] == "--quiet" || rest[0] == "-v" || rest[0] == "--verbose")) {
        CommonOption(o, rest[0]);
        rest.erase(rest.begin());
    }
    if (rest.empty()) return Fail(o, "no command given");
    const std::string& cmd = rest[0];
    if (cmd == "--help" || cmd == "-h" || cmd == "help") {
        o.command = CliCommand::Help;
        if (rest.size() > 1) {
            CliOptions about = ParseCommandLine({rest[1], "--help"});
            if (about.command != CliCommand::Help) return Fail(o, "no help on " + rest[1]);
            o.helpFor = about.helpFor;
        }
        return o;
    }
    if (cmd == "--version") {
        o.command = CliCommand::Version;
        return o;
    }
    std::function<std::string(CliOptions&, const std::string&, const TakeValue&)> option;
    if (cmd == "split") {
        o.command = CliCommand::Split;
        option = SplitOption;
    } else if (cmd == "rejoin") {
        o.command = CliCommand::Rejoin;
        option = RejoinOption;
    } else if (cmd == "list") {
        o.command = CliCommand::List;
        option = NoOption;
    } else if (cmd == "verify") {
        o.command = CliCommand::Verify;
        option = VerifyOption;
    } else if (cmd == "repair") {
        o.command = CliCommand::Repair;
        option = NoOption;
    } else {
        return Fail(o, "unknown command " + cmd);
    }
    CliCommand command = o.command;
    std::vector<std::string> positional;
    std::string error = WalkArguments(rest, positional, [&](const std::string& a, const TakeValue& v) {
        if (CommonOption(o, a)) return std::string();
        return option(o, a, v);
    });
    // Asking for help wins over anything else on the line.
    if (o.command == CliCommand::Help) return o;
    if (!error.empty()) return Fail(o, error);
    switch (command) {
        case CliCommand::Split:
            if (o.dest.empty()) return Fail(o, "split needs --dest DIR");
            if (positional.empty() && o.filesFrom.empty())
                return Fail(o, "split needs at least one SOURCE (or --files-from FILE)");
            if (!PlainName(o.name)) return Fail(o, "--name must be a plain file name");
            o.sources = positional;
            break;
        case CliCommand::Rejoin:
            if (positional.size() != 2) return Fail(o, "rejoin needs FIRST_SEGMENT and DEST");
            o.firstSegment = positional[0];
            o.dest = positional[1];
            break;
        default:
            if (positional.size() != 1) return Fail(o, cmd + " needs FIRST_SEGMENT");
            o.firstSegment = positional[0];
            break;
    }
    return o;
}
