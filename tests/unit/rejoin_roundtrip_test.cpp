// Sets written by the split engine come back byte for byte: trees, segment boundaries that
// fall on headers, names with underscores, a drive root as the destination.
#include "rejoin_fixture.h"

#include <random>

#include "engine/split_engine.h"

namespace {

class RoundTrip : public RejoinTest {
protected:
    void SetUp() override {
        RejoinTest::SetUp();
        mkdir((root_ + "/s/src").c_str(), 0777);
        mkdir((root_ + "/s/sets").c_str(), 0777);
        posix_drives::SetFreeBytes('S', 1000000000);
        std::vector<uint8_t> image(kImage);
        for (size_t i = 0; i < image.size(); ++i) image[i] = uint8_t(i * 7);
        image_.Set(image);
    }

    void Put(const std::string& rel, const std::string& content) { WriteWholeFile(root_ + "/s/src/" + rel, content); }
    void Dir(const std::string& rel) { mkdir((root_ + "/s/src/" + rel).c_str(), 0777); }

    // Splits the named items of S:\src into S:\sets\<base>; returns the first segment's path.
    std::string Split(const std::vector<std::string>& items, uint64_t size, const std::string& base = "set") {
        ScriptedPrompts prompts;
        NullProgress progress;
        SplitSharedState shared;
        CSplitEngine engine(SystemFileSystem(), prompts, progress, image_, SplitEngineOptions(), shared);
        engine.SetExeFolder("S:\\");
        for (const auto& item : items) engine.AddItem("S:\\src\\" + item);
        EXPECT_TRUE(engine.Split("S:\\sets\\", base, size));
        EXPECT_TRUE(prompts.shown.empty());
        segments_ = engine.SegmentCount();
        return "S:\\sets\\" + base + "_1.EXE";
    }
    size_t SegmentLength(const std::string& base, int n) {
        return ReadWholeFile(root_ + "/s/sets/" + base + "_" + std::to_string(n) + (n == 1 ? ".EXE" : ".SEG")).size();
    }

    static std::string Random(size_t n, unsigned seed) {
        std::mt19937 gen(seed);
        std::string s(n, '\0');
        for (auto& c : s) c = char(gen());
        return s;
    }

    static constexpr size_t kImage = 100;
    BytesRejoinerImage image_;
    int segments_ = 0;
};

TEST_F(RoundTrip, TreeWithNestedFoldersEmptyFilesAndSpanningContent) {
    Dir("top");
    Dir("top/a");
    Dir("top/a/b");
    Dir("top/empty dir");
    Put("top/a/b/deep.txt", "deep");
    Put("top/e.txt", "");
    Put("top/a/big.bin", Random(200000, 1));
    Put("top/a/z.bin", Random(70001, 2));
    Put("loose.txt", "loose");
    std::string first = Split({"top", "loose.txt"}, 60000);
    ASSERT_GE(segments_, 5);
    EXPECT_EQ(Rejoin(first), 1);
    EXPECT_TRUE(prompts_.shown.empty());
    EXPECT_EQ(segmentsRead_, segments_);
    EXPECT_EQ(Out(), Snapshot(root_ + "/s/src"));
}

TEST_F(RoundTrip, HeadersThatEndASegmentExactly) {
    // Segment size 400 and a 100-byte image leave 295 bytes in the first segment. f1.txt
    // takes 16 + 266; the next record (13 bytes) then ends the segment exactly.
    struct Case {
        const char* what;
        std::string next;  // content of the file whose header ends segment 1
    };
    const Case cases[] = {{"content opens the next segment", std::string(50, 'h')},
                          {"a zero-byte file", std::string()}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::system(("rm -rf " + root_ + "/s/src/* " + root_ + "/s/sets/* " + root_ + "/t/out/*").c_str());
        Put("f1.txt", Random(266, 3));
        Put("hhh", c.next);
        Put("after.txt", "after");
        std::string first = Split({"f1.txt", "hhh", "after.txt"}, 400);
        ASSERT_EQ(SegmentLength("set", 1), 400u);
        EXPECT_EQ(Rejoin(first), 1);
        EXPECT_EQ(segmentsRead_, 2);
        EXPECT_EQ(Out(), Snapshot(root_ + "/s/src"));
    }
}

TEST_F(RoundTrip, SetNameWithUnderscores) {
    Put("data.bin", Random(5000, 4));
    std::string first = Split({"data.bin"}, 2000, "my_big_set");
    ASSERT_GE(segments_, 3);
    EXPECT_EQ(Rejoin(first), 1);
    EXPECT_EQ(segmentsRead_, segments_);
    EXPECT_EQ(Out(), Snapshot(root_ + "/s/src"));
}

TEST_F(RoundTrip, DriveRootDestination) {
    mkdir((root_ + "/c").c_str(), 0777);
    posix_drives::Map('C', root_ + "/c");
    Dir("d");
    Put("d/in.txt", "in");
    Put("top.txt", "top");
    std::string first = Split({"d", "top.txt"}, 100000);
    EXPECT_EQ(Rejoin(first, "C:\\"), 1);
    EXPECT_EQ(Snapshot(root_ + "/c"), Snapshot(root_ + "/s/src"));
    // Again: both files exist now, and the question names them with one separator.
    overwrite_.fallback = kOverwriteYes;
    EXPECT_EQ(Rejoin(first, "C:\\"), 1);
    std::vector<std::string> asked = {"C:\\d\\in.txt exists.", "C:\\top.txt exists."};
    EXPECT_EQ(overwrite_.asked, asked);
}

}  // namespace
