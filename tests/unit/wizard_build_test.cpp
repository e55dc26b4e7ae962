// The build behind the wizard's page 3: what page 1 allows reaches the run in 64 bits, and
// while the wizard runs the engine tells the main view nothing.
#include "build_run_fixture.h"
#include "model/wizard_rules.h"

namespace {

class WizardBuild : public BuildRunTest {
protected:
    void SetUp() override {
        BuildRunTest::SetUp();
        rq_.fromWizard = true;
        rq_.setName = "W";
    }
};

TEST_F(WizardBuild, LargestPageSizeReachesTheRunWithoutWrapping) {
    // A total that keeps the size from being cut to the set's own size: 20 GB of sources, on a
    // disk with room for a whole segment.
    posix_drives::SetFreeBytes('D', 30000000000ull);
    rq_.maxFileSize = wizard_rules::kMaxSizeKb;
    rq_.totalSize = 20000000000ull;
    ASSERT_TRUE(Run()) << (prompts_.shown.empty() ? "" : prompts_.shown[0].text);
    EXPECT_EQ(out_.segmentBytes, 9999999000ull);
    EXPECT_EQ(Segments("D:\\out\\", "W").size(), 1u);

    // With the set's real total the size is cut to what it needs, and no smaller.
    rq_.totalSize = 6000;
    rq_.saveLocation = "D:\\out";
    prompts_.Then(PromptAnswer::Yes);  // the set of the first run is there
    ASSERT_TRUE(Run());
    EXPECT_EQ(out_.segmentBytes, (150000u + 6000u) / 1000 * 1000);
}

TEST_F(WizardBuild, NothingReachesTheViewWhileTheWizardRuns) {
    int told = 0;
    engine_->SetViewForward([&](uint32_t) { ++told; });
    rq_.maxFileSize = 720;
    rq_.totalSize = 6000;
    shared_.wizardRunning = true;
    ASSERT_TRUE(Run());
    EXPECT_EQ(told, 0);
    shared_.wizardRunning = false;
    rq_.saveLocation = "D:\\out";
    prompts_.Then(PromptAnswer::Yes);
    ASSERT_TRUE(Run());
    EXPECT_EQ(told, 1);
}

}  // namespace
