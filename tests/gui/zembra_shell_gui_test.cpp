// zembra.exe end to end under Wine: one instance, the options dialog and folder chooser, the help
// on F1 and the home page through stand-in programs, all driven from outside like a user would.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <string>

#include "engine/split_engine.h"
#include "fakes/scripted_prompts.h"
#include "fakes/test_files.h"
#include "gui/driver/gui_driver.h"
#include "platform/process.h"

namespace {

const char kFrameClass[] = "ZembraMainFrame";
const char kIeKey[] = "software\\Microsoft\\IE4\\setup";

std::string WindowsFolder() {
    char dir[MAX_PATH] = {0};
    ::GetWindowsDirectoryA(dir, sizeof dir);
    return dir;
}

std::string MailValue(const char* key) {
    ::WritePrivateProfileStringA(nullptr, nullptr, nullptr, "ReZove.ini");  // no stale cache
    char value[400] = {0};
    ::GetPrivateProfileStringA("EMailSetup", key, "", value, sizeof value, "ReZove.ini");
    return value;
}

void Post(HWND frame, int command) { ::PostMessageA(frame, WM_COMMAND, MAKEWPARAM(command, 0), 0); }

bool FolderExists(const std::string& path) {
    DWORD a = ::GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

// A registry value of the local machine kept aside and put back.
struct SavedKey {
    std::string key, value;
    bool existed = false;
    std::string saved;
    SavedKey(std::string k, std::string v) : key(std::move(k)), value(std::move(v)) {
        char buffer[1024] = {0};
        DWORD size = sizeof buffer;
        existed = ::RegGetValueA(HKEY_LOCAL_MACHINE, key.c_str(), value.empty() ? nullptr : value.c_str(),
                                 RRF_RT_REG_SZ, nullptr, buffer, &size) == ERROR_SUCCESS;
        saved = buffer;
    }
    void Set(const std::string& data) const {
        HKEY k;
        ASSERT_EQ(::RegCreateKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &k, nullptr),
                  ERROR_SUCCESS);
        ::RegSetValueExA(k, value.empty() ? nullptr : value.c_str(), 0, REG_SZ,
                         reinterpret_cast<const BYTE*>(data.c_str()), static_cast<DWORD>(data.size() + 1));
        ::RegCloseKey(k);
    }
    ~SavedKey() {
        if (existed)
            Set(saved);
        else
            ::RegDeleteTreeA(HKEY_LOCAL_MACHINE, key.c_str());
    }
};

class ZembraShell : public ::testing::Test {
protected:
    // The mail settings file is shared with the other programs' tests: put back as it was.
    static void SetUpTestSuite() {
        settings_ = WindowsFolder() + "\\ReZove.ini";
        savedExists_ = ::GetFileAttributesA(settings_.c_str()) != INVALID_FILE_ATTRIBUTES;
        if (savedExists_) saved_ = ReadWholeFile(settings_);
    }
    static void TearDownTestSuite() {
        ::WritePrivateProfileStringA(nullptr, nullptr, nullptr, "ReZove.ini");
        if (savedExists_)
            WriteWholeFile(settings_, saved_);
        else
            ::DeleteFileA(settings_.c_str());
    }
    static inline std::string settings_, saved_;
    static inline bool savedExists_ = false;

    void SetUp() override {
        zembra_ = "\"" + ModuleFolder() + "zembra.exe\"";
        scratch_ = MakeScratchFolder("zembra_shell_");
        ::WritePrivateProfileStringA("EMailSetup", "BROWSER", nullptr, "ReZove.ini");
        ::WritePrivateProfileStringA("EMailSetup", "WorkDirectory", nullptr, "ReZove.ini");
    }
    void TearDown() override { RemoveTree(SystemFileSystem(), scratch_); }

    // A small set "mailed" of one file in folder; its segment count, 0 when it failed.
    static int MakeMailedSet(const std::string& folder) {
        ::CreateDirectoryA(folder.c_str(), nullptr);
        WriteWholeFile(folder + "data.bin", PatternBytes(5000, 1));
        BytesRejoinerImage image(std::vector<uint8_t>(1000, 0x4D));
        ScriptedPrompts prompts;
        NullProgress progress;
        CSplitEngine engine(SystemFileSystem(), prompts, progress, image, SplitEngineOptions::Mailer());
        engine.AddItem(folder + "data.bin");
        return engine.Split(folder, "mailed", 4000) ? engine.SegmentCount() : 0;
    }

    HWND Start(gui::Program& p, const std::string& args = "") {
        if (!p.Start(zembra_ + (args.empty() ? "" : " " + args))) return nullptr;
        return gui::FindTop(kFrameClass, "", gui::kTimeoutMs, p.Pid());
    }
    // A menu command posted to a started frame; the dialog it opens (titled title), or nullptr.
    HWND OpenDialog(gui::Program& p, HWND frame, int command, const char* title) {
        if (!frame) return nullptr;
        Post(frame, command);
        return gui::FindTop("#32770", title, gui::kTimeoutMs, p.Pid());
    }
    // A copy of the stand-in program; what it is started with lands in <path>.txt.
    std::string StandIn(const std::string& folder, const std::string& name) {
        ::CreateDirectoryA(folder.c_str(), nullptr);
        std::string path = folder + "\\" + name;
        EXPECT_TRUE(::CopyFileA((ModuleFolder() + "zembra_stand_in.exe").c_str(), path.c_str(), FALSE));
        return path;
    }
    void Close(gui::Program& p, HWND frame) {
        ::PostMessageA(frame, WM_CLOSE, 0, 0);
        EXPECT_TRUE(p.WaitExit());
    }

    std::string zembra_, scratch_;
};

TEST_F(ZembraShell, ASecondStartEndsAtOnceAndTheFirstComesToTheTop) {
    gui::Program first;
    HWND frame = Start(first);
    ASSERT_NE(frame, nullptr);
    // Something else takes the foreground.
    HWND other = ::CreateWindowExA(0, "STATIC", "other", WS_OVERLAPPED | WS_VISIBLE, 0, 0, 200, 100, nullptr,
                                   nullptr, nullptr, nullptr);
    ::SetForegroundWindow(other);
    ASSERT_TRUE(gui::WaitUntil([&] { return ::GetForegroundWindow() == other; }));

    gui::Program second;
    ASSERT_TRUE(second.Start(zembra_));
    DWORD code = 99;
    ASSERT_TRUE(second.WaitExit(gui::kTimeoutMs, &code));
    EXPECT_EQ(code, 0u);
    EXPECT_TRUE((gui::TopWindows({kFrameClass, "", false, second.Pid(), false}).empty()));
    EXPECT_TRUE((gui::TopWindows({"#32770", "", false, second.Pid(), false}).empty()));
    EXPECT_TRUE(gui::WaitUntil([&] { return ::GetForegroundWindow() == frame; }));
    ::DestroyWindow(other);
    Close(first, frame);
}

TEST_F(ZembraShell, EmailOptionsAreWrittenForKorvoToRead) {
    gui::Program p;
    HWND frame = Start(p);
    HWND dialog = OpenDialog(p, frame, 32774, "EMail");
    ASSERT_NE(dialog, nullptr);
    EXPECT_FALSE(::IsWindowVisible(::GetDlgItem(dialog, 1051)));  // Browse is the folder mode's

    ASSERT_TRUE(gui::SetText(dialog, 1034, "   "));
    ASSERT_TRUE(gui::Click(dialog, IDOK));
    EXPECT_EQ(gui::AnswerNextMessageBox(IDOK, p.Pid()), "No Mail server name entered.");
    ASSERT_TRUE(gui::SetText(dialog, 1034, "  smtp.shell.example  "));
    ASSERT_TRUE(gui::SetText(dialog, 1065, " me@shell.example "));
    ASSERT_TRUE(gui::Click(dialog, IDOK));
    ASSERT_TRUE(gui::WaitGone(dialog));
    EXPECT_EQ(MailValue("IEMailSMTP"), "smtp.shell.example");
    // Stored as typed; the profile API itself drops the blanks around a value.
    EXPECT_EQ(MailValue("IEMailAddress"), "me@shell.example");
    Close(p, frame);

    // korvo, started on a set, offers the sender address just written.
    std::string folder = scratch_ + "\\set\\";
    int segments = MakeMailedSet(folder);
    ASSERT_GT(segments, 0);
    gui::Program korvo;
    ASSERT_TRUE(korvo.Start("\"" + ModuleFolder() + "korvo.exe\" &Segmented " + folder + "mailed " +
                            std::to_string(segments)));
    HWND mail = gui::FindTop("#32770", "", gui::kTimeoutMs, korvo.Pid());
    ASSERT_NE(mail, nullptr);
    ASSERT_NE(gui::FindChild(mail, 1001), nullptr) << gui::MessageBoxText(mail);
    EXPECT_EQ(gui::Text(gui::FindChild(mail, 1001)), "me@shell.example");
    korvo.Terminate();
}

TEST_F(ZembraShell, DefaultWorkDirectoryRefusesEmptyAndMissingFoldersAndNewDirMakesOne) {
    gui::Program p;
    HWND frame = Start(p);
    HWND dialog = OpenDialog(p, frame, 32779, "Default Work Directory");
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(gui::Text(gui::FindChild(dialog, 1069)), "Directory");
    EXPECT_EQ(gui::Text(gui::FindChild(dialog, 1034)), ModuleFolder());  // nothing stored yet
    EXPECT_FALSE(::IsWindowVisible(::GetDlgItem(dialog, 1065)));

    ASSERT_TRUE(gui::SetText(dialog, 1034, ""));
    ASSERT_TRUE(gui::Click(dialog, IDOK));
    EXPECT_EQ(gui::AnswerNextMessageBox(IDOK, p.Pid()), "No Mail server name entered.");
    ASSERT_TRUE(gui::SetText(dialog, 1034, scratch_ + "\\missing"));
    ASSERT_TRUE(gui::Click(dialog, IDOK));
    EXPECT_EQ(gui::AnswerNextMessageBox(IDOK, p.Pid()), "The directory does not exists.");
    EXPECT_EQ(MailValue("WorkDirectory"), "");

    // Browse starts in the field's folder; New Dir makes "Fresh Dir" there and returns it.
    ASSERT_TRUE(gui::SetText(dialog, 1034, scratch_));
    ASSERT_TRUE(gui::Click(dialog, 1051));
    HWND chooser = gui::FindTop("#32770", "Open", gui::kTimeoutMs, p.Pid());
    if (!chooser)
        for (HWND h : gui::TopWindows({"", "", false, p.Pid(), true}))
            ADD_FAILURE() << gui::ClassName(h) << " '" << gui::Text(h) << "' " << gui::MessageBoxText(h);
    ASSERT_NE(chooser, nullptr);
    EXPECT_FALSE(::IsWindowVisible(::GetDlgItem(chooser, 1152)));
    EXPECT_FALSE(::IsWindowVisible(::GetDlgItem(chooser, 1120)));
    ASSERT_TRUE(gui::Click(chooser, 1023));
    HWND ask = gui::FindTop("#32770", "New Directory", gui::kTimeoutMs, p.Pid());
    ASSERT_NE(ask, nullptr);
    EXPECT_EQ(gui::Text(gui::FindChild(ask, 1050)), "Enter new directory name:");
    ASSERT_TRUE(gui::SetText(ask, 1011, "  Fresh Dir "));
    ASSERT_TRUE(gui::Click(ask, IDOK));
    ASSERT_TRUE(gui::WaitGone(chooser));
    std::string made = scratch_ + "\\Fresh Dir";
    EXPECT_TRUE(FolderExists(made));
    EXPECT_EQ(gui::Text(gui::FindChild(dialog, 1034)), made);

    ASSERT_TRUE(gui::Click(dialog, IDOK));
    ASSERT_TRUE(gui::WaitGone(dialog));
    EXPECT_EQ(MailValue("WorkDirectory"), made);
    Close(p, frame);
}

TEST_F(ZembraShell, F1OpensTheHtmlHelpWithTheSystemsHandler) {
    // A stand-in HTML viewer registered for .html.
    std::string viewer = StandIn(scratch_ + "\\viewer", "helpview.exe");
    SavedKey ext("Software\\Classes\\.html", "");
    SavedKey command("Software\\Classes\\ZembraTestHtml\\shell\\open\\command", "");
    ext.Set("ZembraTestHtml");
    command.Set("\"" + viewer + "\" \"%1\"");

    gui::Program p;
    HWND frame = Start(p);
    ASSERT_NE(frame, nullptr);
    ::SetForegroundWindow(frame);
    ASSERT_TRUE(gui::WaitUntil([&] { return ::GetForegroundWindow() == frame; }));
    ::keybd_event(VK_F1, 0, 0, 0);
    ::keybd_event(VK_F1, 0, KEYEVENTF_KEYUP, 0);
    ASSERT_TRUE(gui::WaitUntil([&] { return !ReadWholeFile(viewer + ".txt").empty(); }))
        << "no viewer started";
    std::string line = ReadWholeFile(viewer + ".txt");
    EXPECT_NE(line.find("file:///"), std::string::npos) << line;
    EXPECT_NE(line.find("/Zembra.html"), std::string::npos) << line;
    EXPECT_EQ(line.find('#'), std::string::npos) << "contents, not a topic: " << line;
    Close(p, frame);
}

// No browser: the registered handler is a launcher that ends at once with a failure, as Wine's
// does without one. F1 opens the help in the program's own window, and the context help of a
// field opens that same window at the field's topic.
TEST_F(ZembraShell, WithoutABrowserHelpOpensInTheProgramsOwnWindowAtTheTopic) {
    std::string launcher = StandIn(scratch_ + "\\launcher", "failing-browser.exe");
    SavedKey ext("Software\\Classes\\.html", "");
    SavedKey command("Software\\Classes\\ZembraTestHtml\\shell\\open\\command", "");
    ext.Set("ZembraTestHtml");
    command.Set("\"" + launcher + "\" \"%1\"");
    gui::Program p;
    HWND frame = Start(p);
    ASSERT_NE(frame, nullptr);
    ::SetForegroundWindow(frame);
    ASSERT_TRUE(gui::WaitUntil([&] { return ::GetForegroundWindow() == frame; }));
    ::keybd_event(VK_F1, 0, 0, 0);
    ::keybd_event(VK_F1, 0, KEYEVENTF_KEYUP, 0);
    HWND help = gui::FindTop("ZembraHelpWindow", "Zembra Help", gui::kTimeoutMs, p.Pid());
    if (!help) {
        HWND box = gui::FindMessageBox(p.Pid(), 0);
        FAIL() << "no help window" << (box ? ": " + gui::MessageBoxText(box) : std::string());
    }
    EXPECT_TRUE(gui::WaitUntil([&] { return !ReadWholeFile(launcher + ".txt").empty(); })) << "the handler was tried";
    HWND topics = ::GetDlgItem(help, 100), text = ::GetDlgItem(help, 101);
    EXPECT_EQ(::SendMessageA(topics, LB_GETCURSEL, 0, 0), 0);
    EXPECT_EQ(gui::Text(text).rfind("Zembra Help\r\n\r\nZembra cuts files", 0), 0u) << gui::Text(text);

    // Shift+F1's message with the set name in focus: the same window, at "Split set name".
    HWND name = gui::FindChild(frame, 1014);
    ASSERT_NE(name, nullptr);
    ::PostMessageA(name, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    ::PostMessageA(name, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    ::PostMessageA(::GetParent(name), WM_APP + 5, 0, 0);
    EXPECT_TRUE(gui::WaitUntil([&] { return gui::Text(text).rfind("Split set name\r\n\r\nThe name of the set.", 0) == 0; }))
        << gui::Text(text);
    if (const char* pause = std::getenv("ZEMBRA_SHOT_PAUSE_MS")) {
        // Time for a person to take a picture of the help window.
        WriteWholeFile("C:\\zbshot-help.ready", "");
        ::Sleep(static_cast<DWORD>(std::atoi(pause)));
    }
    gui::WindowQuery all{"ZembraHelpWindow", "", false, p.Pid(), true};
    EXPECT_EQ(gui::TopWindows(all).size(), 1u);
    EXPECT_EQ(gui::FindMessageBox(p.Pid(), 0), nullptr);
    Close(p, frame);
}

TEST_F(ZembraShell, HomePageStartsTheBrowserFoundUnderTheIe4KeyWithTheAddress) {
    std::string folder = scratch_ + "\\Internet Browser";  // a space: the path must be quoted
    std::string browser = StandIn(folder, "iexplore.exe");
    std::string decoy = StandIn(scratch_, "Internet.exe");  // what an unquoted line would start
    SavedKey ie(kIeKey, "Path");
    ie.Set(folder);

    gui::Program p;
    HWND frame = Start(p);
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(MailValue("BROWSER"), browser);  // found at start-up
    Post(frame, 32782);
    ASSERT_TRUE(gui::WaitUntil([&] { return !ReadWholeFile(browser + ".txt").empty(); }))
        << gui::MessageBoxText(gui::FindMessageBox(p.Pid(), 100));
    // The program receives its own path quoted; after it come one space and the address.
    std::string line = ReadWholeFile(browser + ".txt");
    if (!line.empty() && line[0] == '"') line.erase(0, 1), line.erase(browser.size(), 1);
    EXPECT_EQ(line.substr(0, browser.size() + 1), browser + " ") << line;
    EXPECT_EQ(line.substr(browser.size() + 1, 7), "http://") << line;
    EXPECT_EQ(ReadWholeFile(decoy + ".txt"), "");
    Close(p, frame);
}

TEST_F(ZembraShell, ABrowserThatCannotStartIsForgottenWithAMessage) {
    // The IE4 key without "Path": the browser stored is "\iexplore.exe", which cannot start.
    SavedKey ie(kIeKey, "Path");
    ::RegDeleteTreeA(HKEY_LOCAL_MACHINE, kIeKey);
    SavedKey other(kIeKey, "Other");
    other.Set("x");

    gui::Program p;
    HWND frame = Start(p);
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(MailValue("BROWSER"), "\\iexplore.exe");
    Post(frame, 32782);
    EXPECT_EQ(gui::AnswerNextMessageBox(IDOK, p.Pid()), "Failed to start the Browser!");
    EXPECT_EQ(MailValue("BROWSER"), "");
    Close(p, frame);
}

// Email from a program folder with spaces: the mailer must be started by its whole path, not
// by the folder's first word ("my.exe" here, "C:\Program.exe" on a real installation).
TEST_F(ZembraShell, EmailStartsTheMailerByItsWholePathFromAFolderWithSpaces) {
    std::string apps = scratch_ + "\\my apps";
    ::CreateDirectoryA(apps.c_str(), nullptr);
    ASSERT_TRUE(::CopyFileA((ModuleFolder() + "zembra.exe").c_str(), (apps + "\\zembra.exe").c_str(), FALSE));
    ::CopyFileA((ModuleFolder() + "custom.dat").c_str(), (apps + "\\custom.dat").c_str(), FALSE);
    std::string mailer = StandIn(apps, "korvo.exe");
    std::string decoy = StandIn(scratch_, "my.exe");

    std::string folder = scratch_ + "\\set\\";
    ASSERT_GT(MakeMailedSet(folder), 0);
    ::WritePrivateProfileStringA("EMailSetup", "IEMailSMTP", "smtp.shell.example", "ReZove.ini");

    gui::Program p;
    ASSERT_TRUE(p.Start("\"" + apps + "\\zembra.exe\""));
    HWND frame = gui::FindTop(kFrameClass, "", gui::kTimeoutMs, p.Pid());
    ASSERT_NE(frame, nullptr);
    ::PostMessageA(frame, WM_APP + 4, 0, 0);  // Open project
    HWND open = gui::FindTop("#32770", "Select Zembrator File", gui::kTimeoutMs, p.Pid());
    ASSERT_NE(open, nullptr);
    ASSERT_TRUE(gui::SetText(gui::FindChild(open, 0x47C), folder + "mailed.spj"));
    ASSERT_TRUE(gui::Click(open, IDOK));
    ASSERT_TRUE(gui::WaitGone(open));
    HWND name = gui::FindChild(frame, 1014);
    ASSERT_NE(name, nullptr);
    ASSERT_TRUE(gui::WaitUntil([&] { return gui::Text(name) == "mailed"; }));
    HWND view = ::GetParent(name);
    ::PostMessageA(view, WM_COMMAND, MAKEWPARAM(1018, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(view, 1018)));
    // The opened project counts as changed: Email builds the set again first.
    EXPECT_EQ(gui::AnswerNextMessageBox(IDYES, p.Pid()).rfind("Overwrite existing Split Set!", 0), 0u);
    ASSERT_TRUE(gui::WaitUntil([&] {
        return !ReadWholeFile(mailer + ".txt").empty() || !ReadWholeFile(decoy + ".txt").empty();
    })) << gui::MessageBoxText(gui::FindMessageBox(p.Pid(), 100));
    EXPECT_EQ(ReadWholeFile(decoy + ".txt"), "");
    std::string line = ReadWholeFile(mailer + ".txt");
    int segments = CSplitEngine::CountSegments(SystemFileSystem(), folder, "mailed");
    EXPECT_NE(line.find("&Segmented " + folder + "mailed " + std::to_string(segments)), std::string::npos) << line;
    p.Terminate();  // the build's review of the set may be open
}

}  // namespace
