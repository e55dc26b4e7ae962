// File-list mode's work folder: a folder of its own in the user's temp folder (the program's
// folder is not writable on an installed system), removed with everything in it when the
// object goes, however the run ended.
#pragma once

#include <string>

class CMailWorkFolder {
public:
    static constexpr const char* kNamePrefix = "zembra-mail-";

    CMailWorkFolder() = default;
    ~CMailWorkFolder() { Remove(); }
    CMailWorkFolder(const CMailWorkFolder&) = delete;
    CMailWorkFolder& operator=(const CMailWorkFolder&) = delete;

    // Makes a new, empty folder; false when none could be made.
    bool Create();
    // The folder, without a trailing backslash; empty before Create.
    const std::string& Path() const { return path_; }
    void Remove();

private:
    std::string path_;
};
