// The three commands of zembra-cli; each returns the process exit status (0, 1).
#pragma once

#include <string>

#include "cli/cli_options.h"

int RunSplit(const CliOptions& options);
int RunRejoin(const CliOptions& options);
int RunList(const CliOptions& options);

// Prints "zembra-cli: text" on stderr and returns the failure status, 1.
int ReportFailure(const std::string& text);
