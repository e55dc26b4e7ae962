// The shell extension's command line: "arg", then the paths joined by a space and "*", in bounds.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shellext/selection_command_line.h"

using Result = CSelectionCommandLine::Result;

TEST(SelectionCommandLine, JoinsPathsAfterTheWordArg) {
    const struct {
        std::vector<std::string> paths;
        std::string line;
    } cases[] = {
        {{}, "arg"},
        {{"C:\\a.txt"}, "arg C:\\a.txt"},
        {{"C:\\x\\one", "C:\\x\\two", "C:\\x\\three"}, "arg C:\\x\\one*C:\\x\\two*C:\\x\\three"},
        // Spaces stay as they are: the main program splits at "*" only.
        {{"C:\\My Files\\a b.txt", "D:\\c d"}, "arg C:\\My Files\\a b.txt*D:\\c d"},
    };
    for (const auto& c : cases) {
        CSelectionCommandLine line;
        for (const std::string& p : c.paths) ASSERT_EQ(line.Add(p), Result::Ok) << p;
        EXPECT_EQ(line.Line(), c.line);
        EXPECT_EQ(line.Count(), c.paths.size());
    }
}

TEST(SelectionCommandLine, RefusesWhatDoesNotFitAndKeepsTheLine) {
    CSelectionCommandLine line;
    const std::string longest(CSelectionCommandLine::kMaxPathBytes - 1, 'p');  // NUL fills the buffer
    EXPECT_EQ(line.Add(longest + "q"), Result::PathTooLong);
    EXPECT_EQ(line.Line(), "arg");
    // Fill up to the platform's limit: the line and its NUL may take exactly 32,767 characters.
    while (line.Line().size() + 1 + longest.size() + 1 <= CSelectionCommandLine::kMaxLineChars)
        ASSERT_EQ(line.Add(longest), Result::Ok);
    const size_t room = CSelectionCommandLine::kMaxLineChars - 1 - line.Line().size() - 1;
    const std::string before = line.Line();
    EXPECT_EQ(line.Add(std::string(room + 1, 'g')), Result::LineTooLong);
    EXPECT_EQ(line.Line(), before);
    EXPECT_EQ(line.Add(std::string(room, 'g')), Result::Ok);
    EXPECT_EQ(line.Line().size() + 1, CSelectionCommandLine::kMaxLineChars);
    EXPECT_EQ(line.Add("h"), Result::LineTooLong);
}
