// The chosen sources and their total.
#include "model/source_list.h"

#include "platform/text_case.h"
#include "platform/text_trim.h"

namespace {

// Deeper than this a path is past what the rest of the suite can write (260 characters), so a
// folder that leads back into itself through a link cannot keep the walk going for ever.
constexpr size_t kMaxPath = 260;

// True when the folder holds something the set would keep (an empty file or folder counts;
// hidden items are left out as the build leaves them out).
bool HoldsAnything(IFileSystem& fs, const std::string& path) {
    bool found = false;
    const std::string folder = path.back() == '\\' ? path : path + "\\";
    fs.ListFolderNames(folder + "*.*", [&](const DirEntry& entry) {
        found = !(entry.attributes & kAttrHidden) && entry.name != "." && entry.name != "..";
        return !found;
    });
    return found;
}

}  // namespace

uint64_t CSourceList::PathSize(IFileSystem& fs, const std::string& path) {
    FileStatus status;
    if (path.size() > kMaxPath || !fs.GetStatus(path, status)) return 0;
    if (!(status.attributes & kAttrFolder)) return status.size;
    const std::string folder = path.back() == '\\' ? path : path + "\\";
    uint64_t total = 0;
    fs.ListFolder(folder + "*.*", [&](const DirEntry& entry) {
        if ((entry.attributes & kAttrHidden) || entry.name == "." || entry.name == "..") return true;
        total += PathSize(fs, folder + entry.name);
        return true;
    });
    return total;
}

std::vector<std::string> CSourceList::SplitCommandLine(const std::string& line) {
    std::vector<std::string> paths;
    size_t start = 0;
    while (start <= line.size()) {
        size_t star = line.find('*', start);
        if (star == std::string::npos) star = line.size();
        std::string piece = TrimChars(TrimWhiteSpace(line.substr(start, star - start)), "\"");
        if (!piece.empty()) paths.push_back(piece);
        start = star + 1;
    }
    return paths;
}

bool CSourceList::Contains(const std::string& path) const {
    for (const Entry& e : entries_)
        if (SameTextIgnoringCase(e.path, path)) return true;
    return false;
}

SourceAdd CSourceList::Add(const std::string& path) {
    if (Contains(path)) return SourceAdd::AlreadyListed;
    const uint64_t size = PathSize(fs_, path);
    if (size == 0) {
        uint32_t attributes = 0;
        if (!fs_.GetAttributes(path, attributes)) return SourceAdd::NoSize;
        if ((attributes & kAttrFolder) && !HoldsAnything(fs_, path)) return SourceAdd::EmptyFolder;
    }
    Append(path, size);
    return SourceAdd::Added;
}

bool CSourceList::AddFromCommandLine(const std::string& path) { return Add(path) == SourceAdd::Added; }

bool CSourceList::RemoveAt(size_t index) {
    if (index >= entries_.size()) return false;
    total_ -= entries_[index].size;
    entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(index));
    return true;
}

void CSourceList::Clear() {
    entries_.clear();
    total_ = 0;
}

void CSourceList::Append(const std::string& path, uint64_t size) {
    entries_.push_back({path, size});
    total_ += size;
}
