// Split engine: segment layout, capacity accounting, the listing's text, overwrite and counting.
#include "engine_fixture.h"

namespace {

const std::string kOut = "D:\\out\\";

class SetFormat : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        MkDir("D:\\src");
        MkDir("D:\\out");
    }
    std::string Listing(const std::string& folder = "D:\\out\\", const std::string& base = "B") {
        return ReadWholeFile(Host(folder + base + ".spj"));
    }
};

TEST_F(SetFormat, ThreeSmallFilesMakeOneSegmentWithFlagAndTrailer) {
    Put("D:\\src\\a.txt", Bytes(10));
    Put("D:\\src\\bb.txt", Bytes(20, 'b'));
    Put("D:\\src\\ccc.txt", Bytes(30, 'c'));
    auto e = Engine();
    for (auto n : {"a.txt", "bb.txt", "ccc.txt"}) e->AddItem(std::string("D:\\src\\") + n);
    ASSERT_TRUE(e->Split("D:\\out", "B", 100000));

    auto segs = Segments(kOut, "B");
    ASSERT_EQ(segs.size(), 1u);
    size_t records = (5 + 10) + (6 + 10) + (7 + 10);
    EXPECT_EQ(segs[0].size(), kImage + 1 + records + 60 + 4);
    std::vector<uint8_t> image = Image(kImage);
    EXPECT_EQ(segs[0].substr(0, kImage), std::string(image.begin(), image.end()));
    auto entries = ReadSet(segs, kImage);
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[1].name, "bb.txt");
    EXPECT_EQ(entries[1].size, 20u);
    EXPECT_EQ(entries[1].parent, 0u);
    EXPECT_EQ(entries[1].attributes, 0x20);
    EXPECT_EQ(entries[2].data, Bytes(30, 'c'));
    EXPECT_EQ(e->Destination(), kOut);
    EXPECT_EQ(e->ListingPath(), "D:\\out\\B.spj");
    EXPECT_EQ(e->SegmentCount(), 1);
}

TEST_F(SetFormat, ListingOfOneFileIsExact) {
    Put("D:\\src\\one.bin", Bytes(1000));
    auto e = Engine();
    e->AddItem("D:\\src\\one.bin");
    ASSERT_TRUE(e->Split(kOut, "B", 100000));
    EXPECT_EQ(Listing(),
              "$ =====Files in B_1.EXE=======\r\n"
              "D:\\src\\one.bin - 1000\r\n"
              "$  \r\n$  \r\n$ 1 files included in this Split Set \r\n$  ");
}

// Segment size 400 with a 100-byte image: the first segment has 295 bytes of room.
struct Boundary {
    const char* what;
    size_t firstData;        // bytes of f1.txt (record 16 bytes)
    size_t firstLength;      // expected length of B_1.EXE
    size_t secondLength;     // expected length of B_2.SEG
};

TEST_F(SetFormat, RecordsNeverStraddleAndContentsMayBeCutAnywhere) {
    const Boundary cases[] = {
        // 12 bytes left for a 13-byte record: the record moves on, segment 1 ends 12 short.
        {"12 left, 13-byte record", 267, 400 - 12, 1 + 13 + 5},
        // The record fills the segment exactly: its data starts at offset 1 of segment 2.
        {"record fills segment", 266, 400, 1 + 5},
    };
    for (const Boundary& c : cases) {
        SCOPED_TRACE(c.what);
        shared_.Reset();
        std::system(("rm -f " + Host("D:\\out\\") + "*").c_str());
        Put("D:\\src\\f1.txt", Bytes(c.firstData));
        Put("D:\\src\\abc", Bytes(5, 'x'));
        auto e = Engine();
        e->AddItem("D:\\src\\f1.txt");
        e->AddItem("D:\\src\\abc");
        ASSERT_TRUE(e->Split(kOut, "B", 400));
        auto segs = Segments(kOut, "B");
        ASSERT_EQ(segs.size(), 2u);
        EXPECT_EQ(segs[0].size(), c.firstLength);
        EXPECT_EQ(segs[1].size(), c.secondLength);
        auto entries = ReadSet(segs, kImage);
        ASSERT_EQ(entries.size(), 2u);
        EXPECT_EQ(entries[1].name, "abc");
        EXPECT_EQ(entries[1].data, Bytes(5, 'x'));
    }
}

TEST_F(SetFormat, ContentCutAcrossThreeSegmentsKeepsEverySegmentFull) {
    std::string big = Bytes(900, 'k');
    Put("D:\\src\\big", big);
    auto e = Engine();
    e->AddItem("D:\\src\\big");
    ASSERT_TRUE(e->Split(kOut, "B", 400));
    auto segs = Segments(kOut, "B");
    // 295 - 13 = 282 bytes in the first, 399 in the second, the remaining 219 in the third.
    ASSERT_EQ(segs.size(), 3u);
    EXPECT_EQ(segs[0].size(), 400u);
    EXPECT_EQ(segs[1].size(), 400u);
    EXPECT_EQ(segs[2].size(), 1u + 219);
    auto entries = ReadSet(segs, kImage);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].data, big);
    // The listing names the file again under each later heading.
    EXPECT_EQ(Listing(),
              "$ =====Files in B_1.EXE=======\r\n"
              "D:\\src\\big - 900\r\n"
              "$ =====Files in B_2.SEG=======\r\n$ cont.. D:\\src\\big\r\n"
              "$ =====Files in B_3.SEG=======\r\n$ cont.. D:\\src\\big\r\n"
              "$  \r\n$  \r\n$ 1 files included in this Split Set \r\n$  ");
}

TEST_F(SetFormat, BlocksLargerThanSegmentsAndEmptyFilesRoundTrip) {
    std::string big = Bytes(200000, 'q');
    Put("D:\\src\\big", big);
    Put("D:\\src\\empty", "");
    auto e = Engine();
    e->AddItem("D:\\src\\empty");
    e->AddItem("D:\\src\\big");
    ASSERT_TRUE(e->Split(kOut, "B", 30000));
    auto segs = Segments(kOut, "B");
    ASSERT_EQ(segs.size(), 7u);
    for (size_t i = 0; i + 1 < segs.size(); ++i) EXPECT_EQ(segs[i].size(), 30000u) << i;
    auto entries = ReadSet(segs, kImage);
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].size, 0u);
    EXPECT_EQ(entries[0].data, "");
    EXPECT_EQ(entries[1].data, big);
}

TEST_F(SetFormat, SecondRunAsksAndDeletesTheOldSetUpToTheFirstGap) {
    Put("D:\\src\\f", Bytes(10));
    for (auto n : {"B_1.EXE", "B_2.SEG", "B_4.SEG"}) Put(kOut + n, "old");
    EXPECT_EQ(CSplitEngine::CountSegments(SystemFileSystem(), kOut, "B"), 2);

    prompts_.Then(PromptAnswer::No);
    auto e = Engine();
    e->AddItem("D:\\src\\f");
    EXPECT_FALSE(e->Split(kOut, "B", 100000));
    ASSERT_EQ(prompts_.shown.size(), 1u);
    EXPECT_EQ(prompts_.shown[0].text, "Overwrite existing Split Set! D:\\out\\B_1.EXE");
    EXPECT_EQ(prompts_.shown[0].buttons, PromptButtons::YesNo);
    EXPECT_EQ(ReadWholeFile(Host(kOut + "B_2.SEG")), "old");

    prompts_.Then(PromptAnswer::Yes);
    EXPECT_TRUE(e->Split(kOut, "B", 100000));
    EXPECT_NE(access(Host(kOut + "B_1.EXE").c_str(), F_OK), -1);
    EXPECT_EQ(access(Host(kOut + "B_2.SEG").c_str(), F_OK), -1);
    EXPECT_EQ(ReadWholeFile(Host(kOut + "B_4.SEG")), "old");
    EXPECT_EQ(CSplitEngine::CountSegments(SystemFileSystem(), kOut, "B"), 1);
}

TEST_F(SetFormat, MailerOptionsReplaceWithoutAskingAndKeepTheListingBesideTheSet) {
    Put("D:\\src\\f", Bytes(10));
    MkDir("A:\\sub");
    Put("A:\\sub\\B_1.EXE", "old");
    Put("A:\\sub\\B_2.SEG", "old");
    progress_.cancelled = true;  // the mailer makes no cancel checks
    auto e = Engine(SplitEngineOptions::Mailer());
    e->AddItem("D:\\src\\f");
    EXPECT_TRUE(e->Split("A:\\sub\\", "B", 100000));
    EXPECT_TRUE(prompts_.shown.empty());
    EXPECT_TRUE(progress_.ranges.empty());
    EXPECT_TRUE(progress_.texts.empty());
    auto segs = Segments("A:\\sub\\", "B");
    EXPECT_EQ(segs.size(), 2u);  // the stale second segment is not its business
    EXPECT_EQ(ReadSet({segs[0]}, kImage).size(), 1u);
    EXPECT_EQ(e->ListingPath(), "A:\\sub\\B.spj");
    EXPECT_EQ(access(Host("A:\\sub\\B.spj").c_str(), F_OK), 0);
}

TEST_F(SetFormat, RefusedRunsWriteNothing) {
    Put("D:\\src\\f", Bytes(10));
    struct Case {
        const char* what;
        std::string destination;
        uint64_t size;
        uint64_t freeBytes;
        std::string message;
    } cases[] = {
        {"missing destination", "D:\\nowhere\\", 100000, 1000000000, "D:\\nowhere\\ Does not exist!"},
        {"segment below image + record", kOut, 265, 1000000000,
         "A Split File size of 265 bytes is too small.\nEach Split File must hold at least 266 bytes."},
        {"autosize with no room", kOut, 0, 200,
         "D:\\out\\\nThere is not enough free space left to create another Split File."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        prompts_.shown.clear();
        posix_drives::SetFreeBytes('D', c.freeBytes);
        auto e = Engine();
        e->AddItem("D:\\src\\f");
        EXPECT_FALSE(e->Split(c.destination, "B", c.size));
        EXPECT_EQ(prompts_.Texts(), std::vector<std::string>{c.message});
        EXPECT_EQ(access(Host(kOut + "B_1.EXE").c_str(), F_OK), -1);
        EXPECT_EQ(access(Host(kOut + "B.spj").c_str(), F_OK), -1);
    }
}

TEST_F(SetFormat, TooLittleRoomAsksForAutosizeAtStartAndPerSegment) {
    Put("D:\\src\\f", Bytes(5000));
    posix_drives::SetFreeBytes('D', 4000);  // usable 3800
    prompts_.Then(PromptAnswer::No);
    auto e = Engine();
    e->AddItem("D:\\src\\f");
    EXPECT_FALSE(e->Split(kOut, "B", 10000));
    EXPECT_EQ(prompts_.Texts(), std::vector<std::string>{
        "D:\\out\\\nThere is not enough room to create the\nrequested Split File sizes. \n"
        "Do you want to use Autosize and continue?"});
    EXPECT_TRUE(Segments(kOut, "B").empty());

    // Yes: the size becomes the usable space; the next segment finds less room than that
    // and offers autosize for the rest.
    prompts_.shown.clear();
    prompts_.Then(PromptAnswer::Yes).Then(PromptAnswer::Yes);
    e->SetViewForward([](uint32_t) { posix_drives::SetFreeBytes('D', 2000); });
    EXPECT_TRUE(e->Split(kOut, "B", 10000));
    ASSERT_EQ(prompts_.shown.size(), 2u);
    EXPECT_EQ(prompts_.shown[1].text,
              "D:\\out\\\nThere is not enough room to create the\nrequested Split File size. \n"
              "Switch to Autosize and continue?\n\nNo will abort the split.");
    auto segs = Segments(kOut, "B");
    ASSERT_EQ(segs.size(), 2u);
    EXPECT_EQ(segs[0].size(), 3800u);
    EXPECT_EQ(segs[1].size(), 1u + 5000 - (3800 - kImage - 5 - 11));
    EXPECT_EQ(ReadSet(segs, kImage)[0].data, Bytes(5000));
}

TEST_F(SetFormat, ProgressFollowsEntriesAndCancelEndsTheRun) {
    Put("D:\\src\\f", Bytes(200000));
    auto e = Engine();
    e->AddItem("D:\\src\\f");
    ASSERT_TRUE(e->Split(kOut, "B", 1000000));
    ASSERT_GE(progress_.ranges.size(), 2u);
    EXPECT_EQ(progress_.ranges[0], std::make_pair(0, 11));
    EXPECT_EQ(progress_.ranges[1], std::make_pair(0, 400000));
    EXPECT_EQ(progress_.step, 65536);
    EXPECT_EQ(progress_.texts, (std::vector<std::string>{"Splitting...", "Splitting D:\\src\\f ..."}));
    EXPECT_FALSE(progress_.visible);

    // Cancel seen between blocks of the file: the run fails and the listing is finished.
    progress_ = RecordingProgress();
    progress_.cancelAfterPumps = 2;
    prompts_.Then(PromptAnswer::Yes);  // overwrite
    EXPECT_FALSE(e->Split(kOut, "B", 1000000));
    EXPECT_EQ(prompts_.Texts().back(), "Progress Cancelled");
    std::string listing = Listing();
    EXPECT_NE(listing.find("$ 1 files included in this Split Set \r\n$  "), std::string::npos);
    EXPECT_TRUE(Segments(kOut, "B").empty());
}

// At its usual pace the window hears of a run a few times a second, not at each 64 KiB
// block (46 here); Cancel is still seen at the first block after the visit that brought it.
TEST_F(SetFormat, WindowIsVisitedPerIntervalNotPerBlock) {
    Put("D:\\src\\f", Bytes(3000000));
    auto e = Engine();
    e->SetProgressInterval(3600000);  // no visit but the first
    e->AddItem("D:\\src\\f");
    ASSERT_TRUE(e->Split(kOut, "B", 10000000));
    EXPECT_EQ(progress_.pumps, 1);

    progress_ = RecordingProgress();
    progress_.cancelAfterPumps = 1;
    prompts_.Then(PromptAnswer::Yes);  // overwrite
    EXPECT_FALSE(e->Split(kOut, "B", 10000000));
    EXPECT_EQ(prompts_.Texts().back(), "Progress Cancelled");
    EXPECT_TRUE(Segments(kOut, "B").empty());

    // Nor is it hidden as each segment opens: it stays up until the run ends.
    progress_ = RecordingProgress();
    ASSERT_TRUE(e->Split(kOut, "C", 1000000));
    EXPECT_GE(Segments(kOut, "C").size(), 3u);
    EXPECT_EQ(progress_.hides, 1);
}

}  // namespace
