// Base64 lines of an attachment (RFC 2045): 45 bytes read give one 60-character line + CR LF.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/file_system.h"

class CAttachmentEncoder {
public:
    // Why the attachment failed, as the file-error cause codes the messages have always shown.
    enum Cause { kNone = 0, kGeneric = 1, kFileNotFound = 2, kAccessDenied = 5, kHardIO = 10 };

    static constexpr size_t kBytesPerLine = 45;

    explicit CAttachmentEncoder(IFileSystem& fs) : fs_(fs) {}

    // Opens the file read-only; false (with Cause()) when it cannot be opened.
    bool Open(const std::string& path);
    // The next line with its CR LF; false at the end of the file or on a read error (then
    // Cause() is kHardIO). The file is closed when it ends.
    bool NextLine(std::string& line);
    void Close();
    // Size of the open file, as its status reports it; false when that cannot be read.
    bool FileSize(uint64_t& size) const;
    int Cause() const { return cause_; }

    // The standard alphabet with '=' padding.
    static std::string Encode(const uint8_t* bytes, size_t count);

private:
    IFileSystem& fs_;
    std::unique_ptr<IFile> file_;
    std::string path_;
    int cause_ = kNone;
};
