// zembra-cli's help texts: an overview and one usage per command.
#pragma once

#include <cstdint>
#include <string>

#include "cli/cli_options.h"

// minimumSize: the smallest segment this build can write (0 when it carries no rejoiner).
std::string Usage(CliCommand command, uint64_t minimumSize);
