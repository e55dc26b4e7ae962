// Command-line contract of zembra-cli: parsing only, no effects.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

enum class CliCommand { None, Split, Rejoin, List, Help, Version };
enum class OverwritePolicy { Ask, All, None };

struct CliOptions {
    CliCommand command = CliCommand::None;
    uint64_t size = 0;  // bytes; 0 = autosize
    std::string name = "Kestrin";
    std::string rejoiner;  // file whose bytes replace the built-in rejoiner image
    bool yes = false;
    std::string dest;
    std::vector<std::string> sources;
    OverwritePolicy overwrite = OverwritePolicy::Ask;
    std::string firstSegment;
    std::string error;  // set when parsing failed (usage error)
};

// SIZE: bytes, or with suffix K (x1000) or M (x1,000,000). False on anything else.
bool ParseSize(const std::string& text, uint64_t& bytes);

CliOptions ParseCommandLine(const std::vector<std::string>& args);

extern const char kCliUsage[];
