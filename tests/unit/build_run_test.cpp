// The build command's core: its arithmetic in 64 bits, its checks and messages in order, and the
// clean-up after a failed run, which takes back only what that run created.
#include "build_run_fixture.h"
#include "checksum/set_checksums.h"
#include "model/build_estimate.h"
#include "model/recovery_setting.h"
#include "model/wizard_rules.h"
#include "rejoiner/rejoiner_image.h"

namespace {

using namespace build_estimate;

TEST(BuildEstimate, EstimateCountAndCut) {
    // The worked figures: 10,000 bytes at 1000 K are cut to 160 K; 1,150,000 bytes need 3 disks of 475,000.
    EXPECT_EQ(Estimate(10000, 100), 160000u);
    EXPECT_EQ(RunSizeK(1000, 160000), 160);
    EXPECT_EQ(RunSizeK(150, 160000), 150);
    EXPECT_EQ(RunSizeK(0, 160000), 0);
    EXPECT_EQ(DisketteCount(Estimate(1000000, 0), 475000), 3u);
    EXPECT_EQ(DisketteCount(950000, 475000), 2u);
    EXPECT_EQ(DisketteCount(1, 475000), 1u);
    // Sets of 4 GB and more: nothing wraps.
    const uint64_t fiveGB = 5000000000ull;
    EXPECT_EQ(Estimate(fiveGB, 0), 5000150000ull);
    EXPECT_EQ(DisketteCount(Estimate(fiveGB, 0), 1400000), 3572u);
    EXPECT_EQ(DisketteCount(Estimate(fiveGB, 0), 5ull << 32), 1u);
    EXPECT_EQ(RunSizeK(2000000, Estimate(fiveGB, 0)), 2000000);
    // A rejoiner image larger than the overhead counts in full, with room for the records.
    EXPECT_EQ(Estimate(0, 267264), 317264u);
    EXPECT_EQ(RunSizeK(1440, Estimate(0, 267264)), 317);
}

class Build : public BuildRunTest {
protected:
    void SetUp() override {
        BuildRunTest::SetUp();
        Put("D:\\src\\b.bin", Bytes(4000, 'b'));
        rq_.modified = true;
        rq_.maxFileSize = 1000;
        rq_.items = {"D:\\src\\a.txt", "", "D:\\src\\b.bin"};
        rq_.setName = "B";
        rq_.totalSize = 10000;
    }
    bool Exists(const std::string& windowsPath) { return access(Host(windowsPath).c_str(), F_OK) == 0; }
    // What a folder holds, by name (sorted).
    std::vector<std::string> Names(const std::string& folder) {
        std::vector<std::string> names;
        for (const auto& entry : ListTree(SystemFileSystem(), folder)) names.push_back(entry.first);
        return names;
    }
};

// The figures a user meets, with the rejoiner the programs carry (hundreds of K, not the 100
// bytes the other cases use): the segment size a small set is cut to, the diskettes announced,
// and the smallest size the form accepts still building a set.
TEST_F(Build, TheShippedRejoinerGivesFiguresThatHold) {
    std::vector<uint8_t> real;
    ASSERT_TRUE(BuiltInRejoinerImage(real));
    ASSERT_GT(real.size(), kOverhead);
    image_.Set(real);
    const uint64_t estimate = real.size() + kRecordRoom + 10000;

    // A small set: one segment, no larger than the size it was cut to, the image at its head.
    ASSERT_TRUE(Run());
    EXPECT_EQ(out_.estimate, estimate);
    EXPECT_EQ(out_.segmentBytes, estimate / 1000 * 1000);
    std::vector<std::string> segments = Segments("D:\\out\\", "B");
    ASSERT_EQ(segments.size(), 1u);
    EXPECT_LE(segments[0].size(), out_.segmentBytes);
    EXPECT_EQ(segments[0].compare(0, real.size(), std::string(real.begin(), real.end())), 0);

    // Onto a diskette of 1,000,000 free bytes: the count announced is the count the estimate needs.
    engine_ = Engine();
    rq_.saveLocation = "A:\\";
    prompts_.shown.clear();
    prompts_.Then(PromptAnswer::Cancel);
    EXPECT_FALSE(Run());
    const uint64_t usable = CSplitEngine::UsableFreeSpace(SystemFileSystem(), "A:\\");
    ASSERT_FALSE(prompts_.shown.empty());
    EXPECT_EQ(prompts_.shown.back().text,
              std::to_string((estimate + usable - 1) / usable) + " Diskettes will be required for this Split Set.");

    // The smallest size the form lets through still builds, the rejoiner and all: 200 K is
    // raised to what the image needs, and the user is told that figure.
    Put("D:\\src\\big.bin", Bytes(900000, 'g'));
    engine_ = Engine();
    rq_.saveLocation = "D:\\out";
    rq_.items = {"D:\\src\\big.bin"};
    rq_.totalSize = 900000;
    rq_.maxFileSize = kMinimumK;
    rq_.setName = "Small";
    prompts_.shown.clear();
    EXPECT_TRUE(Run()) << (prompts_.shown.empty() ? "" : prompts_.shown.back().text);
    const int32_t floorK = static_cast<int32_t>((CSplitEngine::MinimumSegmentFor(real.size()) + 999) / 1000);
    EXPECT_GT(floorK, kMinimumK);
    EXPECT_EQ(rq_.maxFileSize, floorK);
    ASSERT_FALSE(prompts_.shown.empty());
    EXPECT_EQ(prompts_.shown[0].text, "Minimum Split size is " + std::to_string(floorK) + "K.");
}

TEST_F(Build, FixedDiskRunCutsTheSizeAndSkipsEmptyEntries) {
    int before = 0, after = 0;
    rq_.beforeRun = [&] { ++before; };
    rq_.afterRun = [&] { ++after; };
    ASSERT_TRUE(Run());
    EXPECT_TRUE(prompts_.shown.empty());
    EXPECT_EQ(rq_.saveLocation, "D:\\out\\");
    EXPECT_EQ(out_.segmentBytes, 160000u);
    EXPECT_EQ(out_.listingPath, "D:\\out\\B.spj");
    EXPECT_EQ(engine_->Items(), (std::vector<std::string>{"D:\\src\\a.txt", "D:\\src\\b.bin"}));
    EXPECT_EQ(before + after, 2);
    auto entries = ReadSet(Segments("D:\\out\\", "B"), kImage);
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[1].data, Bytes(4000, 'b'));
    EXPECT_TRUE(Exists("D:\\out\\B.spj"));
}

// NAME.sha256 beside the set, as zembra-cli writes it: one line per segment of this run, an
// earlier set's file replaced; readers refuse a set whose file is stale.
TEST_F(Build, TheSetIsWrittenWithItsChecksums) {
    Put("D:\\out\\B.sha256", std::string(64, '0') + "  B_1.EXE\n");
    rq_.maxFileSize = 200;
    Put("D:\\src\\b.bin", Bytes(300000, 'b'));
    rq_.totalSize = 300000;
    ASSERT_TRUE(Run());
    CSetChecksums sums;
    ASSERT_TRUE(sums.Read(SystemFileSystem(), "D:\\out\\B.sha256"));
    auto segments = Segments("D:\\out\\", "B");
    ASSERT_GE(segments.size(), 2u);
    EXPECT_EQ(sums.Count(), segments.size());
    for (size_t n = 1; n <= segments.size(); ++n) {
        std::string name = CSplitEngine::SegmentName("B", static_cast<int>(n)), hex;
        ASSERT_TRUE(CSetChecksums::HashFile(SystemFileSystem(), "D:\\out\\" + name, hex));
        EXPECT_EQ(sums.Expected(name), hex) << name;
    }
}

// With the recovery setting the set gets its volumes beside it, which the wizard's results
// list; without it, a later build of the same name leaves none of the earlier set's behind.
TEST_F(Build, RecoveryVolumesFollowTheSettingAndGoWithIt) {
    rq_.recoveryPercent = 50;
    ASSERT_TRUE(Run());
    EXPECT_TRUE(prompts_.shown.empty());
    ASSERT_EQ(out_.recoveryFiles.size(), 3u);  // the index and two volumes of one slice
    EXPECT_EQ(out_.recoveryFiles[0], "D:\\out\\B.par2");
    for (const std::string& f : out_.recoveryFiles) EXPECT_TRUE(Exists(f)) << f;
    std::string results;
    EXPECT_TRUE(wizard_rules::ReadResultsText(SystemFileSystem(), "D:\\out\\B.spj", results));
    EXPECT_NE(results.find("Recovery volumes (PAR 2.0):\r\nD:\\out\\B.par2\r\nD:\\out\\B.vol00+01.par2"),
              std::string::npos) << results;
    EXPECT_EQ(recovery_setting::StatusSuffix(50), " (recovery 50%)");
    EXPECT_EQ(recovery_setting::SegmentsFor(10, 3), 1);

    rq_.recoveryPercent = 0;
    prompts_.Then(PromptAnswer::Yes);  // replace the existing set
    ASSERT_TRUE(Run());
    EXPECT_TRUE(out_.recoveryFiles.empty());
    for (const std::string& n : Names("D:\\out")) EXPECT_EQ(n.find(".par2"), std::string::npos) << n;

    // So many segments that the index volume would outgrow one: said before anything is written.
    engine_ = Engine();
    rq_.saveLocation = "D:\\new";
    rq_.recoveryPercent = 10;
    rq_.maxFileSize = 200;
    rq_.totalSize = 400000000;
    prompts_.shown.clear();
    EXPECT_FALSE(Run());
    ASSERT_EQ(prompts_.shown.size(), 1u);
    EXPECT_NE(prompts_.shown[0].text.find("about 2001 segments of 200 K"), std::string::npos) << prompts_.shown[0].text;
    EXPECT_NE(prompts_.shown[0].text.find("Choose a segment size of at least 3"), std::string::npos);
    EXPECT_FALSE(Exists("D:\\new"));
}

// The user's setting for hidden items reaches the run: named when left out, else taken.
TEST_F(Build, HiddenItemsFollowTheSetting) {
    Put("D:\\src\\.hidden", "h");
    rq_.modified = true;
    rq_.items = {"D:\\src"};
    ASSERT_TRUE(Run());
    EXPECT_EQ(engine_->HiddenLeftOut(), std::vector<std::string>{"D:\\src\\.hidden"});
    EXPECT_EQ(ReadSet(Segments("D:\\out\\", "B"), kImage).size(), 3u);  // the folder, a.txt, b.bin
    SystemFileSystem().RemoveFile("D:\\out\\B_1.EXE");
    rq_.includeHidden = true;
    ASSERT_TRUE(Run());
    EXPECT_TRUE(engine_->HiddenLeftOut().empty());
    EXPECT_EQ(ReadSet(Segments("D:\\out\\", "B"), kImage).size(), 4u);
}

TEST_F(Build, QuestionsAndRefusalsBeforeTheRun) {
    rq_.modified = false;
    EXPECT_FALSE(Run());  // "Not Modified" answered No
    EXPECT_EQ(prompts_.Texts(), std::vector<std::string>{"Not Modified, Create anyway?"});
    EXPECT_FALSE(out_.ran);

    // Below the floor: told, raised to 200 and shown, then built; the first preset ignores the size.
    prompts_.shown.clear();
    prompts_.Then(PromptAnswer::Yes).Then(PromptAnswer::Ok);
    rq_.maxFileSize = 150;
    rq_.totalSize = 900000;
    int raised = 0;
    rq_.sizeRaised = [&] { ++raised; };
    EXPECT_TRUE(Run());
    EXPECT_EQ(prompts_.Texts(), (std::vector<std::string>{"Not Modified, Create anyway?", "Minimum Split size is 200K."}));
    EXPECT_EQ(rq_.maxFileSize, 200);
    EXPECT_EQ(raised, 1);
    EXPECT_EQ(out_.segmentBytes, 200000u);

    // A rejoiner larger than 200 K raises the floor to what it needs: one message, the real one.
    prompts_.shown.clear();
    prompts_.Then(PromptAnswer::Yes).Then(PromptAnswer::Ok);
    image_.Set(Image(250000));
    SystemFileSystem().RemoveFile("D:\\out\\B_1.EXE");
    rq_.maxFileSize = 150;
    EXPECT_TRUE(Run());
    EXPECT_EQ(prompts_.Texts(), (std::vector<std::string>{"Not Modified, Create anyway?", "Minimum Split size is 251K."}));
    EXPECT_EQ(rq_.maxFileSize, 251);
    EXPECT_EQ(out_.segmentBytes, 251000u);
    image_.Set(Image(kImage));

    prompts_.shown.clear();
    rq_.modified = true;
    rq_.notFirstPreset = false;
    rq_.maxFileSize = 150;
    prompts_.Then(PromptAnswer::Yes);
    EXPECT_TRUE(Run());
    EXPECT_EQ(rq_.maxFileSize, 0);
    EXPECT_EQ(out_.segmentBytes, 0u);  // autosize
    EXPECT_EQ(Segments("D:\\out\\", "B").size(), 1u);

    prompts_.shown.clear();
    rq_.items.clear();
    EXPECT_FALSE(Run());
    EXPECT_EQ(prompts_.Texts(), std::vector<std::string>{"No Files to split"});
}

TEST_F(Build, NoToOverwriteLeavesTheExistingSetByteForByte) {
    const std::map<std::string, std::string> old = {
        {"B_1.EXE", "old first"}, {"B_2.SEG", "old second"}, {"B.spj", "old listing"}, {"B.sha256", "old sums"}};
    for (const auto& [name, bytes] : old) Put("D:\\out\\" + name, bytes);
    prompts_.Then(PromptAnswer::No);
    EXPECT_FALSE(Run());
    EXPECT_EQ(prompts_.Texts(), (std::vector<std::string>{"Overwrite existing Split Set! D:\\out\\B_1.EXE", "Split aborted."}));
    EXPECT_EQ(ListTree(SystemFileSystem(), "D:\\out"), old);
}

TEST_F(Build, AFailedRunTakesBackItsSegmentsAndListingOnly) {
    Put("D:\\src\\big", Bytes(700000, 'g'));
    Put("D:\\out\\notes.txt", "keep");
    Put("D:\\out\\B_9.SEG", "another set's piece");
    Put("D:\\out\\B.sha256", "an earlier set's checksums");
    rq_.items = {"D:\\src\\big"};
    rq_.totalSize = 700000;
    rq_.maxFileSize = 200;
    FaultyFileSystem fs(SystemFileSystem());
    fs.writeBudget = 500000;  // the disk fills up in the third segment
    engine_ = Engine(fs);
    EXPECT_FALSE(Run(fs));
    EXPECT_EQ(prompts_.Texts().back(), "Split aborted.");
    EXPECT_EQ(Names("D:\\out"), (std::vector<std::string>{"B_9.SEG", "notes.txt"}));
}

TEST_F(Build, RemovableDiskIsCheckedAndCountedBeforeAnythingIsWritten) {
    rq_.saveLocation = "A:\\";
    rq_.totalSize = 1000000;
    posix_drives::SetFreeBytes('A', 500000);  // 475,000 usable
    prompts_.Then(PromptAnswer::Cancel);
    EXPECT_FALSE(Run());
    EXPECT_TRUE(out_.removable);
    EXPECT_EQ(prompts_.Texts(), std::vector<std::string>{"3 Diskettes will be required for this Split Set."});
    EXPECT_FALSE(out_.ran);
    EXPECT_TRUE(Names("A:").empty());

    prompts_.shown.clear();
    posix_drives::SetFreeBytes('A', 0);
    EXPECT_FALSE(Run());
    rq_.fromWizard = true;
    EXPECT_FALSE(Run());
    EXPECT_EQ(prompts_.Texts(), (std::vector<std::string>{"Please insert removeable disk and try again.",
                                                          "Please insert diskette and try again."}));

    // A disk that refuses the write test: the text without the probe's name; OK tries again.
    prompts_.shown.clear();
    posix_drives::SetFreeBytes('A', 500000);
    FaultyFileSystem fs(SystemFileSystem());
    fs.refuseCreate = "A:\\tmp.xtx";
    engine_ = Engine(fs);
    prompts_.Then(PromptAnswer::Ok).Then(PromptAnswer::Cancel);
    EXPECT_FALSE(Run(fs));
    const std::string refused = "Write protected\r\nCheck write protect or use another diskette.";
    EXPECT_EQ(prompts_.Texts(), (std::vector<std::string>{refused, refused, "Split Aborted"}));
    EXPECT_EQ(prompts_.shown[0].buttons, PromptButtons::OkCancel);
}

TEST_F(Build, AFailedSpanTakesBackOnlyWhatIsOnTheDiskInTheDrive) {
    Put("D:\\src\\big", Bytes(700000, 'g'));
    rq_.items = {"D:\\src\\big"};
    rq_.totalSize = 700000;
    rq_.maxFileSize = 200;  // four segments
    rq_.saveLocation = "A:\\sub\\";
    posix_drives::SetFreeBytes('A', 500000);  // 475,000 usable: two disks announced
    MkDir("A:\\sub");
    int disks = 0;
    // The user takes the disk out; the third one brought in holds an older set in the same folder.
    auto swap = [&] {
        std::string to = root_ + "/moved/" + std::to_string(++disks);
        std::system(("mkdir -p " + to + " && mv " + root_ + "/a/* " + to + "/").c_str());
        if (disks == 2) {
            MkDir("A:\\sub");
            Put("A:\\sub\\B_1.EXE", "an older set");
        }
    };
    prompts_.Then(PromptAnswer::Ok).Then(PromptAnswer::Ok, swap).Then(PromptAnswer::Ok, swap).Then(PromptAnswer::Cancel);
    EXPECT_FALSE(Run());
    EXPECT_EQ(prompts_.Texts().front(), "2 Diskettes will be required for this Split Set.");
    EXPECT_EQ(prompts_.Texts().back(), "Split aborted.");
    // The disk in the drive loses this run's segment and keeps the older set; the disks taken
    // out keep what was written on them; the listing beside the program goes.
    EXPECT_EQ(Names("A:"), (std::vector<std::string>{"sub", "sub\\B_1.EXE"}));
    EXPECT_EQ(ReadWholeFile(Host("A:\\sub\\B_1.EXE")), "an older set");
    EXPECT_EQ(access((root_ + "/moved/1/sub/B_1.EXE").c_str(), F_OK), 0);
    EXPECT_EQ(access((root_ + "/moved/2/B_2.SEG").c_str(), F_OK), 0);
    EXPECT_FALSE(Exists("X:\\B.spj"));
}

}  // namespace
