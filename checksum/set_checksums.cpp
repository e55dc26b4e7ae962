// NAME.sha256 beside a split set: its lines as sha256sum reads and writes them.
#include "checksum/set_checksums.h"

#include <cctype>
#include <cstring>
#include <vector>

#include "platform/text_case.h"
#include "rejoiner/segment_name.h"

namespace {

// No file name with its folders comes near this; a longer line is no checksum line, and is not
// held whole.
constexpr size_t kLongestLine = 65536;

bool IsHex64(const std::string& text, size_t at) {
    if (text.size() < at + 64) return false;
    for (size_t i = at; i < at + 64; ++i)
        if (!std::isxdigit(static_cast<unsigned char>(text[i]))) return false;
    return true;
}

// sha256sum marks a line whose name holds a backslash or a line break with a leading "\" and
// writes those as "\\", "\n" (and "\r").
bool Unescape(std::string& name) {
    std::string out;
    for (size_t i = 0; i < name.size(); ++i) {
        if (name[i] != '\\') {
            out += name[i];
            continue;
        }
        if (++i == name.size()) return false;
        char c = name[i];
        if (c == '\\') out += '\\';
        else if (c == 'n') out += '\n';
        else if (c == 'r') out += '\r';
        else return false;
    }
    name.swap(out);
    return true;
}

// The file name after any folder, whichever separator wrote it.
std::string LastComponent(const std::string& name) {
    size_t slash = name.find_last_of("/\\");
    return slash == std::string::npos ? name : name.substr(slash + 1);
}

// "base_<n>.EXE" or "base_<n>.SEG" (already upper case) with n from 1.
bool IsSegmentOf(const std::string& upperName, const std::string& upperBase) {
    if (upperName.size() < upperBase.size() + 6 || upperName.compare(0, upperBase.size(), upperBase) != 0 ||
        upperName[upperBase.size()] != '_')
        return false;
    std::string rest = upperName.substr(upperBase.size() + 1);
    size_t dot = rest.size() - 4;
    std::string ext = rest.substr(dot);
    if (ext != ".EXE" && ext != ".SEG") return false;
    if (dot == 0 || rest[0] == '0') return false;
    for (size_t i = 0; i < dot; ++i)
        if (rest[i] < '0' || rest[i] > '9') return false;
    return (ext == ".EXE") == (rest.substr(0, dot) == "1");
}

}  // namespace

std::string CSetChecksums::PathForSegment(const std::string& segmentPath) {
    std::string name = FileNamePart(segmentPath);
    size_t dot = name.rfind('.');
    size_t cut = name.rfind('_', dot);
    if (cut == std::string::npos || cut == 0) return std::string();
    return FolderPart(segmentPath) + name.substr(0, cut) + ".sha256";
}

bool CSetChecksums::ParseLine(const std::string& text, std::string& hex, std::string& fileName) {
    std::string line = text;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    bool escaped = !line.empty() && line[0] == '\\';
    if (escaped) line.erase(0, 1);
    std::string name;
    static const std::string kTag = "SHA256 (";
    size_t close = line.rfind(") = ");
    if (line.compare(0, kTag.size(), kTag) == 0 && close != std::string::npos && close >= kTag.size() &&
        line.size() == close + 4 + 64 && IsHex64(line, close + 4)) {
        // "SHA256 (name) = hex", as written by --tag.
        hex = line.substr(close + 4);
        name = line.substr(kTag.size(), close - kTag.size());
    } else if (line.size() > 66 && IsHex64(line, 0) && line[64] == ' ' && (line[65] == ' ' || line[65] == '*')) {
        // "hex  name" (text mode) or "hex *name" (binary mode).
        hex = line.substr(0, 64);
        name = line.substr(66);
    } else {
        return false;
    }
    if (escaped && !Unescape(name)) return false;
    name = LastComponent(name);
    if (name.empty()) return false;
    for (char& c : hex) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    fileName = name;
    return true;
}

void CSetChecksums::Add(const std::string& line) {
    size_t start = line.find_first_not_of(" \t\r");
    if (start == std::string::npos || line[start] == '#') return;
    std::string hex, name;
    if (!ParseLine(line, hex, name)) {
        ++malformed_;
        return;
    }
    auto it = hashes_.emplace(UpperCase(name), hex).first;
    // Two lines that give one name different digests leave it with none: neither may be taken.
    if (it->second != hex) it->second.clear();
}

bool CSetChecksums::Read(IFileSystem& fs, const std::string& path) {
    hashes_.clear();
    malformed_ = 0;
    auto file = fs.Open(path, OpenMode::Read, Share::DenyWrite);
    if (!file) return false;
    // Line by line in pieces: lines anywhere in a file of any length count, and a line too long
    // to be one is skipped without being held.
    std::string line;
    bool tooLong = false;
    std::vector<char> buffer(1 << 16);
    for (;;) {
        int64_t n = file->Read(buffer.data(), buffer.size());
        if (n < 0) return false;
        if (n == 0) break;
        for (const char* p = buffer.data(), *end = p + n; p < end;) {
            const char* lf = static_cast<const char*>(std::memchr(p, '\n', static_cast<size_t>(end - p)));
            const char* stop = lf ? lf : end;
            size_t take = static_cast<size_t>(stop - p);
            if (!tooLong && line.size() + take > kLongestLine) {
                tooLong = true;
                line.clear();
            }
            if (!tooLong) line.append(p, take);
            if (!lf) break;
            if (tooLong) ++malformed_; else Add(line);
            line.clear();
            tooLong = false;
            p = lf + 1;
        }
    }
    if (tooLong) ++malformed_;
    else if (!line.empty()) Add(line);
    return true;
}

CSetChecksums::Listed CSetChecksums::Lookup(const std::string& fileName, std::string& hex) const {
    auto it = hashes_.find(UpperCase(fileName));
    if (it == hashes_.end()) return Listed::None;
    if (it->second.empty()) return Listed::Conflicting;
    hex = it->second;
    return Listed::One;
}

std::string CSetChecksums::Expected(const std::string& fileName) const {
    std::string hex;
    return Lookup(fileName, hex) == Listed::One ? hex : std::string();
}

std::string CSetChecksums::Problem(const std::string& fileName, const std::string& sumsName) const {
    std::string hex;
    switch (Lookup(fileName, hex)) {
        case Listed::One: return std::string();
        case Listed::None: return fileName + " has no line in " + sumsName + ", so it cannot be checked.";
        case Listed::Conflicting: break;
    }
    return sumsName + " gives " + fileName + " different checksums on different lines, so it cannot be checked.";
}

int CSetChecksums::SegmentsListed(const std::string& base) const {
    std::string upperBase = UpperCase(base);
    int count = 0;
    for (const auto& entry : hashes_)
        if (IsSegmentOf(entry.first, upperBase)) ++count;
    return count;
}
