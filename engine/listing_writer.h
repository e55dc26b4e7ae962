// The open contents listing (".spj"): text with CR LF line ends, written through a small buffer.
#pragma once

#include <memory>
#include <string>

#include "platform/file_system.h"

class CListingWriter {
public:
    // Creates (or replaces) the file; false when it cannot be created.
    bool Open(IFileSystem& fs, const std::string& path);
    bool IsOpen() const { return file_ != nullptr; }
    // Appends text; each "\n" is written as CR LF.
    void Write(const std::string& text);
    // Writes what is buffered and closes; false when any part of the listing was not written.
    bool Close();
    // The system's reason for the first write that failed since Open ("" when none did).
    const std::string& ErrorText() const { return error_; }
    bool Failed() const { return failed_; }

private:
    void Drain();
    void Fail();
    IFileSystem* fs_ = nullptr;
    std::unique_ptr<IFile> file_;
    std::string pending_;
    std::string error_;
    bool failed_ = false;
};
