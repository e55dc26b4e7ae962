// Builds the main program's command line from the selected paths, within fixed bounds.
#pragma once

#include <cstddef>
#include <string>

// The line starts with the word "arg", which stands where a program name would be (the program
// is started by its own path); the paths follow unquoted, a space before the first and "*"
// before every later one, which is how the main program splits them again.
class CSelectionCommandLine {
public:
    // A path must fit the 500-byte buffer it is copied through, terminating NUL included.
    static constexpr size_t kMaxPathBytes = 500;
    // The longest command line the platform accepts, terminating NUL included.
    static constexpr size_t kMaxLineChars = 32767;

    enum class Result { Ok, PathTooLong, LineTooLong };

    // Appends one path. On a refusal the line is left as it was.
    Result Add(const std::string& path);

    const std::string& Line() const { return line_; }
    size_t Count() const { return count_; }

private:
    std::string line_ = "arg";
    size_t count_ = 0;
};
