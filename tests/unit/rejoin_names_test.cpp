// Segment names parsed from paths, and the ">" indicator's cycle.
#include <gtest/gtest.h>

#include "rejoiner/rejoin_indicator.h"
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
    CRejoinIndicator indicator([&](const std::string& t) { shown.push_back(t); });
    for (int i = 0; i < 9; ++i) indicator.Step();
    std::vector<std::string> expected = {">", ">>", ">>>", ">>>>", ">>>>>", ">>>>>>", ">>>>>>>", ">", ">>"};
    EXPECT_EQ(shown, expected);
}
