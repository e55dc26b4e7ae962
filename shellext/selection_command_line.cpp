// Bounded assembly of the "arg path*path..." command line.
#include "shellext/selection_command_line.h"

CSelectionCommandLine::Result CSelectionCommandLine::Add(const std::string& path) {
    if (path.size() + 1 > kMaxPathBytes) return Result::PathTooLong;
    // One separator byte, the path, and the terminating NUL must still fit.
    if (line_.size() + 1 + path.size() + 1 > kMaxLineChars) return Result::LineTooLong;
    line_ += count_ == 0 ? ' ' : '*';
    line_ += path;
    ++count_;
    return Result::Ok;
}
