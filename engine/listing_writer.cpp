// Contents listing output.
#include "engine/listing_writer.h"

namespace {
constexpr size_t kDrainAt = 32768;
}

bool CListingWriter::Open(IFileSystem& fs, const std::string& path) {
    Close();
    file_ = fs.Open(path, OpenMode::CreateWrite, Share::DenyWrite);
    return file_ != nullptr;
}

void CListingWriter::Write(const std::string& text) {
    if (!file_) return;
    for (char c : text) {
        if (c == '\n') pending_ += '\r';
        pending_ += c;
    }
    if (pending_.size() >= kDrainAt) Drain();
}

void CListingWriter::Drain() {
    if (file_ && !pending_.empty()) file_->Write(pending_.data(), pending_.size());
    pending_.clear();
}

void CListingWriter::Close() {
    if (!file_) return;
    Drain();
    file_->Close();
    file_.reset();
}
