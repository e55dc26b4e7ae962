// Opening a split set from the command line: is the file a first segment, where are its
// checksums, which segment is missing. Shared by rejoin, list and verify.
#pragma once

#include <memory>
#include <string>

#include "cli/checked_file_system.h"
#include "checksum/set_checksums.h"
#include "platform/file_system.h"

class CSetAccess {
public:
    explicit CSetAccess(IFileSystem& fs) : fs_(fs) {}
    // Asked, before Open, whether to use a segment NAME.sha256 gives no single checksum.
    void SetGoOn(CCheckedFileSystem::GoOn goOn) { goOn_ = std::move(goOn); }

    // Resolves the typed path of a first segment; false with error (the real cause, or "not
    // the first segment of a split set") when the set cannot be read from it.
    bool Open(const std::string& typed, std::string& error);
    const std::string& FirstSegment() const { return first_; }

    // The file system the reader should use: segments are checked against NAME.sha256 when
    // it lies beside the set, whatever it holds (a file of no checksum lines checks nothing,
    // so every segment is then reported).
    IFileSystem& ReaderFileSystem() { return checked_ ? static_cast<IFileSystem&>(*checked_) : fs_; }
    bool HasChecksums() const { return checked_ != nullptr; }
    const CSetChecksums& Checksums() const { return sums_; }
    const CCheckedFileSystem* Checked() const { return checked_.get(); }
    const std::string& ChecksumPath() const { return sumsPath_; }

    // "segment NAME_3.SEG is missing (looked for at PATH)" for the segment after current.
    std::string MissingAfter(const std::string& current) const;
    // Path of the segment after current when it exists ("" otherwise).
    std::string NextExisting(const std::string& current) const;

private:
    IFileSystem& fs_;
    std::string first_;
    CSetChecksums sums_;
    std::string sumsPath_;
    CCheckedFileSystem::GoOn goOn_;
    std::unique_ptr<CCheckedFileSystem> checked_;
};
