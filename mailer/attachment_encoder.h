// Base64 lines of an attachment (RFC 2045): 45 bytes read give one 60-character line + CR LF.
// Lines are made many at a time from one read: a read and a call per line made a large
// attachment cost far more than sending it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

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
    // Appends up to lines lines (each with its CR LF) to out from one large read; false, with
    // nothing appended, at the end of the file or on a read error (as NextLine).
    bool NextLines(std::string& out, size_t lines);
    void Close();
    // Size of the open file, as its status reports it; false when that cannot be read.
    bool FileSize(uint64_t& size) const;
    int Cause() const { return cause_; }

    // The standard alphabet with '=' padding.
    static std::string Encode(const uint8_t* bytes, size_t count);
    // Appends the encoding of count bytes to out.
    static void EncodeTo(const uint8_t* bytes, size_t count, std::string& out);

private:
    IFileSystem& fs_;
    std::unique_ptr<IFile> file_;
    std::string path_;
    std::vector<uint8_t> block_;
    int cause_ = kNone;
};
