// Segments checked against their SHA-256 as they are opened.
#include "cli/checked_file_system.h"

#include "rejoiner/segment_name.h"

CCheckedFileSystem::~CCheckedFileSystem() {
    if (next_.valid()) next_.wait();
}

void CCheckedFileSystem::HashNextInBackground(const std::string& path) {
    std::string name, next;
    FileStatus status;
    // A disk swap could put another file under the same name before the reader opens it.
    if (!NextSegmentName(path, name) || sums_.Expected(name).empty()) return;
    next = FolderPart(path) + name;
    if (inner_.DriveTypeOf(next.substr(0, 3)) == DriveType::Removable || !inner_.GetStatus(next, status)) return;
    nextPath_ = next;
    nextSize_ = status.size;
    IFileSystem& fs = inner_;
    try {
        next_ = std::async(std::launch::async, [&fs, next] {
            Hashed h;
            h.read = CSetChecksums::HashFile(fs, next, h.hex);
            return h;
        });
    } catch (...) {
        nextPath_.clear();  // no second thread: the segment is hashed when it is opened
    }
}

bool CCheckedFileSystem::TakeBackground(const std::string& path, Hashed& result) {
    if (!next_.valid()) return false;
    result = next_.get();
    bool same = path == nextPath_;
    nextPath_.clear();
    FileStatus status;
    return same && result.read && inner_.GetStatus(path, status) && status.size == nextSize_;
}

std::unique_ptr<IFile> CCheckedFileSystem::Open(const std::string& path, OpenMode mode, Share share) {
    ownError_.clear();
    std::string expected = mode == OpenMode::Read ? sums_.Expected(FileNamePart(path)) : std::string();
    if (!expected.empty()) {
        Hashed hashed;
        bool ready = TakeBackground(path, hashed);
        // The next segment is hashed while this one is checked (the first) and restored.
        HashNextInBackground(path);
        if (!ready) {
            hashed.hex.clear();
            if (!CSetChecksums::HashFile(inner_, path, hashed.hex)) return nullptr;
        }
        if (hashed.hex != expected) {
            mismatch_ = path;
            ownError_ = "It does not match its SHA-256 checksum in " + sumsName_ +
                        ": the segment is damaged or was altered.";
            return nullptr;
        }
        ++matched_;
        return inner_.Open(path, mode, share);
    }
    return inner_.Open(path, mode, share);
}
