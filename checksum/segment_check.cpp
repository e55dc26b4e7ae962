// Each segment checked against NAME.sha256 on the open file itself.
#include "checksum/segment_check.h"

#include <vector>

#include "checksum/sha256.h"
#include "rejoiner/segment_name.h"

bool HashOpenFile(IFile& file, std::string& hex, const std::atomic<bool>* stop) {
    if (!file.Seek(0)) return false;
    CSha256 sha;
    std::vector<uint8_t> buffer(1 << 18);  // hashed while the processor's cache still holds it
    for (;;) {
        if (stop && stop->load()) return false;
        int64_t n = file.Read(buffer.data(), buffer.size());
        if (n < 0) return false;
        if (n == 0) break;
        sha.Update(buffer.data(), static_cast<size_t>(n));
    }
    hex = sha.HexDigest();
    return file.Seek(0);
}

bool CSegmentCheck::Check(IFile& file, const std::string& path, std::string& refusal) {
    std::string name = FileNamePart(path), expected;
    if (sums_.Lookup(name, expected) != CSetChecksums::Listed::One) {
        std::string problem = sums_.Problem(name, sumsName_);
        if (!prompts_.AskYesNo(problem + "\r\n\r\nUse it unchecked and go on?")) {
            refusal = problem;
            return false;
        }
        ++unchecked_;
        return true;
    }
    std::string actual;
    if (!HashOpenFile(file, actual)) {
        refusal = "Cannot read " + path + " to check it against " + sumsName_ + ".";
        return false;
    }
    if (actual != expected) {
        refusal = path + " does not match its SHA-256 checksum in " + sumsName_ +
                  ": the segment is damaged, was altered or belongs to another set.";
        return false;
    }
    ++matched_;
    return true;
}
