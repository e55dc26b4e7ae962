// Which window a message box or modal dialog belongs to, under Wine + Xvfb: while it is up the
// window the user was working in and everything under it are disabled, and when it closes that
// window is in front again. A box owned by the frame instead enables the frame when it closes,
// and leaves the wizard or the viewer behind a frame whose menus work.
#include <cstdlib>

#include "gui/wizard_fixture.h"

namespace {

constexpr int kReview = 1038, kFormSetName = 1014;
constexpr int kContentsPrint = 1064;
constexpr UINT kOpenProject = WM_APP + 4;

// Time for a person to take a picture (ZEMBRA_SHOT_PAUSE_MS): C:\zbshot-<name>.ready marks the
// moment, then the test waits.
void PauseForPicture(const std::string& name) {
    const char* pause = std::getenv("ZEMBRA_SHOT_PAUSE_MS");
    if (!pause) return;
    WriteWholeFile("C:\\zbshot-" + name + ".ready", "");
    ::Sleep(static_cast<DWORD>(std::atoi(pause)));
}

class WindowOrder : public WizardGui {
protected:
    // `top` is up over `owner`: owned by it, the only one of them enabled, and in front.
    void ExpectOver(HWND top, HWND owner, HWND frame, const char* what) {
        SCOPED_TRACE(what);
        ASSERT_TRUE(top);
        EXPECT_EQ(::GetWindow(top, GW_OWNER), owner);
        EXPECT_FALSE(::IsWindowEnabled(owner));
        EXPECT_FALSE(::IsWindowEnabled(frame));
        EXPECT_TRUE(gui::WaitUntil([&] { return ::GetForegroundWindow() == top; }, 5000))
            << "in front: " << gui::Text(::GetForegroundWindow());
    }

    // `top` has closed: `window` is in front and usable again, the frame still disabled under it.
    void ExpectBackTo(HWND window, HWND frame, const char* what) {
        SCOPED_TRACE(what);
        EXPECT_TRUE(gui::WaitUntil([&] { return ::GetForegroundWindow() == window; }, 5000))
            << "in front: " << gui::Text(::GetForegroundWindow());
        EXPECT_TRUE(::IsWindowEnabled(window));
        EXPECT_FALSE(::IsWindowEnabled(frame));
    }
};

// Page 3 with a folder that does not exist: the engine's message and "Split aborted." both come
// over the page; afterwards the page is in front and the frame still out of reach.
TEST_F(WindowOrder, MessageBoxesOfTheWizardsBuildBelongToItsPage) {
    HWND frame = nullptr;
    HWND page = WizardFromMenu(frame);
    ASSERT_TRUE(page);
    ASSERT_TRUE(gui::Click(page, kToFiles));
    page = WaitPage(kPage2, page);
    AddFromTree(page, {"notes.txt"});
    ASSERT_TRUE(gui::Click(page, kToName));
    page = WaitPage(kPage3, page);
    gui::SetText(page, kLocation, out_ + "missing\\");
    ASSERT_TRUE(gui::Click(page, kToResults));

    HWND box = gui::FindMessageBox(pid_, kBuildTimeoutMs);
    ExpectOver(box, page, frame, "the engine's message");
    PauseForPicture("wizard-box");
    EXPECT_NE(gui::MessageBoxText(box).find(split_text::kDoesNotExist), std::string::npos) << gui::MessageBoxText(box);
    ASSERT_TRUE(gui::Answer(box, IDOK));
    box = gui::FindMessageBox(pid_, kBuildTimeoutMs);
    ExpectOver(box, page, frame, "Split aborted.");
    ASSERT_TRUE(gui::Answer(box, IDOK));
    ExpectBackTo(page, frame, "after the messages");
    EXPECT_TRUE(::IsWindowVisible(page));
    ASSERT_TRUE(gui::Click(page, IDCANCEL));
    EXPECT_TRUE(gui::WaitUntil([&] { return ::IsWindowEnabled(frame) != FALSE; })) << "the frame after the wizard";
}

// "New preset..." on page 1 opens the Custom size dialog over the page, not over the form.
TEST_F(WindowOrder, CustomSizeFromWizardPageOneBelongsToThePage) {
    HWND frame = nullptr;
    HWND page = WizardFromMenu(frame);
    ASSERT_TRUE(page);
    HWND combo = ::GetDlgItem(page, kPreset);
    ASSERT_EQ(::SendMessageA(combo, CB_SETCURSEL, 2, 0), 2);  // "New preset..."
    // Posted: the handler runs the dialog modally and would hold a sent message until it closes.
    ::PostMessageA(page, WM_COMMAND, MAKEWPARAM(kPreset, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
    HWND custom = gui::FindTop("#32770", "Custom", gui::kTimeoutMs, pid_);
    ExpectOver(custom, page, frame, "Custom");
    ASSERT_TRUE(gui::Click(custom, IDCANCEL));
    ASSERT_TRUE(gui::WaitGone(custom));
    ExpectBackTo(page, frame, "after Custom");
    ASSERT_TRUE(gui::Click(page, IDCANCEL));
}

// Print from the contents viewer fails (the listing has gone): its message comes over the
// viewer, and the viewer is in front afterwards with the frame still disabled.
TEST_F(WindowOrder, AFailedPrintFromTheViewerKeepsTheViewerInFront) {
    ScriptedPrompts prompts;
    NullProgress progress;
    BytesRejoinerImage image(std::vector<uint8_t>(1000, 0x4D));  // opened, never run
    SplitSharedState shared;
    CSplitEngine engine(SystemFileSystem(), prompts, progress, image, SplitEngineOptions(), shared);
    engine.AddItem(tree_ + "\\notes.txt");
    ASSERT_TRUE(engine.Split(out_, "Ord", 0));
    std::string listing = out_ + "Ord.spj";

    ASSERT_TRUE(Start());
    HWND frame = Frame();
    ASSERT_TRUE(frame);
    ::PostMessageA(frame, kOpenProject, 0, 0);
    HWND open = gui::FindTop("#32770", "Select Zembrator File", gui::kTimeoutMs, pid_);
    ASSERT_TRUE(open);
    ASSERT_TRUE(gui::SetText(gui::FindChild(open, 0x47C), listing));
    ASSERT_TRUE(gui::Click(open, IDOK));
    HWND name = gui::FindChild(frame, kFormSetName);
    ASSERT_TRUE(gui::WaitUntil([&] { return gui::Text(name) == "Ord"; }));

    ASSERT_TRUE(gui::Click(::GetParent(name), kReview));
    HWND viewer = gui::FindTop("#32770", "Zembra segment contents", gui::kTimeoutMs, pid_);
    ASSERT_TRUE(viewer);
    ASSERT_TRUE(::DeleteFileA(listing.c_str()));
    ASSERT_TRUE(gui::Click(viewer, kContentsPrint));
    HWND box = gui::FindMessageBox(pid_);
    ExpectOver(box, viewer, frame, "the print's message");
    ASSERT_TRUE(gui::Answer(box, IDOK));
    ExpectBackTo(viewer, frame, "after the message");
    ASSERT_TRUE(gui::Click(viewer, IDCANCEL));
    EXPECT_TRUE(gui::WaitUntil([&] { return ::GetForegroundWindow() == frame && ::IsWindowEnabled(frame); }));
}

}  // namespace
