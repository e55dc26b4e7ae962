// CSourceList: the files and folders chosen for a split set, each with the size it had when it
// was added, and their total. The main form's "Files To Split" box shows the same paths in the
// same order.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/file_system.h"

enum class SourceAdd {
    Added,          // appended (an empty file too, with size 0)
    AlreadyListed,  // the list holds that path already (letter case aside): nothing changes
    EmptyFolder,    // a folder holding nothing (hidden items aside): skipped without a word
    NoSize,         // size 0 and the path cannot be described: the caller tells the user
};

class CSourceList {
public:
    struct Entry {
        std::string path;
        uint64_t size = 0;
    };

    explicit CSourceList(IFileSystem& fs) : fs_(fs) {}

    // Bytes a path contributes: a file's length, or the lengths of every file under a folder,
    // leaving out hidden items as the build does. 64-bit, so 4 GB and more add up right.
    static uint64_t PathSize(IFileSystem& fs, const std::string& path);

    // Paths from the command line the shell extension passes: "p1*p2*...". Quotes and spaces
    // around each path are dropped; empty pieces are left out.
    static std::vector<std::string> SplitCommandLine(const std::string& line);

    bool Contains(const std::string& path) const;
    // The add rule: duplicates refused, sizes taken now, empty files kept, empty folders not
    // (a folder of empty files is not empty: the set keeps them).
    SourceAdd Add(const std::string& path);
    // A command-line path, by the same rule: the files a user picked in Explorer all go into
    // the set, empty ones too, as they would from the form. False when it was not taken.
    bool AddFromCommandLine(const std::string& path);
    // Removes entry index and takes its recorded size off the total; false when out of range.
    bool RemoveAt(size_t index);
    void Clear();

    const std::vector<Entry>& Entries() const { return entries_; }
    size_t Count() const { return entries_.size(); }
    uint64_t Total() const { return total_; }

private:
    void Append(const std::string& path, uint64_t size);

    IFileSystem& fs_;
    std::vector<Entry> entries_;
    uint64_t total_ = 0;
};
