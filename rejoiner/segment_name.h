// Names of the segments of a set, read from the segment paths themselves.
#pragma once

#include <string>

// The file name of the segment after the one at path: "<set>_<n+1>.SEG", where n is the
// number after the last "_" of path's file name (its extension dropped) and <set> the text
// before it, underscores included. False when the name carries no usable number.
bool NextSegmentName(const std::string& path, std::string& nextName);

// "C:\a\b.EXE" -> "C:\a\" (empty when there is no backslash).
std::string FolderPart(const std::string& path);
// "C:\a\b.EXE" -> "b.EXE".
std::string FileNamePart(const std::string& path);
