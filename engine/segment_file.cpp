// Buffered segment output.
#include "engine/segment_file.h"

#include <algorithm>
#include <cstring>

CSegmentFile::CSegmentFile(std::unique_ptr<IFile> file) : file_(std::move(file)), buffer_(kBufferSize) {}

CSegmentFile::~CSegmentFile() { Close(); }

bool CSegmentFile::Write(const void* data, size_t count) {
    if (!Valid()) return false;
    const uint8_t* p = static_cast<const uint8_t*>(data);
    // Whole blocks go straight through, after what was gathered before them; only the small
    // pieces are gathered.
    if (count >= kBufferSize) {
        if (used_ > 0 && !Flush()) return false;
        if (!file_->Write(p, count)) failed_ = true;
        return !failed_;
    }
    while (count > 0) {
        size_t take = std::min(count, kBufferSize - used_);
        std::memcpy(buffer_.data() + used_, p, take);
        used_ += take;
        p += take;
        count -= take;
        if (used_ == kBufferSize && !Flush()) return false;
    }
    return true;
}

bool CSegmentFile::Flush() {
    if (!Valid()) return false;
    if (used_ > 0) {
        if (!file_->Write(buffer_.data(), used_)) failed_ = true;
        used_ = 0;
    }
    if (!failed_ && !file_->Flush()) failed_ = true;
    return !failed_;
}

bool CSegmentFile::Seek(uint64_t offset) {
    if (!Flush()) return false;
    if (!file_->Seek(offset)) failed_ = true;
    return !failed_;
}

bool CSegmentFile::Close() {
    if (!file_) return !failed_;
    if (!failed_) Flush();
    if (!file_->Close()) failed_ = true;
    file_.reset();
    return !failed_;
}
