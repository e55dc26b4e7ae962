// Measures the sources of a split set.
#include "cli/set_measure.h"

namespace {

// A listed entry brings its kind and size along: only the items named by the user are asked for.
void MeasureEntry(IFileSystem& fs, const std::string& path, const std::string& name, uint32_t attributes,
                  uint64_t size, int depth, bool hidden, SetMeasure& m);

void Measure(IFileSystem& fs, const std::string& path, const std::string& name, int depth, bool hidden, SetMeasure& m) {
    uint32_t attributes = 0;
    if (!fs.GetAttributes(path, attributes)) {
        m.recordBytes += name.size() + 10;
        return;
    }
    FileStatus status;
    if ((attributes & kAttrFolder) || !fs.GetStatus(path, status)) status.size = 0;
    MeasureEntry(fs, path, name, attributes, status.size, depth, hidden, m);
}

void MeasureEntry(IFileSystem& fs, const std::string& path, const std::string& name, uint32_t attributes,
                  uint64_t size, int depth, bool hidden, SetMeasure& m) {
    m.recordBytes += name.size() + 10;  // size, attributes, parent, name, zero byte
    if (!(attributes & kAttrFolder)) {
        m.contentBytes += size;
        return;
    }
    if (depth > 200) return;  // deeper than any real tree: a loop of links
    std::string prefix = path.back() == '\\' ? path : path + "\\";
    fs.ListFolder(prefix + "*.*", [&](const DirEntry& entry) {
        // The engine leaves hidden entries out unless told otherwise, and "." and "..".
        if (((entry.attributes & kAttrHidden) && !hidden) || entry.name == "." || entry.name == "..") return true;
        MeasureEntry(fs, prefix + entry.name, entry.name, entry.attributes, entry.size, depth + 1, hidden, m);
        return true;
    });
}

}  // namespace

SetMeasure MeasureSources(IFileSystem& fs, const std::vector<std::string>& paths, bool includeHidden) {
    SetMeasure m;
    for (const std::string& path : paths) {
        size_t cut = path.find_last_of('\\', path.size() > 1 ? path.size() - 2 : 0);
        std::string name = cut == std::string::npos ? path : path.substr(cut + 1);
        if (!name.empty() && name.back() == '\\') name.pop_back();
        Measure(fs, path, name, 0, includeHidden, m);
    }
    return m;
}
