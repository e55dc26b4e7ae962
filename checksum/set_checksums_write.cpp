// NAME.sha256 written beside a set: each segment hashed from its file. Apart from the format's
// reading so that the rejoiner, which only reads it, does not carry this.
#include "checksum/set_checksums.h"

#include <vector>

#include "checksum/sha256.h"
#include "engine/split_engine.h"

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
