// The three commands of zembra-cli; each returns the process exit status (0, 1).
#pragma once

#include "cli/cli_options.h"

int RunSplit(const CliOptions& options);
int RunRejoin(const CliOptions& options);
int RunList(const CliOptions& options);
