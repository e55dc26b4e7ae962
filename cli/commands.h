// The commands of zembra-cli; each returns the process exit status (0, 1).
#pragma once

#include <string>

#include "cli/cli_options.h"
#include "platform/file_system.h"

int RunSplit(const CliOptions& options);
int RunRejoin(const CliOptions& options);
int RunList(const CliOptions& options);
int RunVerify(const CliOptions& options);
int RunRepair(const CliOptions& options);

// Makes DEST (typed by the user, dest in Windows form) when missing and tells, with the
// system's reason, why nothing can be written there; false after telling.
bool PrepareDestination(IFileSystem& fs, const std::string& typed, const std::string& dest);

// Prints "zembra-cli: text" on stderr and returns the failure status, 1.
int ReportFailure(const std::string& text);
