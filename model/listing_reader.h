// Reads a set's contents listing back line by line: the lines and the sources they name
// (CProjectListing, model/project_listing.h, makes a project of them).
//
// Entry lines end with " - " and the size in decimal; the path is the text before the LAST
// " - ", so a path that itself holds " - " reads back whole. The file is only ever read, in
// pieces, line by line: a listing on a read-only medium, or one that grows while it is read, is
// taken as it is, and a reader holds one line at a time (no longer than a listing line can be),
// so a large or hostile file cannot exhaust a 32-bit program.
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
    std::string path;    // an entry line's source path: the text before its last " - " (all of it without one)
    SourceKind kind = SourceKind::Refused;
    bool cut = false;    // longer than kLongestLine: text is its start, and it names no source
};

// The whole file as stored; false when it cannot be opened or read.
bool ReadText(IFileSystem& fs, const std::string& path, std::string& text);

// Hands each line of the listing to each, in order, as it is read: the file is never held whole,
// a line is held only up to kLongestLine, and the Line handed over is reused for the next one
// (copy what is kept). each returns false to stop reading. False when the file cannot be opened
// or read.
using LineVisitor = std::function<bool(const Line&)>;
bool ForEachLine(IFileSystem& fs, const std::string& path, const LineVisitor& each);
// Every line kept, for a listing known to be small. False (nothing kept) as ForEachLine.
bool ReadLines(IFileSystem& fs, const std::string& path, std::vector<Line>& lines);

// The text shown by the contents viewer: every line followed by CR LF, in one string sized
// before it is filled (with room for spare bytes more), so the text is never copied as it
// grows. False when the file cannot be read (text is empty then).
bool ReadContentsText(IFileSystem& fs, const std::string& path, std::string& text, size_t spare = 0);

// A segment's heading line: "$ =====Files in NAME_2.SEG=======".
constexpr char kHeading[] = "$ =====Files in ";
// The segment name of a heading line (one that starts with kHeading).
std::string SegmentName(const std::string& line);

// What a project file says about its set: the folder holding it (with its backslash) and the
// set name (the file name without its 4-character extension).
void SplitProjectPath(const std::string& projectPath, std::string& folder, std::string& setName);

}  // namespace listing_reader
