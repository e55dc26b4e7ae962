// CRecentFileList: the most recently used project files, newest first, kept in the program's
// profile under "Recent File List" as "File1".."File4" (the classic framework's keys).
#pragma once

#include <string>
#include <vector>

class ISettings;

class CRecentFileList {
public:
    static constexpr const char* kSection = "Recent File List";
    explicit CRecentFileList(size_t size = 4) : size_(size) {}

    void Load(ISettings& settings);
    // Writes every slot (emptied slots are written empty so an old entry cannot come back).
    bool Save(ISettings& settings) const;

    // Puts the path first; an entry naming the same file (case ignored) moves up.
    void Add(const std::string& path);
    void Remove(size_t index);
    size_t Count() const { return files_.size(); }
    const std::string& operator[](size_t index) const { return files_[index]; }

    // The menu text of entry index: "&1 " and the path, shortened in the middle
    // ("C:\...\folder\name.spj") when longer than maxChars; '&' doubled.
    std::string MenuText(size_t index, size_t maxChars = 40) const;

private:
    size_t size_;
    std::vector<std::string> files_;
};
