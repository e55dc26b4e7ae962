// One segment file being written: buffered so that small records and small files don't
// cost a system call each, with the first write error remembered.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/file_system.h"

class CSegmentFile {
public:
    explicit CSegmentFile(std::unique_ptr<IFile> file);
    ~CSegmentFile();
    CSegmentFile(const CSegmentFile&) = delete;
    CSegmentFile& operator=(const CSegmentFile&) = delete;

    // False once any write has failed; later writes are then refused.
    bool Write(const void* data, size_t count);
    bool Flush();
    // Flushes, then moves the write position (only the flag byte at close seeks back).
    bool Seek(uint64_t offset);
    // Flushes and closes; false when anything written was lost.
    bool Close();
    bool Valid() const { return !failed_ && file_ != nullptr; }

private:
    static constexpr size_t kBufferSize = 65536;
    std::unique_ptr<IFile> file_;
    std::vector<uint8_t> buffer_;
    size_t used_ = 0;
    bool failed_ = false;
};
