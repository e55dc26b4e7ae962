// Command-line contract of zembra-cli: parsing only, no effects.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

enum class CliCommand { None, Split, Rejoin, List, Verify, Help, Version, Repair };
enum class OverwritePolicy { Ask, All, None };
enum class Verbosity { Quiet, Normal, Verbose };

struct CliOptions {
    CliCommand command = CliCommand::None;
    // Help: the command whose usage was asked for (None: the overview).
    CliCommand helpFor = CliCommand::None;
    Verbosity verbosity = Verbosity::Normal;
    uint64_t size = 0;  // bytes; 0 = autosize
    std::string name = "Kestrin";
    std::string rejoiner;  // file whose bytes replace the built-in rejoiner image
    bool yes = false;
    bool checksums = true;  // split writes NAME.sha256 beside the set
    bool hidden = false;    // --hidden: hidden items inside the sources go into the set
    // split writes recovery volumes to rebuild this many segments, or this percent of them
    // (rounded up); both 0: none.
    uint32_t recoveryCount = 0;
    uint32_t recoveryPercent = 0;
    std::string dest;
    std::vector<std::string> sources;
    std::string filesFrom;  // file listing sources, one a line; "-" for standard input
    OverwritePolicy overwrite = OverwritePolicy::Ask;
    // rejoin/verify: use a segment that NAME.sha256 gives no single checksum, unchecked.
    bool allowUnchecked = false;
    std::string firstSegment;
    std::string error;  // set when parsing failed (usage error)
};

// SIZE: bytes, or a number (decimals allowed) with K, M or G of 1000, 1000^2, 1000^3 (a
// trailing B is allowed: 700KB). Fractions of a byte are dropped. False on anything else.
bool ParseSize(const std::string& text, uint64_t& bytes);

CliOptions ParseCommandLine(const std::vector<std::string>& args);
