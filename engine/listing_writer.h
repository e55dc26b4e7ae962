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
    // Writes what is buffered and closes. A listing that cannot be written costs only itself.
    void Close();

private:
    void Drain();
    std::unique_ptr<IFile> file_;
    std::string pending_;
};
