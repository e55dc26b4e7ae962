// Segment names parsed from paths, the ">" indicator's cycle, and the dialog's path rules.
#include <gtest/gtest.h>

#include "rejoiner/rejoin_indicator.h"
#include "rejoiner/rejoin_paths.h"
#include "rejoiner/segment_name.h"

TEST(SegmentName, NextNameComesFromTheLastUnderscore) {
    struct Case {
        const char* path;
        const char* next;  // nullptr: no usable number
    };
    const Case cases[] = {
        {"C:\\x\\my_big_set_1.EXE", "my_big_set_2.SEG"},
        {"A:\\set_9.SEG", "set_10.SEG"},
        {"C:\\in.dir\\set_1.exe", "set_2.SEG"},
        {"C:\\a.b_1.EXE", "a.b_2.SEG"},
        {"C:\\x\\set_3", "set_4.SEG"},
        {"C:\\x\\set_12abc.EXE", "set_13.SEG"},
        {"C:\\x\\setup.exe", nullptr},
        {"C:\\x\\set_.EXE", nullptr},
        {"C:\\x_1\\plain.EXE", nullptr},
        {"C:\\x\\set_99999999999999.SEG", nullptr},
    };
    for (const Case& c : cases) {
        std::string next;
        bool ok = NextSegmentName(c.path, next);
        EXPECT_EQ(ok, c.next != nullptr) << c.path;
        if (c.next) {
            EXPECT_EQ(next, c.next) << c.path;
        }
    }
    EXPECT_EQ(FolderPart("C:\\a\\b.EXE"), "C:\\a\\");
    EXPECT_EQ(FileNamePart("C:\\a\\b.EXE"), "b.EXE");
}

TEST(RejoinIndicator, CyclesOneToSevenArrows) {
    std::vector<std::string> shown;
    CRejoinIndicator indicator([&](const std::string& t) { shown.push_back(t); }, 0);
    for (int i = 0; i < 9; ++i) indicator.Step();
    std::vector<std::string> expected = {">", ">>", ">>>", ">>>>", ">>>>>", ">>>>>>", ">>>>>>>", ">", ">>"};
    EXPECT_EQ(shown, expected);
}

TEST(RejoinPaths, ProgramPathKeepsOrAddsTheExtension) {
    using rejoin_paths::ProgramPath;
    EXPECT_EQ(ProgramPath("C:\\in\\set_1.EXE", "set_1.EXE"), "C:\\in\\set_1.EXE");
    EXPECT_EQ(ProgramPath("C:\\in\\set_1.exe", "set_1.exe"), "C:\\in\\set_1.exe");  // no second ".EXE"
    EXPECT_EQ(ProgramPath("C:\\in\\set_1.EXE", "set_1"), "C:\\in\\set_1.EXE");     // extensions hidden
    EXPECT_EQ(ProgramPath("A:\\my_big_set_1.EXE", "my_big_set_1"), "A:\\my_big_set_1.EXE");
}

TEST(RejoinPaths, UpCutsOneLevel) {
    struct Case {
        const char* current;
        const char* parent;  // nullptr: nothing happens
    };
    const Case cases[] = {
        {"C:\\a\\b\\", "C:\\a\\"}, {"C:\\a\\b", "C:\\a"}, {"C:\\a\\", "C:\\"}, {"C:\\a", "C:"},
        {"C:\\", nullptr},          {"C:", nullptr},
    };
    for (const Case& c : cases) {
        std::string parent;
        bool moved = rejoin_paths::UpFolder(c.current, parent);
        EXPECT_EQ(moved, c.parent != nullptr) << c.current;
        if (c.parent) {
            EXPECT_EQ(parent, c.parent) << c.current;
        }
    }
    EXPECT_TRUE(rejoin_paths::IsDriveRoot("C:\\"));
    EXPECT_TRUE(rejoin_paths::IsDriveRoot("a:"));
    EXPECT_FALSE(rejoin_paths::IsDriveRoot("C:\\a"));
    EXPECT_EQ(rejoin_paths::WithBackslash("C:\\"), "C:\\");
    EXPECT_EQ(rejoin_paths::WithBackslash("C:\\a"), "C:\\a\\");
}

TEST(RejoinPaths, CompletionMessage) {
    using rejoin_paths::CompletionMessage;
    EXPECT_EQ(CompletionMessage(false, false, "C:\\s_1.EXE", "D:\\out\\"),
              "Zembra has Rejoined C:\\s_1.EXE\n\rTo D:\\out\\");
    EXPECT_EQ(CompletionMessage(true, false, "A:\\s_1.EXE", "D:\\out\\"),
              "Please insert first diskette of Zembra set.\n\rZembra has Rejoined A:\\s_1.EXE\n\rTo D:\\out\\");
    // After a reported fault there is nothing to announce, only the diskette to ask for.
    EXPECT_EQ(CompletionMessage(false, true, "C:\\s_1.EXE", "D:\\out\\"), "");
    EXPECT_EQ(CompletionMessage(true, true, "A:\\s_1.EXE", "D:\\out\\"), "Please insert first diskette of Zembra set.");
    // A walk cut short by a missing segment is never announced as done.
    EXPECT_EQ(CompletionMessage(false, false, "C:\\s_1.EXE", "D:\\out\\", "s_3.SEG", "D:\\out\\big.bin"),
              "The Rejoin is incomplete: the segment s_3.SEG of C:\\s_1.EXE was not found.\n\r"
              "D:\\out\\big.bin was not restored: the set ends inside it.\n\rWhat came before it is in D:\\out\\");
}
