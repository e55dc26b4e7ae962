// A file system that checks each segment against NAME.sha256 when the reader opens it, before
// any of its bytes are used: a damaged or altered segment cannot open, so nothing of it is
// written. A segment the file gives no single checksum (no line, or lines that disagree) opens
// only when goOn says so; it is then counted as unchecked. While the reader restores one
// segment, the next ones are hashed on a second thread (CSegmentHashAhead), so the check costs
// the rejoin little more than the first segment's hash.
#pragma once

#include <functional>
#include <string>

#include "checksum/set_checksums.h"
#include "cli/segment_hash_ahead.h"
#include "platform/file_system.h"

class CCheckedFileSystem : public IFileSystem {
public:
    using GoOn = std::function<bool(const std::string& problem)>;
    CCheckedFileSystem(IFileSystem& inner, const CSetChecksums& sums, const std::string& sumsName, GoOn goOn)
        : inner_(inner), sums_(sums), sumsName_(sumsName), goOn_(std::move(goOn)), ahead_(inner, sums) {}

    // Segments whose hash matched so far; the path of the one that did not ("" if none).
    int Matched() const { return matched_; }
    int Unchecked() const { return unchecked_; }
    const std::string& Mismatch() const { return mismatch_; }

    bool GetStatus(const std::string& p, FileStatus& s) override { return inner_.GetStatus(p, s); }
    bool GetAttributes(const std::string& p, uint32_t& a) override { return inner_.GetAttributes(p, a); }
    bool ListFolder(const std::string& pattern, const std::function<bool(const DirEntry&)>& visit) override {
        return inner_.ListFolder(pattern, visit);
    }
    bool ListFolderNames(const std::string& pattern, const std::function<bool(const DirEntry&)>& visit) override {
        return inner_.ListFolderNames(pattern, visit);
    }
    bool Exists(const std::string& p) override { return inner_.Exists(p); }
    bool RemoveFile(const std::string& p) override { return inner_.RemoveFile(p); }
    bool MakeFolder(const std::string& p) override { return inner_.MakeFolder(p); }
    DriveType DriveTypeOf(const std::string& root) override { return inner_.DriveTypeOf(root); }
    bool GetFreeBytes(const std::string& root, uint64_t& bytes) override { return inner_.GetFreeBytes(root, bytes); }
    std::unique_ptr<IFile> Open(const std::string& path, OpenMode mode, Share share) override;
    std::string LastErrorText() override { return ownError_.empty() ? inner_.LastErrorText() : ownError_; }
    ItemKind ProbeBeneath(const std::string& r, const std::string& p) override { return inner_.ProbeBeneath(r, p); }
    bool MakeFolderBeneath(const std::string& r, const std::string& p) override { return inner_.MakeFolderBeneath(r, p); }
    std::unique_ptr<IFile> CreateFileBeneath(const std::string& r, const std::string& p) override {
        return inner_.CreateFileBeneath(r, p);
    }

private:
    IFileSystem& inner_;
    const CSetChecksums& sums_;
    std::string sumsName_;
    GoOn goOn_;
    std::string ownError_;
    std::string mismatch_;
    int matched_ = 0;
    int unchecked_ = 0;
    CSegmentHashAhead ahead_;  // last: its worker ends before the rest goes
};
