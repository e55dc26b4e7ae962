// What the wizard pages compute without a window: page 2's total text, page 4's project path,
// results text and mailer command line.
#pragma once

#include <cstdint>
#include <string>

class IFileSystem;

namespace wizard_rules {

// Page 1's size field, in K of 1000 bytes.
constexpr int kMaxSizeKb = 9999999;

// Page 2's total: "%.3f MB " above 1,000,000 bytes, else "%.3f KB ".
std::string TotalText(uint64_t totalBytes);

// Page 4's project file: where the listing of the set page 3 built lies (the program's folder
// when the set went to diskettes).
std::string ProjectPath(bool removable, const std::string& exeDirectory, const std::string& saveLocation,
                        const std::string& setName);

// The mailer's command line for the set page 3 built. programPath: the running program's full
// path; the mailer is beside it.
std::string MailerCommandLine(const std::string& programPath, const std::string& saveLocation,
                              const std::string& setName, int lastSegment);

// The listing as the results page shows it: every line ended with CR LF. False when the file
// cannot be read (the text is then empty).
bool ReadResultsText(IFileSystem& fs, const std::string& projectPath, std::string& text);

}  // namespace wizard_rules
