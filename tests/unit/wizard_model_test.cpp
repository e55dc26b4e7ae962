// The wizard's page loop and the pages' window-free rules.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/test_files.h"
#include "platform/paths.h"
#include "model/wizard_flow.h"
#include "model/wizard_rules.h"

namespace {

using Steps = std::vector<WizardStep>;

// Runs the loop with the pages answering from `presses` in turn; returns the steps it took.
Steps Walk(bool fromCommandLine, const std::vector<int>& presses) {
    CWizardFlow flow(fromCommandLine);
    Steps steps;
    size_t next = 0;
    for (int guard = 0; guard < 50; ++guard) {
        WizardStep step = flow.Step();
        steps.push_back(step);
        if (step == WizardStep::End) break;
        flow.Advance(step == WizardStep::SkipFilesPage || next >= presses.size() ? 0 : presses[next++]);
    }
    return steps;
}

constexpr WizardStep S = WizardStep::RunSizePage, F = WizardStep::RunFilesPage, K = WizardStep::SkipFilesPage,
                     N = WizardStep::RunNamePage, R = WizardStep::RunResultsPage, E = WizardStep::End;

TEST(WizardFlow, PagesFollowTheButtonsPressed) {
    const struct {
        const char* what;
        bool fromCommandLine;
        std::vector<int> presses;
        Steps steps;
    } cases[] = {
        {"menu: through to Done", false, {1052, 1054, 1055, 1}, {S, F, N, R, E}},
        {"menu: Back on every page", false, {1052, 1053, 1052, 1054, 1052, 1054, 1055, 1054, 1055, 1},
         {S, F, S, F, N, F, N, R, N, R, E}},
        {"menu: Cancel on page 1", false, {2}, {S, E}},
        {"menu: Cancel on page 3", false, {1052, 1054, 2}, {S, F, N, E}},
        {"menu: a page that failed to open", false, {1052, -1}, {S, F, E}},
        {"files: page 2 skipped going on", true, {1052, 1055, 1}, {S, K, N, R, E}},
        {"files: Back on page 3 goes to page 1", true, {1052, 1052, 1052, 1055, 1054, 1055, 1},
         {S, K, N, S, K, N, R, N, R, E}},
        {"files: Cancel on page 1", true, {2}, {S, E}},
        {"files: mailer started from page 4", true, {1052, 1055, 2}, {S, K, N, R, E}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(Walk(c.fromCommandLine, c.presses), c.steps);
    }
}

TEST(WizardFlow, EndedStaysEnded) {
    CWizardFlow flow(false);
    flow.Advance(2);
    flow.Advance(1053);
    EXPECT_EQ(flow.Step(), WizardStep::End);
}

TEST(WizardRules, TotalTextSwitchesUnitAboveAMillionBytes) {
    EXPECT_EQ(wizard_rules::TotalText(0), "0.000 KB ");
    EXPECT_EQ(wizard_rules::TotalText(1000000), "1000.000 KB ");
    EXPECT_EQ(wizard_rules::TotalText(1000001), "1.000 MB ");
    EXPECT_EQ(wizard_rules::TotalText(5000000000ull), "5000.000 MB ") << "no 32-bit wrap";
}

TEST(WizardRules, ProjectPathAndMailerLine) {
    EXPECT_EQ(wizard_rules::ProjectPath(false, "C:\\Zembra\\", "D:\\out\\", "Zemb"), "D:\\out\\Zemb.spj");
    EXPECT_EQ(wizard_rules::ProjectPath(false, "C:\\Zembra\\", "D:\\out", "Zemb"), "D:\\out\\Zemb.spj");
    EXPECT_EQ(wizard_rules::ProjectPath(true, "C:\\Zembra\\", "A:\\", "Zemb"), "C:\\Zembra\\Zemb.spj");
    EXPECT_EQ(wizard_rules::MailerCommandLine("C:\\Program Files\\Zembra\\zembra.exe", "D:\\my sets\\", "Zemb", 3),
              "\"C:\\Program Files\\Zembra\\korvo.exe\" &Segmented D:\\my sets\\Zemb 3");
}

TEST(WizardRules, ResultsTextIsTheListingWithCrLfLines) {
    std::string dir = MakeScratchFolder("zb_wizard_");
    std::string longLine(700, 'x');
    WriteWholeFile(dir + "/a.spj", "$ Zemb\r\nC:\\a.txt - 10\nno end" + longLine);
    WriteWholeFile(dir + "/empty.spj", "");
    std::string text;
    ASSERT_TRUE(wizard_rules::ReadResultsText(SystemFileSystem(), FullWindowsPath(dir + "/a.spj"), text));
    EXPECT_EQ(text, "$ Zemb\r\nC:\\a.txt - 10\r\nno end" + longLine + "\r\n");
    EXPECT_TRUE(wizard_rules::ReadResultsText(SystemFileSystem(), FullWindowsPath(dir + "/empty.spj"), text));
    EXPECT_EQ(text, "");
    text = "old";
    EXPECT_FALSE(wizard_rules::ReadResultsText(SystemFileSystem(), FullWindowsPath(dir + "/gone.spj"), text));
    EXPECT_EQ(text, "");
    RemoveTree(SystemFileSystem(), FullWindowsPath(dir));
}

}  // namespace
