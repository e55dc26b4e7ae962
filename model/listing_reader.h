// Reads a set's contents listing back as its project: the lines, the sources they name, and the
// selection the set was built from.
//
// Entry lines end with " - " and the size in decimal; the path is the text before the LAST
// " - ", so a path that itself holds " - " reads back whole. The file is only ever read, in
// pieces, line by line: a listing on a read-only medium, or one that grows while it is read, is
// taken as it is, and what it costs in memory is what its lines hold (a line no longer than a
// listing line can be), so a large or hostile file cannot exhaust a 32-bit program.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/file_system.h"

namespace listing_reader {

// The longest line a listing holds: an entry's path of at most 32767 characters (the longest
// path Windows has), " - " and a signed 64-bit size.
constexpr size_t kLongestLine = 32767 + 3 + 21;

// How a listed path may be taken as a source. A listing is a file anyone can hand over: it
// names only absolute local paths when this program wrote it.
enum class SourceKind {
    Local,    // "X:\" and what lies below it (the drive root itself included)
    Network,  // "\\host\share\...": touching it connects to the host it names
    Refused,  // anything else: relative, "X:" or "X:name" (the drive's current folder), device
              // and "\\?\" forms, "." or ".." steps, an empty path
};
SourceKind KindOf(const std::string& path);

// One line of the listing as stored, without its line end.
struct Line {
    std::string text;
    bool entry = false;  // not a comment ("$") and not blank
    std::string path;    // the source path of an entry line
    SourceKind kind = SourceKind::Refused;
    bool cut = false;    // longer than kLongestLine: text is its start, and it names no source
};

// The whole file as stored; false when it cannot be opened or read.
bool ReadText(IFileSystem& fs, const std::string& path, std::string& text);
// The listing's lines, read in pieces: the file is never held whole, and a line is held only up
// to kLongestLine. False when the file cannot be opened or read (nothing is kept then).
bool ReadLines(IFileSystem& fs, const std::string& path, std::vector<Line>& lines);
// How many lines were too long to be listing lines (cut, naming nothing).
size_t CutLines(const std::vector<Line>& lines);

// The source path of an entry line: the text before its last " - " (the whole line without one).
std::string SourcePath(const std::string& line);

// The text shown in the contents dialog: every line followed by CR LF.
std::string ContentsText(const std::vector<Line>& lines);

// The entry lines' paths of one kind (the text of a line whose path is empty), in listing order.
std::vector<std::string> PathsOfKind(const std::vector<Line>& lines, SourceKind kind);

// The checks below look at local entries only, and at network ones when useNetwork is set:
// nothing else is ever probed.
// First entry whose path exists neither as a file nor as a folder; "" when all exist.
std::string FirstMissingSource(IFileSystem& fs, const std::vector<Line>& lines, bool useNetwork = false);

// The selection the set was built from: the entries (folders included) that lie in no other
// listed folder, in listing order, each once.
std::vector<std::string> Sources(IFileSystem& fs, const std::vector<Line>& lines, bool useNetwork = false);

// The segment names of the listing's headings ("$ =====Files in NAME_2.SEG======="), in order.
std::vector<std::string> SegmentNames(const std::vector<Line>& lines);

// True when the set the listing describes is still what its sources would build: its segments
// are all in segmentFolder and no more of them, and every entry exists, as a file of its listed
// size or as a folder, written no later than the listing was. A change inside a folder changes
// the folder's time, so an added or removed file counts too. Anything that cannot be read
// counts as changed.
bool SetIsCurrent(IFileSystem& fs, const std::string& listingPath, const std::vector<Line>& lines,
                  const std::string& segmentFolder, const std::string& setName);

// What a project file says about its set: the folder holding it (with its backslash) and the
// set name (the file name without its 4-character extension).
void SplitProjectPath(const std::string& projectPath, std::string& folder, std::string& setName);

}  // namespace listing_reader
