// What the reader asks of the program around it: the overwrite question and the ">" step.
#pragma once

#include <cstdint>
#include <string>

// Button codes of the "File Exists" question.
enum : int {
    kOverwriteYes = 1,
    kOverwriteNo = 2,
    kOverwriteYesToAll = 1000,
    kOverwriteNoToAll = 1001,
};

class IOverwriteQuestion {
public:
    virtual ~IOverwriteQuestion() = default;
    // Shows text ("<path> exists.") and returns the code of the button pressed.
    virtual int Ask(const std::string& text) = 0;
};

class IRejoinProgress {
public:
    virtual ~IRejoinProgress() = default;
    // One pass of the reader's entry loop.
    virtual void Step() = 0;
    // A file about to be written (after any overwrite question), and bytes of content copied;
    // for progress that tells more than the steps. Nothing by default.
    virtual void FileStarted(const std::string& /*path*/, uint32_t /*size*/) {}
    // A folder made, or found there already.
    virtual void FolderMade(const std::string& /*path*/) {}
    virtual void BytesCopied(uint64_t /*count*/) {}
};
