// NAME.sha256 beside a split set.
#include "cli/set_checksums.h"

#include <cctype>
#include <vector>

#include "cli/sha256.h"
#include "engine/split_engine.h"
#include "platform/text_case.h"
#include "rejoiner/segment_name.h"

namespace {

bool IsHex64(const std::string& text) {
    if (text.size() != 64) return false;
    for (char c : text)
        if (!std::isxdigit(static_cast<unsigned char>(c))) return false;
    return true;
}

}  // namespace

std::string CSetChecksums::PathForSegment(const std::string& segmentPath) {
    std::string name = FileNamePart(segmentPath);
    size_t dot = name.rfind('.');
    size_t cut = name.rfind('_', dot);
    if (cut == std::string::npos || cut == 0) return std::string();
    return FolderPart(segmentPath) + name.substr(0, cut) + ".sha256";
}

bool CSetChecksums::HashFile(IFileSystem& fs, const std::string& path, std::string& hex) {
    auto file = fs.Open(path, OpenMode::Read, Share::DenyWrite);
    if (!file) return false;
    CSha256 sha;
    std::vector<uint8_t> buffer(1 << 16);
    for (;;) {
        int64_t n = file->Read(buffer.data(), buffer.size());
        if (n < 0) return false;
        if (n == 0) break;
        sha.Update(buffer.data(), static_cast<size_t>(n));
    }
    hex = sha.HexDigest();
    return true;
}

bool CSetChecksums::Write(IFileSystem& fs, const std::string& folder, const std::string& base, int count,
                          std::string& error, const std::map<std::string, std::string>* known) {
    std::string text;
    for (int n = 1; n <= count; ++n) {
        std::string name = CSplitEngine::SegmentName(base, n), hex;
        auto it = known ? known->find(folder + name) : std::map<std::string, std::string>::const_iterator();
        if (known && it != known->end()) {
            hex = it->second;
        } else if (!HashFile(fs, folder + name, hex)) {
            error = "cannot read " + folder + name + " to make its checksum: " + fs.LastErrorText();
            return false;
        }
        text += hex + "  " + name + "\n";
    }
    std::string path = folder + base + ".sha256";
    auto file = fs.Open(path, OpenMode::CreateWrite, Share::DenyWrite);
    if (!file || !file->Write(text.data(), text.size()) || !file->Close()) {
        error = "cannot write " + path + ": " + fs.LastErrorText();
        if (file) fs.RemoveFile(path);
        return false;
    }
    return true;
}

bool CSetChecksums::Read(IFileSystem& fs, const std::string& path) {
    hashes_.clear();
    malformed_ = 0;
    auto file = fs.Open(path, OpenMode::Read, Share::DenyWrite);
    if (!file) return false;
    std::string text;
    char buffer[4096];
    for (int64_t n; (n = file->Read(buffer, sizeof buffer)) > 0 && text.size() < (1u << 20);)
        text.append(buffer, static_cast<size_t>(n));
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        // "<hex>  <name>" (text mode) or "<hex> *<name>" (binary mode).
        if (line.size() < 67 || !IsHex64(line.substr(0, 64)) || line[64] != ' ' ||
            (line[65] != ' ' && line[65] != '*')) {
            ++malformed_;
            continue;
        }
        std::string hex = line.substr(0, 64);
        for (char& c : hex) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        hashes_[UpperCase(line.substr(66))] = hex;
    }
    return true;
}

std::string CSetChecksums::Expected(const std::string& fileName) const {
    auto it = hashes_.find(UpperCase(fileName));
    return it == hashes_.end() ? std::string() : it->second;
}
