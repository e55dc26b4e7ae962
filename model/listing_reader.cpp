// The listing read back: bounded reads, entry paths before the last " - ", the top-level sources.
#include "model/listing_reader.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <set>

#include "engine/split_engine.h"

namespace listing_reader {

namespace {

constexpr size_t kChunk = 65536;

// A path as compared: lower case (names ignore case on Windows), without a trailing backslash
// (a drive root "D:\\" becomes "d:", the ancestor key of everything on the drive).
std::string Key(const std::string& path) {
    std::string key = path;
    while (!key.empty() && key.back() == '\\') key.pop_back();
    for (char& c : key) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return key;
}

void AddLine(std::vector<Line>& lines, std::string text, bool cut) {
    // Text-mode line ends: CR LF (and a lone LF) end a line; the CR is not part of it.
    if (!cut && !text.empty() && text.back() == '\r') text.pop_back();
    Line line;
    line.cut = cut;
    line.entry = !cut && !text.empty() && text[0] != '$';
    if (line.entry) line.path = SourcePath(text);
    // No listing this program writes holds a zero byte; a path cut at one would name another
    // file (or a whole drive), so it names none.
    if (line.path.find('\0') != std::string::npos) line.path.clear();
    line.kind = line.entry ? KindOf(line.path) : SourceKind::Refused;
    line.text = std::move(text);
    lines.push_back(std::move(line));
}

// A "." or ".." step anywhere after the start names another place than it seems to.
bool HasDotStep(const std::string& path, size_t from) {
    for (size_t start = from; start <= path.size();) {
        size_t end = path.find('\\', start);
        if (end == std::string::npos) end = path.size();
        std::string step = path.substr(start, end - start);
        if (step == "." || step == "..") return true;
        start = end + 1;
    }
    return false;
}

bool Taken(const Line& line, bool useNetwork) {
    return line.entry && (line.kind == SourceKind::Local || (useNetwork && line.kind == SourceKind::Network));
}

}  // namespace

SourceKind KindOf(const std::string& path) {
    if (path.size() >= 3 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':' && path[2] == '\\')
        return HasDotStep(path, 3) ? SourceKind::Refused : SourceKind::Local;
    // "\\host\share\...": a host name, then a share; "\\?\" and "\\.\" are device forms.
    if (path.size() > 2 && path[0] == '\\' && path[1] == '\\' && path[2] != '?' && path[2] != '.' &&
        path[2] != '\\') {
        size_t share = path.find('\\', 2);
        if (share != std::string::npos && share + 1 < path.size() && path[share + 1] != '\\' && !HasDotStep(path, share + 1))
            return SourceKind::Network;
    }
    return SourceKind::Refused;
}

std::string SourcePath(const std::string& line) {
    size_t at = line.rfind(" - ");
    return at == std::string::npos ? line : line.substr(0, at);
}

bool ReadText(IFileSystem& fs, const std::string& path, std::string& text) {
    text.clear();
    // Read only, others may read and write: the listing may sit on a CD or be marked read-only.
    std::unique_ptr<IFile> file = fs.Open(path, OpenMode::Read, Share::DenyNone);
    if (!file) return false;
    try {
        // Read to the end in pieces, whatever size the file claimed when it was opened.
        std::string read;
        std::unique_ptr<char[]> chunk(new char[kChunk]);
        for (;;) {
            int64_t got = file->Read(chunk.get(), kChunk);
            if (got < 0) return false;
            if (got == 0) break;
            read.append(chunk.get(), static_cast<size_t>(got));
        }
        text.swap(read);
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

bool ReadLines(IFileSystem& fs, const std::string& path, std::vector<Line>& lines) {
    lines.clear();
    std::unique_ptr<IFile> file = fs.Open(path, OpenMode::Read, Share::DenyNone);
    if (!file) return false;
    // A line is held up to its longest, its CR, and one byte more that tells it is longer.
    const size_t held = kLongestLine + 2;
    auto add = [](std::vector<Line>& to, std::string& line) {
        bool cut = line.size() > kLongestLine + 1 || (line.size() == kLongestLine + 1 && line.back() != '\r');
        if (cut) line.resize(kLongestLine);
        AddLine(to, std::move(line), cut);
        line.clear();
    };
    std::vector<Line> read;
    try {
        std::unique_ptr<char[]> chunk(new char[kChunk]);
        std::string line;
        for (;;) {
            int64_t got = file->Read(chunk.get(), kChunk);
            if (got < 0) return false;
            if (got == 0) break;
            for (const char *p = chunk.get(), *end = p + got; p < end;) {
                const char* lf = static_cast<const char*>(std::memchr(p, '\n', static_cast<size_t>(end - p)));
                const char* stop = lf ? lf : end;
                if (line.size() < held) line.append(p, std::min(static_cast<size_t>(stop - p), held - line.size()));
                if (!lf) break;
                add(read, line);
                p = lf + 1;
            }
        }
        // The summary's last line has no line end.
        if (!line.empty()) add(read, line);
    } catch (const std::bad_alloc&) {
        return false;
    }
    lines.swap(read);
    return true;
}

size_t CutLines(const std::vector<Line>& lines) {
    size_t count = 0;
    for (const Line& line : lines) count += line.cut ? 1 : 0;
    return count;
}

std::string ContentsText(const std::vector<Line>& lines) {
    // Sized once: a large listing is not copied again and again as the text grows.
    size_t size = 0;
    for (const Line& line : lines) size += line.text.size() + 2;
    std::string text;
    text.reserve(size);
    for (const Line& line : lines) text.append(line.text).append("\r\n");
    return text;
}

std::vector<std::string> PathsOfKind(const std::vector<Line>& lines, SourceKind kind) {
    std::vector<std::string> paths;
    for (const Line& line : lines)
        if (line.entry && line.kind == kind) paths.push_back(line.path.empty() ? line.text : line.path);
    return paths;
}

std::string FirstMissingSource(IFileSystem& fs, const std::vector<Line>& lines, bool useNetwork) {
    for (const Line& line : lines) {
        uint32_t attributes = 0;
        if (Taken(line, useNetwork) && !fs.GetAttributes(line.path, attributes)) return line.path;
    }
    return std::string();
}

std::vector<std::string> Sources(IFileSystem& fs, const std::vector<Line>& lines, bool useNetwork) {
    // Folders are keyed without a trailing backslash, in lower case; a path lies in a listed
    // folder when one of its ancestors is a key.
    std::set<std::string> folders;
    for (const Line& line : lines) {
        uint32_t attributes = 0;
        if (Taken(line, useNetwork) && fs.GetAttributes(line.path, attributes) && (attributes & kAttrFolder))
            folders.insert(Key(line.path));
    }
    std::vector<std::string> sources;
    std::set<std::string> seen;
    for (const Line& line : lines) {
        if (!Taken(line, useNetwork)) continue;
        std::string key = Key(line.path);
        bool nested = false;
        for (size_t cut = key.find('\\'); cut != std::string::npos && !nested; cut = key.find('\\', cut + 1))
            nested = folders.count(key.substr(0, cut)) != 0;
        if (!nested && seen.insert(key).second) sources.push_back(line.path);
    }
    return sources;
}

std::vector<std::string> SegmentNames(const std::vector<Line>& lines) {
    static const std::string kHeading = "$ =====Files in ";
    std::vector<std::string> names;
    for (const Line& line : lines) {
        if (line.text.compare(0, kHeading.size(), kHeading) != 0) continue;
        size_t end = line.text.find("=======", kHeading.size());
        names.push_back(line.text.substr(kHeading.size(), end == std::string::npos ? std::string::npos : end - kHeading.size()));
    }
    return names;
}

bool SetIsCurrent(IFileSystem& fs, const std::string& listingPath, const std::vector<Line>& lines,
                  const std::string& segmentFolder, const std::string& setName) {
    FileStatus listing;
    if (!fs.GetStatus(listingPath, listing) || listing.written == 0) return false;
    const std::vector<std::string> segments = SegmentNames(lines);
    if (segments.empty() || CSplitEngine::CountSegments(fs, segmentFolder, setName) != int(segments.size())) return false;
    for (const std::string& name : segments)
        if (!fs.Exists(segmentFolder + name)) return false;
    for (const Line& line : lines) {
        if (!line.entry) continue;
        FileStatus source;
        if (line.kind != SourceKind::Local || !fs.GetStatus(line.path, source) || source.written > listing.written)
            return false;
        if (source.attributes & kAttrFolder) continue;
        const size_t dash = line.text.rfind(" - ");
        char* end = nullptr;
        const char* size = line.text.c_str() + dash + 3;
        const unsigned long long listed = std::strtoull(size, &end, 10);
        if (dash == std::string::npos || end == size || *end != '\0' || listed != source.size) return false;
    }
    return true;
}

void SplitProjectPath(const std::string& projectPath, std::string& folder, std::string& setName) {
    size_t slash = projectPath.find_last_of("\\/");
    folder = slash == std::string::npos ? std::string() : projectPath.substr(0, slash + 1);
    std::string name = slash == std::string::npos ? projectPath : projectPath.substr(slash + 1);
    setName = name.size() > 4 ? name.substr(0, name.size() - 4) : std::string();
}

}  // namespace listing_reader
