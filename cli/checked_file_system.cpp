// Segments checked against their SHA-256 as they are opened.
#include "cli/checked_file_system.h"

#include "rejoiner/segment_name.h"

std::unique_ptr<IFile> CCheckedFileSystem::Open(const std::string& path, OpenMode mode, Share share) {
    ownError_.clear();
    std::string expected;
    if (mode == OpenMode::Read && sums_.Lookup(FileNamePart(path), expected) != CSetChecksums::Listed::One) {
        // Only segments are read through here: each must have its one line, or the user's word.
        std::string problem = sums_.Problem(FileNamePart(path), sumsName_);
        if (!goOn_ || !goOn_(problem)) {
            mismatch_ = path;
            ownError_ = problem;
            return nullptr;
        }
        ++unchecked_;
    } else if (!expected.empty()) {
        std::string actual;
        if (!CSetChecksums::HashFile(inner_, path, actual)) return nullptr;
        if (actual != expected) {
            mismatch_ = path;
            ownError_ = "It does not match its SHA-256 checksum in " + sumsName_ +
                        ": the segment is damaged or was altered.";
            return nullptr;
        }
        ++matched_;
    }
    return inner_.Open(path, mode, share);
}
