// Reads a set's contents listing back as its project: the lines, the sources they name, and the
// selection the set was built from.
//
// Entry lines end with " - " and the size in decimal; the path is the text before the LAST
// " - ", so a path that itself holds " - " reads back whole. The file is only ever read, in
// pieces, into storage that grows with what was read: a listing of any size, on a read-only
// medium, or one that grows while it is read, is taken as it is.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/file_system.h"

namespace listing_reader {

// One line of the listing as stored, without its line end.
struct Line {
    std::string text;
    bool entry = false;  // not a comment ("$") and not blank
    std::string path;    // the source path of an entry line
};

// The whole file as stored; false when it cannot be opened or read.
bool ReadText(IFileSystem& fs, const std::string& path, std::string& text);
// The listing's lines; false when the file cannot be opened or read (nothing is kept then).
bool ReadLines(IFileSystem& fs, const std::string& path, std::vector<Line>& lines);

// The source path of an entry line: the text before its last " - " (the whole line without one).
std::string SourcePath(const std::string& line);

// The text shown in the contents dialog: every line followed by CR LF.
std::string ContentsText(const std::vector<Line>& lines);

// First entry whose path exists neither as a file nor as a folder; "" when all exist.
std::string FirstMissingSource(IFileSystem& fs, const std::vector<Line>& lines);

// The selection the set was built from: the entries (folders included) that lie in no other
// listed folder, in listing order, each once.
std::vector<std::string> Sources(IFileSystem& fs, const std::vector<Line>& lines);

// What a project file says about its set: the folder holding it (with its backslash) and the
// set name (the file name without its 4-character extension).
void SplitProjectPath(const std::string& projectPath, std::string& folder, std::string& setName);

}  // namespace listing_reader
