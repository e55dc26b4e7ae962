// Opening a split set from the command line.
#include "cli/set_access.h"

#include <cstdlib>

#include "platform/paths.h"
#include "rejoiner/segment_name.h"

namespace {

// The number after the last "_" of a segment's file name, -1 when there is none.
long SegmentNumber(const std::string& path) {
    std::string name = FileNamePart(path);
    size_t dot = name.rfind('.');
    if (dot != std::string::npos) name.resize(dot);
    size_t cut = name.rfind('_');
    if (cut == std::string::npos || cut + 1 >= name.size()) return -1;
    for (size_t i = cut + 1; i < name.size(); ++i)
        if (name[i] < '0' || name[i] > '9') return -1;
    return std::strtol(name.c_str() + cut + 1, nullptr, 10);
}

// A first segment ends with the length of the rejoiner image, which points inside the file.
bool HasFirstSegmentTrailer(IFileSystem& fs, const std::string& path) {
    auto file = fs.Open(path, OpenMode::Read, Share::DenyWrite);
    if (!file) return true;  // the reader will say why it cannot be read
    uint64_t length = file->Length();
    uint8_t t[4] = {};
    if (length < 5 || !file->Seek(length - 4) || file->Read(t, 4) != 4) return false;
    uint64_t image = t[0] | t[1] << 8 | t[2] << 16 | static_cast<uint64_t>(t[3]) << 24;
    uint8_t flag = 2;
    return image <= length - 5 && file->Seek(image) && file->Read(&flag, 1) == 1 && flag <= 1;
}

}  // namespace

bool CSetAccess::Open(const std::string& typed, std::string& error) {
    first_ = FullWindowsPath(typed);
    uint32_t attributes = 0;
    if (first_.empty() || !fs_.GetAttributes(first_, attributes)) {
        error = typed + ": " + (first_.empty() ? std::string("cannot be reached") : fs_.LastErrorText());
        return false;
    }
    if (attributes & kAttrFolder) {
        error = typed + " is a folder, not the first segment of a split set";
        return false;
    }
    long number = SegmentNumber(first_);
    // A later segment, or a file that is no set at all: say so rather than call it damaged. A
    // file named as a first segment whose end is wrong is damaged; the reader tells how.
    if ((number >= 0 && number != 1) || (number != 1 && !HasFirstSegmentTrailer(fs_, first_))) {
        error = typed + " is not the first segment of a split set";
        if (number > 1) {
            std::string name = FileNamePart(first_);
            error += " (the first is " + name.substr(0, name.rfind('_')) + "_1.EXE)";
        }
        return false;
    }
    sumsPath_ = CSetChecksums::PathForSegment(first_);
    if (!sumsPath_.empty() && fs_.Exists(sumsPath_)) {
        if (!sums_.Read(fs_, sumsPath_)) {
            error = UserPath(sumsPath_) + " cannot be read: " + fs_.LastErrorText();
            return false;
        }
        checked_ = std::make_unique<CCheckedFileSystem>(fs_, sums_, FileNamePart(sumsPath_), goOn_);
    }
    return true;
}

std::string CSetAccess::MissingAfter(const std::string& current) const {
    std::string next;
    if (!NextSegmentName(current, next)) return "the segment after " + UserPath(current) + " cannot be named";
    return "segment " + next + " is missing (looked for at " + UserPath(FolderPart(current) + next) + ")";
}

std::string CSetAccess::NextExisting(const std::string& current) const {
    std::string next;
    if (!NextSegmentName(current, next)) return std::string();
    std::string path = FolderPart(current) + next;
    return fs_.Exists(path) ? path : std::string();
}
