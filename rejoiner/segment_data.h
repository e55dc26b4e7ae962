// The data region of one open segment, read through a buffer and never past its end.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/file_system.h"

class CSegmentData {
public:
    enum class NameStatus { Ok, TooLong, Short, Error };

    CSegmentData();
    // Takes the open segment; its data are length bytes from offset start.
    bool Attach(std::unique_ptr<IFile> file, uint64_t start, uint64_t length);
    void Close();
    bool IsOpen() const { return file_ != nullptr; }
    // Data bytes of the segment not consumed yet.
    uint64_t BytesLeft() const { return left_; }

    // Reads up to count bytes (never beyond the data region). Returns the number read, 0 when
    // the region is used up, -1 when the file fails or holds less than its length promised.
    int64_t Read(void* dest, size_t count);
    // Copies up to count bytes of the region straight into out inside the system when nothing
    // is buffered and the platform can; 0 when the caller must read them itself, -1 on error.
    int64_t CopyTo(IFile& out, size_t count);
    // Reads exactly count bytes; false when the region holds fewer or the file fails.
    bool ReadExact(void* dest, size_t count);
    // Reads a NUL-terminated name of at most maxLength bytes, consuming the NUL.
    NameStatus ReadName(std::string& name, size_t maxLength);
    // True when the last failure came from the file rather than the end of the region.
    bool FileFailed() const { return fileFailed_; }

private:
    bool Fill();

    std::unique_ptr<IFile> file_;
    std::vector<uint8_t> buffer_;
    size_t pos_ = 0, end_ = 0;   // unread buffered bytes are buffer_[pos_, end_)
    uint64_t left_ = 0;          // region bytes not consumed, buffered ones included
    bool fileFailed_ = false;
};
