// korvo end to end under Wine: the real program, its dialog filled and sent through the GUI
// driver, real SMTP servers on 127.0.0.1 (started by the korvo_mail fixture), messages read
// back from the sink's inbox.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>

#include "engine/split_engine.h"
#include "fakes/scripted_prompts.h"
#include "fakes/test_files.h"
#include "gui/driver/gui_driver.h"
#include "platform/process.h"
#include "zembra_version.h"

namespace {

constexpr int kSendTimeoutMs = 60000;

// Where the fixture keeps the servers: <build>/korvo_mail, seen through Wine's Z: drive.
std::string MailDir() { return BuildFolderFromWine() + "\\korvo_mail"; }

std::string Server(const char* name) {
    return "127.0.0.1:" + std::to_string(std::atoi(ReadWholeFile(MailDir() + "\\" + name + ".port").c_str()));
}

int InboxCount() {
    int n = 0;
    while (GetFileAttributesA((MailDir() + "\\inbox\\msg-" + std::to_string(n + 1) + ".eml").c_str()) !=
           INVALID_FILE_ATTRIBUTES)
        ++n;
    return n;
}

std::string Message(int n) { return ReadWholeFile(MailDir() + "\\inbox\\msg-" + std::to_string(n) + ".eml"); }

std::string DecodeBase64(const std::string& text) {
    std::string out;
    unsigned value = 0;
    int bits = 0;
    for (char c : text) {
        int v = c >= 'A' && c <= 'Z' ? c - 'A' : c >= 'a' && c <= 'z' ? c - 'a' + 26
              : c >= '0' && c <= '9' ? c - '0' + 52 : c == '+' ? 62 : c == '/' ? 63 : -1;
        if (v < 0) continue;
        value = (value << 6) | static_cast<unsigned>(v);
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            out += static_cast<char>((value >> bits) & 0xFF);
        }
    }
    return out;
}

// The attachment of a stored message: its name and decoded bytes.
std::pair<std::string, std::string> Attachment(const std::string& message) {
    size_t name = message.find("name=\"");
    size_t start = message.find("\r\n\r\n", message.find("Content-Disposition: attachment"));
    size_t end = message.find("\r\n--=_zb", start);
    if (name == std::string::npos || start == std::string::npos || end == std::string::npos) return {};
    name += 6;
    return {message.substr(name, message.find('"', name) - name),
            DecodeBase64(message.substr(start + 4, end - start - 4))};
}

void SetMailSettings(const std::string& server) {
    WritePrivateProfileStringA("EMailSetup", "IEMailSMTP", server.c_str(), "ReZove.ini");
    WritePrivateProfileStringA("EMailSetup", "IEMailAddress", "me@example.com", "ReZove.ini");
    WritePrivateProfileStringA("EMailSetup", "IEMailToAddress", "you@example.com", "ReZove.ini");
}

// The mail settings file lives in the prefix's Windows folder, shared with other programs'
// tests: it is put back as it was when these tests end.
std::string SettingsFile() {
    char dir[MAX_PATH] = {0};
    GetWindowsDirectoryA(dir, sizeof dir);
    return std::string(dir) + "\\ReZove.ini";
}

class Korvo : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        savedExists_ = GetFileAttributesA(SettingsFile().c_str()) != INVALID_FILE_ATTRIBUTES;
        if (savedExists_) saved_ = ReadWholeFile(SettingsFile());
    }
    static void TearDownTestSuite() {
        WritePrivateProfileStringA(nullptr, nullptr, nullptr, "ReZove.ini");  // flush the cache
        if (savedExists_)
            WriteWholeFile(SettingsFile(), saved_);
        else
            DeleteFileA(SettingsFile().c_str());
    }
    static inline std::string saved_;
    static inline bool savedExists_ = false;

    void SetUp() override {
        ASSERT_GT(InboxCount() + 1, 0);
        ASSERT_NE(ReadWholeFile(MailDir() + "\\sink.port"), "") << "the korvo_mail fixture did not run";
        korvo_ = "\"" + ModuleFolder() + "korvo.exe\"";
        sets_ = ModuleFolder() + "korvo sets\\";
        CreateDirectoryA(sets_.c_str(), nullptr);
    }

    // A set of three segments made by the engine in a folder and under a name with spaces.
    std::string MakeSet(const std::string& name) {
        std::string folder = sets_ + name + " dir\\";
        CreateDirectoryA(folder.c_str(), nullptr);
        WriteWholeFile(folder + "data.bin", PatternBytes(12000, 3));
        BytesRejoinerImage image(std::vector<uint8_t>(1000, 0x4D));
        ScriptedPrompts prompts;
        NullProgress progress;
        CSplitEngine engine(SystemFileSystem(), prompts, progress, image, SplitEngineOptions::Mailer());
        engine.AddItem(folder + "data.bin");
        EXPECT_TRUE(engine.Split(folder, name, 6000)) << (prompts.shown.empty() ? "" : prompts.Texts()[0]);
        EXPECT_EQ(engine.SegmentCount(), 3);
        return folder + name;
    }

    // The mail dialog (the window with the Subject field); a message box instead fails the
    // test with its text.
    HWND WaitDialog(gui::Program& p) {
        HWND window = gui::FindTop("#32770", "Zembra", gui::kTimeoutMs, p.Pid());
        if (window && !gui::FindChild(window, 1003, 2000)) {
            ADD_FAILURE() << "message instead of the dialog: " << gui::MessageBoxText(window);
            return nullptr;
        }
        return window;
    }

    // Starts korvo on the three segments at prefix; returns its dialog, or nullptr (a failure).
    HWND StartOnSet(gui::Program& p, const std::string& prefix) {
        if (!p.Start(korvo_ + " &Segmented " + prefix + " 3")) {
            ADD_FAILURE() << "korvo did not start";
            return nullptr;
        }
        return WaitDialog(p);
    }
    // The mail settings point at the named server; a new set is made (its prefix in prefix_)
    // and korvo started on it.
    HWND StartOnNewSet(gui::Program& p, const std::string& name, const char* server = "sink") {
        SetMailSettings(Server(server));
        prefix_ = MakeSet(name);
        return StartOnSet(p, prefix_);
    }

    // Fills the dialog and presses Send; returns the message boxes' texts until korvo ends.
    std::vector<std::string> FillAndSend(gui::Program& p, HWND dialog, const std::string& text) {
        EXPECT_TRUE(gui::SetText(dialog, 1003, "Segments for you"));
        EXPECT_TRUE(gui::SetText(dialog, 1002, text));
        EXPECT_TRUE(gui::Click(dialog, IDOK));
        std::vector<std::string> shown;
        for (;;) {
            std::string box = gui::AnswerNextMessageBox(IDOK, p.Pid(), kSendTimeoutMs);
            if (box.empty()) break;
            shown.push_back(box);
            if (box.find("Rovudede") == 0 || box.find("A segment of the set") == 0) break;
        }
        EXPECT_TRUE(p.WaitExit());
        return shown;
    }

    std::string korvo_, sets_, prefix_;
};

TEST_F(Korvo, MailsASegmentedSetOneMessagePerSegment) {
    int before = InboxCount();
    gui::Program p;
    HWND dialog = StartOnNewSet(p, "my set");
    ASSERT_TRUE(dialog);
    EXPECT_EQ(gui::Text(gui::FindChild(dialog, 1000)), "you@example.com");
    EXPECT_EQ(gui::Text(gui::FindChild(dialog, 1001)), "me@example.com");
    EXPECT_EQ(FillAndSend(p, dialog, "See you\r\n.\r\nBye"), std::vector<std::string>{"Rovudede EMailed!"});

    ASSERT_EQ(InboxCount(), before + 3);
    for (int n = 1; n <= 3; ++n) {
        SCOPED_TRACE(n);
        std::string m = Message(before + n);
        std::string line = "Zembra File Segment " + std::to_string(n) + " of 3\r\n";
        EXPECT_NE(m.find("\r\n\r\n" + line), std::string::npos);
        EXPECT_EQ(m.find("Files segments have been e-mailed") != std::string::npos, n == 1);
        EXPECT_NE(m.find("subject: Segments for you\r\n"), std::string::npos);
        EXPECT_NE(m.find("\r\nSee you\r\n.\r\nBye\r\n"), std::string::npos);  // unstuffed by the server
        auto [name, bytes] = Attachment(m);
        std::string file = "my set_" + std::to_string(n) + (n == 1 ? ".EXE" : ".SEG");
        EXPECT_EQ(bytes, ReadWholeFile(prefix_ + "_" + std::to_string(n) + (n == 1 ? ".EXE" : ".SEG")));
        EXPECT_FALSE(bytes.empty());
        EXPECT_EQ(CharUpperA(&name[0]), std::string(CharUpperA(&file[0])));
    }
    char server[128] = {0};
    GetPrivateProfileStringA("EMailSetup", "IEMailSMTP", "", server, sizeof server, "ReZove.ini");
    EXPECT_EQ(std::string(server), Server("sink"));
}

TEST_F(Korvo, MissingMiddleSegmentSendsNothing) {
    SetMailSettings(Server("sink"));
    std::string prefix = MakeSet("gap set");
    ASSERT_TRUE(DeleteFileA((prefix + "_2.SEG").c_str()));
    int before = InboxCount();
    gui::Program p;
    HWND dialog = StartOnSet(p, prefix);
    ASSERT_TRUE(dialog);
    EXPECT_EQ(FillAndSend(p, dialog, "gap"),
              std::vector<std::string>{"A segment of the set is missing, so nothing has been sent:\n" + prefix + "_2.seg"});
    EXPECT_EQ(InboxCount(), before);
}

TEST_F(Korvo, RefusedRecipientStopsTheRun) {
    gui::Program p;
    HWND dialog = StartOnNewSet(p, "refused set", "rcpt550");
    ASSERT_TRUE(dialog);
    EXPECT_EQ(FillAndSend(p, dialog, "x"),
              (std::vector<std::string>{"The To address is invalid.", "Rovudede EMail Exited!"}));
}

TEST_F(Korvo, EmptyFieldsKeepTheDialogOpen) {
    gui::Program p;
    HWND dialog = StartOnNewSet(p, "field set");
    ASSERT_TRUE(dialog);
    ASSERT_TRUE(gui::SetText(dialog, 1000, "  "));
    ASSERT_TRUE(gui::Click(dialog, IDOK));
    EXPECT_EQ(gui::AnswerNextMessageBox(IDOK, p.Pid()),
              "You must enter an EMail Server, a From, and To EMail address.");
    ASSERT_TRUE(gui::SetText(dialog, 1000, "a@b>\r\nRCPT TO:<c@d"));
    ASSERT_TRUE(gui::Click(dialog, IDOK));
    EXPECT_EQ(gui::AnswerNextMessageBox(IDOK, p.Pid()),
              "An EMail address must not contain line breaks or angle brackets.");
    EXPECT_TRUE(p.Running());
    ASSERT_TRUE(gui::Click(dialog, IDCANCEL));
    EXPECT_TRUE(p.WaitExit());
}

TEST_F(Korvo, SystemMenuOpensTheAboutBox) {
    gui::Program p;
    HWND dialog = StartOnNewSet(p, "about set");
    ASSERT_TRUE(dialog);
    ASSERT_TRUE(PostMessageA(dialog, WM_SYSCOMMAND, 0x0010, 0));  // "&About Zembra..."
    HWND about = gui::FindTop("#32770", "About Zembra", gui::kTimeoutMs, p.Pid());
    ASSERT_TRUE(about);
    EXPECT_TRUE(FindWindowExA(about, nullptr, "Static", ZEMBRA_ABOUT_VERSION));
    ASSERT_TRUE(gui::Click(about, IDOK));
    EXPECT_TRUE(gui::WaitGone(about));
    ASSERT_TRUE(gui::Click(dialog, IDCANCEL));
    EXPECT_TRUE(p.WaitExit());
}

TEST_F(Korvo, SecondStartIsRefusedWhileOneRuns) {
    gui::Program first;
    HWND dialog = StartOnNewSet(first, "busy set");
    ASSERT_TRUE(dialog);
    gui::Program second;
    ASSERT_TRUE(second.Start(korvo_ + " &Segmented " + prefix_ + " 3"));
    EXPECT_EQ(gui::AnswerNextMessageBox(IDOK, second.Pid()),
              "Zembra EMailer is already running.\nPlease wait and try again later.");
    EXPECT_TRUE(second.WaitExit());
    EXPECT_TRUE(first.Running());
    EXPECT_TRUE(gui::WaitVisible(dialog));
    ASSERT_TRUE(gui::Click(dialog, IDCANCEL));
    EXPECT_TRUE(first.WaitExit());
}

TEST_F(Korvo, RefusedCommandLines) {
    struct Case {
        std::string args, message;
    } cases[] = {
        {"", "No files passed in!"},
        {"&Segmented", "No files passed in!"},
        {"C:\\" + std::string(260, 'x'),
         "A file path is longer than 259 characters:\nC:\\" + std::string(260, 'x')},
    };
    for (const Case& c : cases) {
        gui::Program p;
        ASSERT_TRUE(p.Start(korvo_ + " " + c.args));
        EXPECT_EQ(gui::AnswerNextMessageBox(IDOK, p.Pid()), c.message);
        EXPECT_TRUE(p.WaitExit());
    }
}

// The work folders of file-list runs: "zembra-mail-*" in the temp folder.
std::vector<std::string> WorkFolders() {
    char temp[MAX_PATH] = {0};
    GetTempPathA(sizeof temp, temp);
    std::vector<std::string> found;
    WIN32_FIND_DATAA data;
    HANDLE h = FindFirstFileA((std::string(temp) + "zembra-mail-*").c_str(), &data);
    if (h == INVALID_HANDLE_VALUE) return found;
    do found.push_back(std::string(temp) + data.cFileName + "\\");
    while (FindNextFileA(h, &data));
    FindClose(h);
    return found;
}

TEST_F(Korvo, FileListIsSplitInTheTempFolderMailedAndRemoved) {
    SetMailSettings(Server("sink"));
    // 512,000 bytes: room for either build's rejoiner (the win32 one, which also rebuilds
    // segments from recovery volumes, is 392 KB) and some data.
    WritePrivateProfileStringA("EMailSetup", "IEMailSize", "500", "ReZove.ini");
    std::string folder = sets_ + "list dir\\";
    CreateDirectoryA(folder.c_str(), nullptr);
    WriteWholeFile(folder + "one.bin", PatternBytes(200000, 1));
    WriteWholeFile(folder + "two words.txt", PatternBytes(180000, 2));
    // A run that died may have left its work folder: this run's must be the only one.
    for (const std::string& stale : WorkFolders()) RemoveTree(SystemFileSystem(), stale.substr(0, stale.size() - 1));
    ASSERT_TRUE(WorkFolders().empty());
    int before = InboxCount();
    gui::Program p;
    ASSERT_TRUE(p.Start(korvo_ + " " + folder + "one.bin*" + folder + "two words.txt"));
    HWND dialog = WaitDialog(p);
    WritePrivateProfileStringA("EMailSetup", "IEMailSize", nullptr, "ReZove.ini");
    ASSERT_TRUE(dialog);

    // The set waits in a folder of its own under the temp folder, none beside the program.
    std::vector<std::string> work = WorkFolders();
    ASSERT_EQ(work.size(), 1u);
    EXPECT_EQ(GetFileAttributesA((ModuleFolder() + "mailtemp").c_str()), INVALID_FILE_ATTRIBUTES);
    std::vector<std::string> segments;
    for (int n = 1;; ++n) {
        std::string path = work[0] + "mailxp_" + std::to_string(n) + (n == 1 ? ".EXE" : ".SEG");
        if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) break;
        segments.push_back(ReadWholeFile(path));
    }
    ASSERT_GE(segments.size(), 2u);
    // The first segment is a runnable rejoiner: korvo's own embedded image heads it.
    EXPECT_EQ(segments[0].substr(0, 2), "MZ");

    EXPECT_EQ(FillAndSend(p, dialog, "list"), std::vector<std::string>{"Rovudede EMailed!"});
    ASSERT_EQ(InboxCount(), before + static_cast<int>(segments.size()));
    for (size_t n = 0; n < segments.size(); ++n)
        EXPECT_EQ(Attachment(Message(before + 1 + static_cast<int>(n))).second, segments[n]) << n;
    EXPECT_TRUE(WorkFolders().empty());

    // Cancelled without sending: the set goes all the same.
    gui::Program q;
    ASSERT_TRUE(q.Start(korvo_ + " " + folder + "one.bin"));
    dialog = WaitDialog(q);
    ASSERT_TRUE(dialog);
    EXPECT_EQ(WorkFolders().size(), 1u);
    ASSERT_TRUE(gui::Click(dialog, IDCANCEL));
    EXPECT_TRUE(q.WaitExit());
    EXPECT_TRUE(WorkFolders().empty());
}

}  // namespace
