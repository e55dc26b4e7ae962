// Buffered reading of a segment's data region: headers and names come from the buffer, large
// content reads go straight to the file, and nothing is read past the region's end.
#include "rejoiner/segment_data.h"

#include "platform/file_copy.h"

#include <algorithm>
#include <cstring>

namespace {
const size_t kBufferSize = 0x10000;
}

CSegmentData::CSegmentData() : buffer_(kBufferSize) {}

bool CSegmentData::Attach(std::unique_ptr<IFile> file, uint64_t start, uint64_t length) {
    Close();
    if (!file || !file->Seek(start)) return false;
    file_ = std::move(file);
    left_ = length;
    return true;
}

void CSegmentData::Close() {
    if (file_) file_->Close();
    file_.reset();
    pos_ = end_ = 0;
    left_ = 0;
    fileFailed_ = false;
}

bool CSegmentData::Fill() {
    uint64_t unbuffered = left_ - (end_ - pos_);
    if (unbuffered == 0) return false;
    if (pos_ == end_) pos_ = end_ = 0;
    if (pos_ > 0) {  // keep what is unread at the front
        std::memmove(buffer_.data(), buffer_.data() + pos_, end_ - pos_);
        end_ -= pos_;
        pos_ = 0;
    }
    size_t want = static_cast<size_t>(std::min<uint64_t>(buffer_.size() - end_, unbuffered));
    if (want == 0) return false;
    int64_t got = file_->Read(buffer_.data() + end_, want);
    if (got <= 0) {  // the file ended early (truncated) or failed
        fileFailed_ = true;
        return false;
    }
    end_ += static_cast<size_t>(got);
    return true;
}

int64_t CSegmentData::Read(void* dest, size_t count) {
    if (!file_) return -1;
    count = static_cast<size_t>(std::min<uint64_t>(count, left_));
    if (count == 0) return 0;
    size_t done = 0;
    size_t buffered = std::min(count, end_ - pos_);
    if (buffered) {
        std::memcpy(dest, buffer_.data() + pos_, buffered);
        pos_ += buffered;
        done = buffered;
    }
    if (done < count) {
        // Buffer drained: the rest comes straight from the file.
        int64_t got = file_->Read(static_cast<uint8_t*>(dest) + done, count - done);
        if (got <= 0) {
            left_ -= done;
            if (done) return static_cast<int64_t>(done);
            fileFailed_ = true;
            return -1;
        }
        done += static_cast<size_t>(got);
    }
    left_ -= done;
    return static_cast<int64_t>(done);
}

int64_t CSegmentData::CopyTo(IFile& out, size_t count) {
    if (!file_ || pos_ != end_) return 0;  // buffered bytes go first, through the buffer
    count = static_cast<size_t>(std::min<uint64_t>(count, left_));
    int64_t n = CopyFileData(*file_, out, count);
    if (n > 0) left_ -= static_cast<uint64_t>(n);
    return n;
}

bool CSegmentData::ReadExact(void* dest, size_t count) {
    if (!file_ || count > left_) return false;
    while (end_ - pos_ < count)
        if (!Fill()) return false;
    std::memcpy(dest, buffer_.data() + pos_, count);
    pos_ += count;
    left_ -= count;
    return true;
}

CSegmentData::NameStatus CSegmentData::ReadName(std::string& name, size_t maxLength) {
    name.clear();
    if (!file_) return NameStatus::Error;
    // The name and its NUL must both be inside the region and within maxLength + 1 bytes.
    for (;;) {
        size_t avail = end_ - pos_;
        const uint8_t* start = buffer_.data() + pos_;
        size_t room = maxLength + 1 - name.size();
        size_t scan = std::min(avail, room);
        const void* nul = scan ? std::memchr(start, 0, scan) : nullptr;
        if (nul) {
            size_t n = static_cast<size_t>(static_cast<const uint8_t*>(nul) - start);
            name.append(reinterpret_cast<const char*>(start), n);
            pos_ += n + 1;
            left_ -= n + 1;
            return NameStatus::Ok;
        }
        name.append(reinterpret_cast<const char*>(start), scan);
        pos_ += scan;
        left_ -= scan;
        if (name.size() > maxLength) return NameStatus::TooLong;
        if (!Fill()) return fileFailed_ ? NameStatus::Error : NameStatus::Short;
    }
}
