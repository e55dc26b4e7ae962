// Path rules of the remblo dialog, kept free of windows so they are tested natively.
#pragma once

#include <string>

namespace rejoin_paths {

// folder with exactly one trailing backslash added when it has none.
std::string WithBackslash(const std::string& folder);
// The program's own path: the module's folder and the shell's display name, with ".EXE"
// appended unless the name already ends so (any case), as when extensions are hidden.
std::string ProgramPath(const std::string& modulePath, const std::string& displayName);
// The Up button: drop one trailing backslash, then cut after the last remaining one (keeping it
// when one was dropped). False when there is no backslash left to cut at.
bool UpFolder(const std::string& current, std::string& parent);
// True when folder is a drive root ("C:\" or "C:"), which has no parent to go up to.
bool IsDriveRoot(const std::string& folder);
// Message shown when the rejoin is over. askFirstDisk puts the request for the first diskette
// in front; stopped (a fault, or entries not restored, already reported) leaves out the
// completion line. A walk that ended for want of a segment (missingSegment not empty) is told
// as such, with the file it ended inside (not restored), never as completed.
std::string CompletionMessage(bool askFirstDisk, bool stopped, const std::string& programPath,
                              const std::string& destination, const std::string& missingSegment = std::string(),
                              const std::string& incompleteFile = std::string());

}  // namespace rejoin_paths
