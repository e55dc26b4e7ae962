// The listing read back: bounded reads, entry paths before the last " - ", the top-level sources.
#include "model/listing_reader.h"

#include <cctype>
#include <memory>
#include <new>
#include <set>

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

void AddLine(std::vector<Line>& lines, std::string text) {
    // Text-mode line ends: CR LF (and a lone LF) end a line; the CR is not part of it.
    if (!text.empty() && text.back() == '\r') text.pop_back();
    Line line;
    line.entry = !text.empty() && text[0] != '$';
    if (line.entry) line.path = SourcePath(text);
    // No listing this program writes holds a zero byte; a path cut at one would name another
    // file (or a whole drive), so it names none.
    if (line.path.find('\0') != std::string::npos) line.path.clear();
    line.text = std::move(text);
    lines.push_back(std::move(line));
}

}  // namespace

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
    std::string text;
    if (!ReadText(fs, path, text)) return false;
    std::vector<Line> read;
    size_t start = 0;
    for (size_t lf; (lf = text.find('\n', start)) != std::string::npos; start = lf + 1)
        AddLine(read, text.substr(start, lf - start));
    // The summary's last line has no line end.
    if (start < text.size()) AddLine(read, text.substr(start));
    lines.swap(read);
    return true;
}

std::string ContentsText(const std::vector<Line>& lines) {
    std::string text;
    for (const Line& line : lines) text += line.text + "\r\n";
    return text;
}

std::string FirstMissingSource(IFileSystem& fs, const std::vector<Line>& lines) {
    for (const Line& line : lines) {
        uint32_t attributes = 0;
        if (line.entry && !fs.GetAttributes(line.path, attributes)) return line.path.empty() ? line.text : line.path;
    }
    return std::string();
}

std::vector<std::string> Sources(IFileSystem& fs, const std::vector<Line>& lines) {
    // Folders are keyed without a trailing backslash, in lower case; a path lies in a listed
    // folder when one of its ancestors is a key.
    std::set<std::string> folders;
    for (const Line& line : lines) {
        uint32_t attributes = 0;
        if (line.entry && fs.GetAttributes(line.path, attributes) && (attributes & kAttrFolder))
            folders.insert(Key(line.path));
    }
    std::vector<std::string> sources;
    std::set<std::string> seen;
    for (const Line& line : lines) {
        if (!line.entry) continue;
        std::string key = Key(line.path);
        bool nested = false;
        for (size_t cut = key.find('\\'); cut != std::string::npos && !nested; cut = key.find('\\', cut + 1))
            nested = folders.count(key.substr(0, cut)) != 0;
        if (!nested && seen.insert(key).second) sources.push_back(line.path);
    }
    return sources;
}

void SplitProjectPath(const std::string& projectPath, std::string& folder, std::string& setName) {
    size_t slash = projectPath.find_last_of("\\/");
    folder = slash == std::string::npos ? std::string() : projectPath.substr(0, slash + 1);
    std::string name = slash == std::string::npos ? projectPath : projectPath.substr(slash + 1);
    setName = name.size() > 4 ? name.substr(0, name.size() - 4) : std::string();
}

}  // namespace listing_reader
