// zembra's project commands end to end under Wine + Xvfb, on a set the engine built: New, the
// project opened through "Select Zembrator File" and through the recent-file list (the same form
// both ways, the folder source whole, a name with " - " kept), Review Results, Rejoin, a project
// whose source is gone, and Print through the system dialog.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <string>
#include <tuple>
#include <vector>

#include "engine/split_engine.h"
#include "fakes/scripted_prompts.h"
#include "fakes/test_files.h"
#include "gui/driver/gui_driver.h"
#include "platform/process.h"

namespace {

const char kFrameClass[] = "ZembraMainFrame";
constexpr UINT kOpenProject = WM_APP + 4;
constexpr int kNew = 32772, kPrint = 32775, kRecent1 = 57616;
constexpr int kSources = 1005, kSaveLocation = 1012, kSetName = 1014, kReview = 1038, kRejoin = 1067;
constexpr int kContentsText = 1029;

// What the form shows of the open project: name, save location, caption, sources.
struct FormState {
    std::string name, location, caption;
    std::vector<std::string> sources;
    bool operator==(const FormState& o) const { return std::tie(name, location, caption, sources) == std::tie(o.name, o.location, o.caption, o.sources); }
};

std::vector<std::string> ListItems(HWND list) {
    std::vector<std::string> items;
    LRESULT n = ::SendMessageA(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < n; ++i) {
        // Across processes Wine hands the text back as UTF-16 whatever the call: ask for that.
        std::vector<wchar_t> wide(4096, L'\0');
        if (::SendMessageW(list, LB_GETTEXTLEN, i, 0) >= 4000) continue;
        ::SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(wide.data()));
        char text[8192] = {0};
        ::WideCharToMultiByte(CP_ACP, 0, wide.data(), -1, text, sizeof text, nullptr, nullptr);
        items.push_back(text);
    }
    return items;
}

class ZembraProject : public ::testing::Test {
protected:
    void SetUp() override {
        base_ = MakeScratchFolder("zembra_project_");
        for (const char* sub : {"\\src", "\\src\\Album", "\\sets"}) ::CreateDirectoryA((base_ + sub).c_str(), nullptr);
        song_ = base_ + "\\src\\Artist - Song.mp3";
        album_ = base_ + "\\src\\Album";
        WriteWholeFile(song_, PatternBytes(3000, 1));
        WriteWholeFile(album_ + "\\a.txt", PatternBytes(100, 2));
        WriteWholeFile(album_ + "\\b.txt", PatternBytes(200, 3));
    }
    void TearDown() override {
        if (frame_) {
            ::PostMessageA(frame_, WM_CLOSE, 0, 0);
            EXPECT_TRUE(zembra_.WaitExit());
        }
        RemoveTree(SystemFileSystem(), base_);
    }

    // The set "Proj" of the sources, built by the engine into base\sets; returns its listing.
    std::string BuildSet() {
        ScriptedPrompts prompts;
        NullProgress progress;
        ResourceRejoinerImage image;
        SplitSharedState shared;
        CSplitEngine engine(SystemFileSystem(), prompts, progress, image, SplitEngineOptions(), shared);
        engine.AddItem(song_);
        engine.AddItem(album_);
        EXPECT_TRUE(engine.Split(base_ + "\\sets\\", "Proj", 0));
        return base_ + "\\sets\\Proj.spj";
    }

    void StartZembra() {
        ASSERT_TRUE(zembra_.Start("\"" + ModuleFolder() + "zembra.exe\""));
        frame_ = gui::FindTop(kFrameClass, "", gui::kTimeoutMs, zembra_.Pid());
        ASSERT_NE(frame_, nullptr);
        view_ = gui::FindChild(frame_, kSetName) ? ::GetParent(gui::FindChild(frame_, kSetName)) : nullptr;
        ASSERT_NE(view_, nullptr);
    }

    FormState Form() {
        return FormState{gui::Text(::GetDlgItem(view_, kSetName)), gui::Text(::GetDlgItem(view_, kSaveLocation)),
                         gui::Text(frame_), ListItems(::GetDlgItem(view_, kSources))};
    }

    // The open-project message, the dialog, the path typed and OK.
    void OpenThroughDialog(const std::string& path) {
        ::PostMessageA(frame_, kOpenProject, 0, 0);
        HWND dlg = gui::FindTop("#32770", "Select Zembrator File", gui::kTimeoutMs, zembra_.Pid());
        ASSERT_NE(dlg, nullptr);
        ASSERT_TRUE(gui::SetText(gui::FindChild(dlg, 0x47C), path));  // the file name box
        ASSERT_TRUE(gui::Click(dlg, IDOK));
        ASSERT_TRUE(gui::WaitGone(dlg));
    }

    // Waits for the first segment's destination dialog (captioned with its path) and leaves it
    // with Exit.
    bool FirstSegmentStarted() {
        HWND rejoin = gui::FindTop({"#32770", "Zembra Rejoin - " + base_ + "\\sets\\Proj_1.", true});
        return rejoin && gui::Click(rejoin, IDCANCEL) && gui::WaitGone(rejoin);
    }

    void Command(int id) { ::PostMessageA(frame_, WM_COMMAND, MAKEWPARAM(id, 0), 0); }

    std::string base_, song_, album_;
    gui::Program zembra_;
    HWND frame_ = nullptr, view_ = nullptr;
};

TEST_F(ZembraProject, OpenedThroughTheDialogAndTheRecentListTheFormIsTheSame) {
    std::string listing = BuildSet();
    StartZembra();

    // New counts on from the set name and leaves nothing of a set behind.
    std::string before = gui::Text(::GetDlgItem(view_, kSetName));
    Command(kNew);
    ASSERT_TRUE(gui::WaitUntil([&] { return gui::Text(::GetDlgItem(view_, kSetName)) != before; }));
    std::string fresh = gui::Text(::GetDlgItem(view_, kSetName));
    // The caption follows the name a moment later: on a loaded machine the check came first.
    EXPECT_TRUE(gui::WaitUntil([&] { return gui::Text(frame_) == fresh + " - Zembra"; })) << gui::Text(frame_);
    EXPECT_TRUE(ListItems(::GetDlgItem(view_, kSources)).empty());
    Command(kPrint);
    EXPECT_EQ(gui::AnswerNextMessageBox(IDOK, zembra_.Pid()), "You must first Build the 'Zembra' file set.");

    OpenThroughDialog(listing);
    ASSERT_TRUE(gui::WaitUntil([&] { return Form().name == "Proj"; }));
    FormState opened = Form();
    EXPECT_EQ(opened.location, base_ + "\\sets\\");
    EXPECT_EQ(opened.caption, "Proj - Zembra");
    // The folder comes back as the one source it was, and the name with " - " whole.
    EXPECT_EQ(opened.sources, (std::vector<std::string>{song_, album_}));

    Command(kNew);
    ASSERT_TRUE(gui::WaitUntil([&] { return Form().name == "Proj1"; }));
    EXPECT_TRUE(Form().sources.empty());

    Command(kRecent1);
    ASSERT_TRUE(gui::WaitUntil([&] { return Form().name == "Proj"; }));
    EXPECT_EQ(Form(), opened);

    // Review Results shows the listing, line for line with CR LF.
    ASSERT_TRUE(gui::Click(view_, kReview));
    HWND contents = gui::FindTop("#32770", "Zembra segment contents", gui::kTimeoutMs, zembra_.Pid());
    ASSERT_NE(contents, nullptr);
    std::string stored = ReadWholeFile(listing);
    EXPECT_EQ(gui::Text(::GetDlgItem(contents, kContentsText)), stored + "\r\n");
    ASSERT_TRUE(gui::Click(contents, IDCANCEL));
    ASSERT_TRUE(gui::WaitGone(contents));
    // A project whose listing has gone since is still open: the message names the listing.
    ASSERT_TRUE(::MoveFileA(listing.c_str(), (listing + ".away").c_str()));
    ASSERT_TRUE(gui::Click(view_, kReview));
    EXPECT_EQ(gui::AnswerNextMessageBox(IDOK, zembra_.Pid()), "The contents listing " + listing + " could not be read.");
    ASSERT_TRUE(::MoveFileA((listing + ".away").c_str(), listing.c_str()));

    // Rejoin starts the first segment, which asks for a destination.
    ASSERT_TRUE(gui::Click(view_, kRejoin));
    EXPECT_TRUE(FirstSegmentStarted());
}

TEST_F(ZembraProject, WithASourceGoneOpeningShowsTheListingAndOkExtracts) {
    std::string listing = BuildSet();
    ASSERT_TRUE(::DeleteFileA((album_ + "\\b.txt").c_str()));
    // Read-only, as on a CD: the project still opens.
    ::SetFileAttributesA(listing.c_str(), FILE_ATTRIBUTE_READONLY);
    StartZembra();
    OpenThroughDialog(listing);
    HWND contents = gui::FindTop("#32770", "Zembra segment contents", gui::kTimeoutMs, zembra_.Pid());
    ASSERT_NE(contents, nullptr);
    EXPECT_EQ(gui::Text(::GetDlgItem(contents, kContentsText)), ReadWholeFile(listing) + "\r\n");
    ASSERT_TRUE(gui::Click(contents, IDOK));
    EXPECT_TRUE(FirstSegmentStarted());
    ::SetFileAttributesA(listing.c_str(), FILE_ATTRIBUTE_NORMAL);
}

// A project that cannot be loaded leaves the open one whole (name, folder, caption and sources):
// Begin Split would otherwise build one set's files over another's. Its lines that name no full
// local path are said once and not taken, and a network path is asked about first.
TEST_F(ZembraProject, AProjectWhoseSourcesAreGoneLeavesTheOpenOneWhole) {
    std::string listing = BuildSet();
    std::string other = base_ + "\\sets\\Other.spj";
    WriteWholeFile(other, "$ =====Files in Other_1.EXE=======\r\nZ: - 0\r\n\\\\zbhost\\share\\doc.txt - 3\r\n" + base_ +
                              "\\gone.txt - 5\r\n$  \r\n$ 1 files \r\n$  ");
    StartZembra();
    OpenThroughDialog(listing);
    ASSERT_TRUE(gui::WaitUntil([&] { return Form().name == "Proj"; }));
    FormState opened = Form();

    OpenThroughDialog(other);
    std::string refused = gui::AnswerNextMessageBox(IDOK, zembra_.Pid());
    EXPECT_EQ(refused.rfind(other, 0), 0u) << refused;
    EXPECT_NE(refused.find("not taken as sources:\nZ:\n"), std::string::npos) << refused;
    std::string asked = gui::AnswerNextMessageBox(IDNO, zembra_.Pid());
    EXPECT_NE(asked.find("\\\\zbhost\\share\\doc.txt"), std::string::npos) << asked;
    HWND contents = gui::FindTop("#32770", "Zembra segment contents", gui::kTimeoutMs, zembra_.Pid());
    ASSERT_NE(contents, nullptr);
    ASSERT_TRUE(gui::Click(contents, IDCANCEL));
    ASSERT_TRUE(gui::WaitGone(contents));
    EXPECT_EQ(Form(), opened);
}

// A listing gone since its project was opened: Print says so, before any printer is asked,
// instead of sending an empty job and saying nothing.
TEST_F(ZembraProject, PrintingAListingThatIsGoneSaysSoAndPrintsNothing) {
    std::string listing = BuildSet();
    StartZembra();
    OpenThroughDialog(listing);
    ASSERT_TRUE(gui::WaitUntil([&] { return Form().name == "Proj"; }));
    ASSERT_TRUE(::DeleteFileA(listing.c_str()));
    Command(kPrint);
    std::string text = gui::AnswerNextMessageBox(IDOK, zembra_.Pid());
    EXPECT_EQ(text.rfind(listing, 0), 0u) << text;
    EXPECT_NE(text.find("The contents listing could not be read. Nothing was printed."), std::string::npos) << text;
    EXPECT_EQ(gui::FindTop("#32770", "Print", 500, zembra_.Pid()), nullptr);
}

// Print through the system dialog to the default printer: the tests' CUPS-PDF printer, whose PDF
// the check registered after this test reads back.
TEST_F(ZembraProject, PrintsTheListingOnThePrinterChosenInTheDialog) {
    const char* server = std::getenv("ZEMBRA_PRINT_CHECK");
    if (!server) GTEST_SKIP() << "no test printer server";
    // Enough entries for more than one page, and a name too long for one printed line.
    for (int i = 0; i < 250; ++i) WriteWholeFile(album_ + "\\file" + std::to_string(i) + ".txt", "x");
    WriteWholeFile(album_ + "\\" + std::string(200, 'L') + ".txt", "long");
    std::string listing = BuildSet();
    std::string copy = std::string("Z:") + server + "\\printed_project.txt";
    for (char& c : copy)
        if (c == '/') c = '\\';
    WriteWholeFile(copy, ReadWholeFile(listing));

    StartZembra();
    OpenThroughDialog(listing);
    ASSERT_TRUE(gui::WaitUntil([&] { return Form().name == "Proj"; }));
    Command(kPrint);
    HWND print = gui::FindTop("#32770", "Print", gui::kTimeoutMs, zembra_.Pid());
    ASSERT_NE(print, nullptr);
    ASSERT_TRUE(gui::Click(print, IDOK));
    ASSERT_TRUE(gui::WaitGone(print));
}

}  // namespace
