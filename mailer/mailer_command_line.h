// The mailer's command line: "&Segmented <prefix> <count>" for a set on disk, or
// "*"-separated file paths to split and mail.
#pragma once

#include <string>
#include <vector>

class CMailerCommandLine {
public:
    enum class Mode { Empty, Segmented, FileList, PathTooLong };

    // Longest path a file list may carry (it has always been copied into MAX_PATH bytes).
    static constexpr size_t kMaxPath = 259;

    // line is the part after the program name.
    void Parse(const std::string& line);

    // The part of a whole command line after the program name (quoted or not).
    static std::string AfterProgramName(const std::string& commandLine);
    // Segment n (from 1) of the set: "<prefix>_<n>.exe" for 1, ".seg" after, spaces trimmed.
    static std::string SegmentFileName(const std::string& prefix, int n);

    Mode mode = Mode::Empty;
    std::string prefix;              // Segmented: the set's folder and name, untrimmed
    int count = 0;                   // Segmented: number of segments
    std::vector<std::string> files;  // FileList
    std::string tooLongPath;         // PathTooLong: the path refused
};
