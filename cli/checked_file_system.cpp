// Segments checked against their SHA-256 as they are opened.
#include "cli/checked_file_system.h"

#include "checksum/segment_check.h"
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
        CSegmentHashAhead::Hashed hashed;
        if (!ahead_.Take(path, hashed)) {
            ahead_.Stop();
            hashed.file = inner_.Open(path, mode, share);
            if (!hashed.file) return nullptr;
            // The next segments are hashed while this one is checked and restored; not on a
            // removable disk, where the next one may not be in the drive yet.
            if (inner_.DriveTypeOf(path.substr(0, 3)) != DriveType::Removable) ahead_.StartAfter(path);
            if (!HashOpenFile(*hashed.file, hashed.hex)) return nullptr;
        }
        if (hashed.hex != expected) {
            mismatch_ = path;
            ownError_ = "It does not match its SHA-256 checksum in " + sumsName_ +
                        ": the segment is damaged or was altered.";
            return nullptr;
        }
        ++matched_;
        return std::move(hashed.file);
    }
    return inner_.Open(path, mode, share);
}
