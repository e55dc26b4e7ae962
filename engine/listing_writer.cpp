// Contents listing output.
#include "engine/listing_writer.h"

namespace {
constexpr size_t kDrainAt = 32768;
}

bool CListingWriter::Open(IFileSystem& fs, const std::string& path) {
    Close();
    fs_ = &fs;
    failed_ = false;
    error_.clear();
    file_ = fs.Open(path, OpenMode::CreateWrite, Share::DenyWrite);
    return file_ != nullptr;
}

void CListingWriter::Write(const std::string& text) {
    if (!file_) return;
    // Line by line rather than character by character: this runs for every entry of a split.
    size_t at = 0;
    for (size_t nl; (nl = text.find('\n', at)) != std::string::npos; at = nl + 1) {
        pending_.append(text, at, nl - at);
        pending_ += "\r\n";
    }
    pending_.append(text, at, std::string::npos);
    if (pending_.size() >= kDrainAt) Drain();
}

// After one failed write nothing more is written: a later write that succeeded would leave a
// gap in the middle of the listing instead of a cut at its end.
void CListingWriter::Drain() {
    if (file_ && !failed_ && !pending_.empty() && !file_->Write(pending_.data(), pending_.size())) Fail();
    pending_.clear();
}

void CListingWriter::Fail() {
    if (failed_) return;
    failed_ = true;
    error_ = fs_ ? fs_->LastErrorText() : std::string();
}

bool CListingWriter::Close() {
    if (!file_) return !failed_;
    Drain();
    if (!file_->Close()) Fail();
    file_.reset();
    return !failed_;
}
