// Integrity the set format does not carry: NAME.sha256 beside the segments, one line per
// segment in the form `sha256sum -c` reads ("<64 hex digits>  <file name>").
#pragma once

#include <map>
#include <string>

#include "platform/file_system.h"

class CSetChecksums {
public:
    // "C:\sets\NAME_1.EXE" -> "C:\sets\NAME.sha256"; empty when the name has no "_<n>".
    static std::string PathForSegment(const std::string& segmentPath);
    // The SHA-256 of a whole file as hex; false (fs.LastErrorText() tells why) when unreadable.
    static bool HashFile(IFileSystem& fs, const std::string& path, std::string& hex);

    // Hashes segments 1..count of the set at folder (with its backslash) and writes
    // folder\base.sha256. known: digests by segment path made while the set was written;
    // only the others are read. False with error set when a segment cannot be read or the
    // file cannot be written.
    static bool Write(IFileSystem& fs, const std::string& folder, const std::string& base, int count,
                      std::string& error, const std::map<std::string, std::string>* known = nullptr);

    // Reads a checksum file; false when it is not there. Lines that are not checksum lines
    // are counted in Malformed().
    bool Read(IFileSystem& fs, const std::string& path);
    // The expected hash of a segment (by file name, without regard to case), or "".
    std::string Expected(const std::string& fileName) const;
    size_t Count() const { return hashes_.size(); }
    int Malformed() const { return malformed_; }

private:
    std::map<std::string, std::string> hashes_;  // upper-case file name -> hex digest
    int malformed_ = 0;
};
