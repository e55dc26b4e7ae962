// Split engine: free space, the write test and spanning a set across removable disks.
#include "engine_fixture.h"

namespace {

const std::string kInsert = "Please insert another disk in drive A";

class Disks : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        MkDir("D:\\src");
        MkDir("A:\\sub");
        Put("D:\\src\\data", data_);
    }
    // "Swaps the disk": everything on A: moves to a folder of its own.
    std::function<void()> Swap() {
        return [this] {
            std::string to = root_ + "/moved/" + std::to_string(++disks_);
            std::system(("mkdir -p " + to + " && mv " + root_ + "/a/* " + to + "/").c_str());
        };
    }
    // The segments of set B wherever the swaps put them, in order.
    std::vector<std::string> Gathered() {
        std::vector<std::string> out;
        for (int i = 1;; ++i) {
            std::string name = CSplitEngine::SegmentName("B", i), found;
            for (int d = 1; d <= disks_ && found.empty(); ++d)
                for (const char* sub : {"/", "/sub/"})
                    if (access((root_ + "/moved/" + std::to_string(d) + sub + name).c_str(), F_OK) == 0)
                        found = root_ + "/moved/" + std::to_string(d) + sub + name;
            if (found.empty() && access((root_ + "/a/" + name).c_str(), F_OK) == 0) found = root_ + "/a/" + name;
            if (found.empty()) break;
            out.push_back(ReadWholeFile(found));
        }
        return out;
    }
    std::string data_ = Bytes(700000, 'd');
    int disks_ = 0;
};

TEST_F(Disks, UsableFreeSpaceIsNineteenTwentieths) {
    const std::pair<uint64_t, uint64_t> cases[] = {
        {1000000, 950000}, {39, 19}, {19, 0}, {52000, 49400}, {0, 0}, {20ull << 32, 19ull << 32}};
    auto e = Engine();
    for (auto [raw, usable] : cases) {
        posix_drives::SetFreeBytes('A', raw);
        EXPECT_EQ(e->GetUsableFreeSpace("A:\\"), usable) << raw;
    }
    EXPECT_EQ(e->GetUsableFreeSpace("Q:\\"), 0u);  // a failed query counts as nothing free
}

TEST_F(Disks, WriteTestLeavesNothingBehindOrDescribesTheError) {
    auto e = Engine();
    std::string folder = "A:\\";
    EXPECT_TRUE(e->TestWritable(folder));
    EXPECT_EQ(folder, "A:\\tmp.xtx");
    EXPECT_NE(access((root_ + "/a/tmp.xtx").c_str(), F_OK), 0);
    std::string missing = "Q:\\";
    EXPECT_FALSE(e->TestWritable(missing));
    EXPECT_EQ(missing, SystemFileSystem().LastErrorText());
    EXPECT_FALSE(missing.empty());
}

TEST_F(Disks, SpansDisksAskingBeforeEverySegmentAfterTheFirst) {
    auto e = Engine();
    e->AddItem("D:\\src\\data");
    int brought = 0;
    e->SetBringToFront([&] { ++brought; });
    prompts_.Then(PromptAnswer::Ok, Swap()).Then(PromptAnswer::Ok, Swap());
    ASSERT_TRUE(e->Split("A:\\sub", "B", 300000));

    EXPECT_EQ(prompts_.Texts(), (std::vector<std::string>{kInsert, kInsert}));
    EXPECT_EQ(prompts_.shown[0].buttons, PromptButtons::OkCancel);
    EXPECT_EQ(brought, 2);
    EXPECT_EQ(e->Destination(), "A:\\");
    EXPECT_EQ(access((root_ + "/moved/1/sub/B_1.EXE").c_str(), F_OK), 0);  // first disk: the folder
    EXPECT_EQ(access((root_ + "/moved/2/B_2.SEG").c_str(), F_OK), 0);      // later disks: the root
    auto segs = Gathered();
    ASSERT_EQ(segs.size(), 3u);
    EXPECT_EQ(segs[0].size(), 300000u);
    EXPECT_EQ(segs[1].size(), 300000u);
    auto entries = ReadSet(segs, kImage);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].data, data_);

    // The listing stays off the diskettes, beside the program.
    EXPECT_EQ(e->ListingPath(), "X:\\B.spj");
    std::string listing = ReadWholeFile(root_ + "/x/B.spj");
    EXPECT_NE(listing.find("$ =====Files in B_3.SEG=======\r\n$ cont.. D:\\src\\data\r\n"), std::string::npos);
    EXPECT_NE(access((root_ + "/a/B.spj").c_str(), F_OK), 0);
}

TEST_F(Disks, RefusesTheDiskWithThePreviousSegmentAndDisksBelowTheFloor) {
    auto e = Engine();
    e->AddItem("D:\\src\\data");
    prompts_.Then(PromptAnswer::Ok)  // the same disk again
        .Then(PromptAnswer::Ok, [this] { Swap()(); posix_drives::SetFreeBytes('A', 52000); })
        .Then(PromptAnswer::Ok)      // the floor message
        .Then(PromptAnswer::Ok, [] { posix_drives::SetFreeBytes('A', 1000000); })
        .Then(PromptAnswer::Ok, Swap());
    ASSERT_TRUE(e->Split("A:\\sub\\", "B", 300000));
    EXPECT_EQ(prompts_.Texts(),
              (std::vector<std::string>{
                  kInsert, kInsert + "\nCannot overwrite previous segment A:\\sub\\B_1.EXE.",
                  "Must have at least 50K available free space!", kInsert, kInsert}));
    EXPECT_EQ(ReadSet(Gathered(), kImage)[0].data, data_);
}

TEST_F(Disks, UnreadableAndWriteProtectedDisksAreAskedForAgain) {
    FaultyFileSystem fs(SystemFileSystem());
    auto e = Engine(fs);
    e->AddItem("D:\\src\\data");
    prompts_.Then(PromptAnswer::Ok, [this] { posix_drives::Map('A', root_ + "/none", DriveType::Removable); })
        .Then(PromptAnswer::Ok, [&] {
            posix_drives::Map('A', root_ + "/a", DriveType::Removable);
            posix_drives::SetFreeBytes('A', 1000000);
            Swap()();
            fs.refuseCreate = "tmp.xtx";
        })
        .Then(PromptAnswer::Ok, [&] { fs.refuseCreate.clear(); })
        .Then(PromptAnswer::Ok, Swap());
    ASSERT_TRUE(e->Split("A:\\sub\\", "B", 300000));
    EXPECT_EQ(prompts_.Texts(), (std::vector<std::string>{kInsert, kInsert + "\nA:\\ cannot be accessed.",
                                                          "Write protected\r\nTry another diskette", kInsert}));
}

TEST_F(Disks, CancelAtThePromptFailsTheRunRemovesItsSegmentAndFinishesTheListing) {
    auto e = Engine();
    e->AddItem("D:\\src\\data");
    prompts_.Then(PromptAnswer::Cancel);
    EXPECT_FALSE(e->Split("A:\\sub\\", "B", 300000));
    EXPECT_EQ(access((root_ + "/a/sub/B_1.EXE").c_str(), F_OK), -1);
    EXPECT_EQ(e->CreatedFiles(), (std::vector<std::string>{"X:\\B.spj", "A:\\sub\\B_1.EXE"}));
    std::string listing = ReadWholeFile(root_ + "/x/B.spj");
    const std::string summary = "$  \r\n$ 1 files included in this Split Set \r\n$  ";
    ASSERT_GE(listing.size(), summary.size());
    EXPECT_EQ(listing.substr(listing.size() - summary.size()), summary);
}

TEST_F(Disks, AutosizeSizesEachSegmentByTheDiskThatReceivesIt) {
    posix_drives::SetFreeBytes('A', 400000);  // usable 380000
    auto e = Engine();
    e->AddItem("D:\\src\\data");
    prompts_.Then(PromptAnswer::Ok, [this] { Swap()(); posix_drives::SetFreeBytes('A', 200000); })
        .Then(PromptAnswer::Ok, [this] { Swap()(); posix_drives::SetFreeBytes('A', 1000000); });
    ASSERT_TRUE(e->Split("A:\\sub\\", "B", 0));
    auto segs = Gathered();
    ASSERT_EQ(segs.size(), 3u);
    EXPECT_EQ(segs[0].size(), 380000u);
    EXPECT_EQ(segs[1].size(), 190000u);
    EXPECT_EQ(ReadSet(segs, kImage)[0].data, data_);
}

}  // namespace
