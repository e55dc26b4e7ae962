// The listing read back line by line: bounded reads, entry paths before the last " - ".
#include "model/listing_reader.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <memory>
#include <new>


namespace listing_reader {

namespace {

constexpr size_t kChunk = 65536;

// Fills line from text as read (its LF gone): text-mode line ends, CR LF (and a lone LF), end a
// line; the CR is not part of it.
void Fill(Line& line, std::string& text, bool cut) {
    if (!cut && !text.empty() && text.back() == '\r') text.pop_back();
    line.cut = cut;
    line.entry = !cut && !text.empty() && text[0] != '$';
    line.path.clear();
    if (line.entry) {
        size_t at = text.rfind(" - ");
        line.path.assign(text, 0, at == std::string::npos ? text.size() : at);
    }
    // No listing this program writes holds a zero byte; a path cut at one would name another
    // file (or a whole drive), so it names none.
    if (line.path.find('\0') != std::string::npos) line.path.clear();
    line.kind = line.entry ? KindOf(line.path) : SourceKind::Refused;
    // Swapped, not copied: both strings keep their room for the lines that follow.
    line.text.swap(text);
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

bool ForEachLine(IFileSystem& fs, const std::string& path, const LineVisitor& each) {
    std::unique_ptr<IFile> file = fs.Open(path, OpenMode::Read, Share::DenyNone);
    if (!file) return false;
    // A line is held up to its longest, its CR, and one byte more that tells it is longer.
    const size_t held = kLongestLine + 2;
    Line line;
    std::string text;
    auto hand = [&] {
        bool cut = text.size() > kLongestLine + 1 || (text.size() == kLongestLine + 1 && text.back() != '\r');
        if (cut) text.resize(kLongestLine);
        Fill(line, text, cut);
        text.clear();
        return each(line);
    };
    try {
        std::unique_ptr<char[]> chunk(new char[kChunk]);
        for (;;) {
            int64_t got = file->Read(chunk.get(), kChunk);
            if (got < 0) return false;
            if (got == 0) break;
            for (const char *p = chunk.get(), *end = p + got; p < end;) {
                const char* lf = static_cast<const char*>(std::memchr(p, '\n', static_cast<size_t>(end - p)));
                const char* stop = lf ? lf : end;
                if (text.size() < held) text.append(p, std::min(static_cast<size_t>(stop - p), held - text.size()));
                if (!lf) break;
                if (!hand()) return true;
                p = lf + 1;
            }
        }
        // The summary's last line has no line end.
        if (!text.empty()) hand();
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

bool ReadLines(IFileSystem& fs, const std::string& path, std::vector<Line>& lines) {
    lines.clear();
    std::vector<Line> read;
    try {
        if (!ForEachLine(fs, path, [&read](const Line& line) {
                read.push_back(line);
                return true;
            }))
            return false;
    } catch (const std::bad_alloc&) {
        return false;
    }
    lines.swap(read);
    return true;
}

bool ReadContentsText(IFileSystem& fs, const std::string& path, std::string& text, size_t spare) {
    text.clear();
    // Measured in a first reading, filled in a second: a text grown piece by piece would be
    // copied as it grows and, for a moment, held twice.
    size_t size = 0;
    if (!ForEachLine(fs, path, [&size](const Line& line) {
            size += line.text.size() + 2;
            return true;
        }))
        return false;
    std::string filled;
    try {
        filled.reserve(size + spare);
        if (!ForEachLine(fs, path, [&filled](const Line& line) {
                filled.append(line.text).append("\r\n");
                return true;
            }))
            return false;
    } catch (const std::bad_alloc&) {
        return false;
    }
    text.swap(filled);
    return true;
}

std::string SegmentName(const std::string& line) {
    const size_t from = sizeof kHeading - 1;
    if (line.compare(0, from, kHeading) != 0) return std::string();
    size_t end = line.find("=======", from);
    return line.substr(from, end == std::string::npos ? std::string::npos : end - from);
}

void SplitProjectPath(const std::string& projectPath, std::string& folder, std::string& setName) {
    size_t slash = projectPath.find_last_of("\\/");
    folder = slash == std::string::npos ? std::string() : projectPath.substr(0, slash + 1);
    std::string name = slash == std::string::npos ? projectPath : projectPath.substr(slash + 1);
    setName = name.size() > 4 ? name.substr(0, name.size() - 4) : std::string();
}

}  // namespace listing_reader
