// Wizard mode end to end under Wine: zembra.exe driven page by page through the GUI driver.
#include <algorithm>

#include "gui/wizard_fixture.h"

namespace {

// From the menu: every page with Back on each, a file added and removed again, the 720 K typed
// preset, the set built, rejoined and listed; Done shows the main form again.
TEST_F(WizardGui, MenuWizardBuildsTheChosenTreeInTypedSegments) {
    HWND frame = nullptr;
    HWND page = WizardFromMenu(frame);
    ASSERT_TRUE(page);
    EXPECT_FALSE(Enabled(page, IDOK)) << "page 1's Back";
    TypedSize(page, "720");
    std::string presetName = Item(page, kPreset);
    ASSERT_TRUE(gui::Click(page, kToFiles));

    page = WaitPage(kPage2, page);
    ASSERT_TRUE(page);
    EXPECT_EQ(Item(page, kTotal), "Total Size = ### KB");
    EXPECT_FALSE(Enabled(page, kToName)) << "Next with no files";
    AddFromTree(page, {"notes.txt"});
    EXPECT_TRUE(Enabled(page, kToName));
    EXPECT_EQ(Item(page, kTotal), "5.000 KB ");
    remote::SelectListBoxItems(::GetDlgItem(page, kSources), {0});
    ASSERT_TRUE(gui::Click(page, kRemove));
    EXPECT_TRUE(gui::WaitUntil([&] { return !Enabled(page, kToName); })) << "Next after the last file went";
    EXPECT_EQ(Item(page, kTotal), "0.000 KB ");
    AddFromTree(page, {"data.bin", "sub"});
    EXPECT_EQ(Item(page, kTotal), "1.600 MB ");
    std::vector<std::string> sources = remote::ListBoxTexts(::GetDlgItem(page, kSources));
    // In the file list's order, folders first.
    EXPECT_EQ(sources, (std::vector<std::string>{tree_ + "\\sub", tree_ + "\\data.bin"}));

    // Back to page 1 and on again: each page shows what it had.
    ASSERT_TRUE(gui::Click(page, kToSize));
    page = WaitPage(kPage1, page);
    EXPECT_EQ(Item(page, kPreset), presetName);
    EXPECT_EQ(Item(page, kSize), "720");
    ASSERT_TRUE(gui::Click(page, kToFiles));
    page = WaitPage(kPage2, page);
    EXPECT_EQ(remote::ListBoxTexts(::GetDlgItem(page, kSources)), sources);
    EXPECT_TRUE(Enabled(page, kToName));
    ASSERT_TRUE(gui::Click(page, kToName));

    page = WaitPage(kPage3, page);
    EXPECT_EQ(Item(page, kSetName), "Zemb");
    gui::SetText(page, kSetName, "WizSet");
    gui::SetText(page, kLocation, out_);
    ASSERT_TRUE(gui::Click(page, kToFiles));
    page = WaitPage(kPage2, page);
    ASSERT_TRUE(gui::Click(page, kToName));
    page = WaitPage(kPage3, page);
    EXPECT_EQ(Item(page, kSetName), "WizSet");
    EXPECT_EQ(Item(page, kLocation), out_);
    ASSERT_TRUE(gui::Click(page, kToResults));

    page = WaitPage(kPage4, page, kBuildTimeoutMs);
    ASSERT_TRUE(page);
    EXPECT_EQ(Item(page, kResults), ListingAsShown("WizSet"));
    ASSERT_TRUE(gui::Click(page, kToName));
    page = WaitPage(kPage3, page);
    EXPECT_EQ(Item(page, kSetName), "WizSet");
    ASSERT_TRUE(gui::Click(page, kToResults));
    // The set is there already: the engine asks before it writes it again.
    EXPECT_EQ(gui::AnswerNextMessageBox(IDYES, pid_, kBuildTimeoutMs).rfind(split_text::kOverwrite, 0), 0u);
    page = WaitPage(kPage4, page, kBuildTimeoutMs);
    ASSERT_TRUE(gui::Click(page, IDOK));
    EXPECT_TRUE(gui::WaitVisible(frame)) << "Done shows the main form again";

    // 720,000-byte segments, and the set comes back whole.
    EXPECT_EQ(FileSize(out_ + "WizSet_1.EXE"), 720000u);
    EXPECT_EQ(FileSize(out_ + "WizSet_2.SEG"), 720000u);
    EXPECT_GT(FileSize(out_ + "WizSet_3.SEG"), 0u);
    EXPECT_EQ(Rejoined("WizSet"), Source({"data.bin", "sub"}));
}

TEST_F(WizardGui, CancelOnPageOneReturnsToTheMainForm) {
    HWND frame = nullptr;
    HWND page = WizardFromMenu(frame);
    ASSERT_TRUE(page);
    ASSERT_TRUE(gui::Click(page, IDCANCEL));
    EXPECT_TRUE(gui::WaitGone(page));
    EXPECT_TRUE(gui::WaitVisible(frame));
    EXPECT_TRUE(program_.Running());
}

// What the shell extension sends: files on the command line. Page 2 is skipped both ways, the
// largest size is taken, the main form never shows, and Done ends the program.
TEST_F(WizardGui, StartedWithFilesSkipsThePageOfFilesAndEndsWithTheWizard) {
    ASSERT_TRUE(Start("\"" + tree_ + "\\notes.txt*" + tree_ + "\\sub\""));
    HWND page = WaitPage(kPage1);
    ASSERT_TRUE(page);
    auto frameHidden = [&] {
        HWND frame = Frame(false);
        return frame && !::IsWindowVisible(frame);
    };
    EXPECT_TRUE(frameHidden());
    TypedSize(page, "10000000");
    ASSERT_TRUE(gui::Click(page, kToFiles));
    EXPECT_EQ(gui::AnswerNextMessageBox(IDOK, pid_), "Please enter an integer between 0 and 9999999.");
    gui::SetText(page, kSize, std::to_string(wizard_rules::kMaxSizeKb));
    ASSERT_TRUE(gui::Click(page, kToFiles));

    page = WaitPage(kPage3, page);
    ASSERT_TRUE(page);
    ASSERT_TRUE(gui::Click(page, kToFiles));
    page = WaitPage(kPage1, page);
    EXPECT_EQ(Item(page, kSize), "9999999");
    ASSERT_TRUE(gui::Click(page, kToFiles));
    page = BuildSet(WaitPage(kPage3, page), "FromShell");
    ASSERT_TRUE(page);
    EXPECT_TRUE(frameHidden());
    EXPECT_EQ(Item(page, kResults), ListingAsShown("FromShell"));
    ASSERT_TRUE(gui::Click(page, IDOK));
    EXPECT_TRUE(program_.WaitExit()) << "Done ends a wizard started with files";

    // The whole set fits one segment of the largest size.
    EXPECT_TRUE(SystemFileSystem().Exists(out_ + "FromShell_1.EXE"));
    EXPECT_FALSE(SystemFileSystem().Exists(out_ + "FromShell_2.SEG"));
    EXPECT_EQ(Rejoined("FromShell"), Source({"notes.txt", "sub"}));
}

// Page 2 takes an empty file on a double-click as the main form does (the set keeps it), and
// Next follows: a list of empty files is still a set.
TEST_F(WizardGui, DoubleClickAddsAnEmptyFileAsTheFormDoes) {
    HWND frame = nullptr;
    HWND page = WizardFromMenu(frame);
    ASSERT_TRUE(page);
    ASSERT_TRUE(gui::Click(page, kToFiles));
    page = WaitPage(kPage2, page);
    ASSERT_TRUE(page);
    HWND tree = ::GetDlgItem(page, kTree);
    HTREEITEM top = remote::FindTreeChild(tree, TVI_ROOT, treeName_);
    ASSERT_TRUE(top);
    remote::SelectTreeItem(tree, top);
    HTREEITEM sub = remote::FindTreeChild(tree, top, "sub");
    ASSERT_TRUE(sub);
    remote::SelectTreeItem(tree, sub);
    HWND list = ::GetDlgItem(page, kFileList);
    ASSERT_TRUE(gui::WaitUntil([&] { return remote::ListViewTexts(list).size() == 3; }, 5000));
    std::vector<std::string> texts = remote::ListViewTexts(list);
    auto it = std::find(texts.begin(), texts.end(), "empty.txt");
    ASSERT_NE(it, texts.end());
    RECT r{};
    ASSERT_TRUE(remote::ListViewLabelRect(list, static_cast<int>(it - texts.begin()), r));
    LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    for (UINT msg : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP})
        ::PostMessageA(list, msg, msg == WM_LBUTTONUP ? 0 : MK_LBUTTON, at);
    EXPECT_TRUE(gui::WaitUntil([&] { return remote::ListBoxTexts(::GetDlgItem(page, kSources)).size() == 1; }, 5000));
    EXPECT_EQ(remote::ListBoxTexts(::GetDlgItem(page, kSources)), std::vector<std::string>{tree_ + "\\sub\\empty.txt"});
    EXPECT_TRUE(Enabled(page, kToName));
}

}  // namespace
