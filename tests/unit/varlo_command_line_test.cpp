// The shell extension's command line: "arg", then the paths joined by a space and "*", in bounds.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shellext/selection_command_line.h"

using Result = CSelectionCommandLine::Result;

TEST(SelectionCommandLine, JoinsPathsAfterTheWordArg) {
    struct Case {
        std::vector<std::string> paths;
        std::string line;
    };
    const Case cases[] = {
        {{}, "arg"},
        {{"C:\\a.txt"}, "arg C:\\a.txt"},
        {{"C:\\a.txt", "C:\\b.txt"}, "arg C:\\a.txt*C:\\b.txt"},
        {{"C:\\x\\one.txt", "C:\\x\\two.txt", "C:\\x\\three.txt"}, "arg C:\\x\\one.txt*C:\\x\\two.txt*C:\\x\\three.txt"},
        // Spaces stay as they are: the main program splits at "*" only.
        {{"C:\\My Files\\a b.txt", "D:\\c d"}, "arg C:\\My Files\\a b.txt*D:\\c d"},
    };
    for (const Case& c : cases) {
        CSelectionCommandLine line;
        for (const std::string& p : c.paths) ASSERT_EQ(line.Add(p), Result::Ok) << p;
        EXPECT_EQ(line.Line(), c.line);
        EXPECT_EQ(line.Count(), c.paths.size());
    }
}

TEST(SelectionCommandLine, PathMustFitItsBuffer) {
    CSelectionCommandLine line;
    ASSERT_EQ(line.Add("C:\\first"), Result::Ok);
    const std::string longest = "C:\\" + std::string(CSelectionCommandLine::kMaxPathBytes - 1 - 3, 'p');
    EXPECT_EQ(line.Add(longest + "q"), Result::PathTooLong);
    EXPECT_EQ(line.Line(), "arg C:\\first") << "a refused path leaves the line as it was";
    EXPECT_EQ(line.Add(longest), Result::Ok);
    EXPECT_EQ(line.Line(), "arg C:\\first*" + longest);
    EXPECT_EQ(line.Count(), 2u);
}

TEST(SelectionCommandLine, LineStopsAtThePlatformLimit) {
    CSelectionCommandLine line;
    const std::string path(400, 'f');
    // Each path adds 401 characters to the 3 of "arg"; fill until the next would not fit.
    size_t added = 0;
    while (line.Line().size() + 1 + path.size() + 1 <= CSelectionCommandLine::kMaxLineChars) {
        ASSERT_EQ(line.Add(path), Result::Ok);
        ++added;
    }
    const std::string before = line.Line();
    EXPECT_EQ(line.Add(path), Result::LineTooLong);
    EXPECT_EQ(line.Line(), before);
    EXPECT_EQ(line.Count(), added);

    // Exactly at the limit is accepted: the line plus its NUL fill 32,767 characters.
    const size_t room = CSelectionCommandLine::kMaxLineChars - 1 - before.size() - 1;
    EXPECT_EQ(line.Add(std::string(room + 1, 'g')), Result::LineTooLong);
    EXPECT_EQ(line.Add(std::string(room, 'g')), Result::Ok);
    EXPECT_EQ(line.Line().size() + 1, CSelectionCommandLine::kMaxLineChars);
}
