// Integrity the set format does not carry: NAME.sha256 beside the segments, one line per
// segment in a form `sha256sum -c` reads: "<64 hex digits>  <file name>" (or " *<name>"), or
// the tagged "SHA256 (<file name>) = <64 hex digits>". Names may carry a folder ("out/S_1.EXE",
// as `sha256sum out/*` writes them); a segment is known by its file name alone.
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

    // One line of a checksum file: its digest (lower case) and the file name it gives, without
    // any folder. False for anything else (blank lines and "#" comments included).
    static bool ParseLine(const std::string& line, std::string& hex, std::string& fileName);

    // Reads the whole checksum file, however long; false when it cannot be opened or read.
    // Lines that are not checksum lines are counted in Malformed().
    bool Read(IFileSystem& fs, const std::string& path);

    // What the file says of one file name (without regard to case): one digest, no line at all,
    // or lines that give different digests (lines that agree count as one).
    enum class Listed { One, None, Conflicting };
    Listed Lookup(const std::string& fileName, std::string& hex) const;
    // The digest when the file gives exactly one, else "".
    std::string Expected(const std::string& fileName) const;
    // Why a file with no single digest cannot be checked ("" when it has one); sumsName is
    // how the checksum file is named in the text.
    std::string Problem(const std::string& fileName, const std::string& sumsName) const;
    // How many segments of the set named base ("base_<n>.EXE/SEG") have lines.
    int SegmentsListed(const std::string& base) const;

    size_t Count() const { return hashes_.size(); }
    int Malformed() const { return malformed_; }

private:
    void Add(const std::string& line);

    std::map<std::string, std::string> hashes_;  // upper-case file name -> hex digest ("" when lines conflict)
    int malformed_ = 0;
};
