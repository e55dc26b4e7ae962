// Mailer core without a network: text rules, base64, command line, settings, reply assembly.
#include <gtest/gtest.h>

#include <deque>

#include "fakes/memory_settings.h"
#include "fakes/scripted_prompts.h"
#include "mailer/attachment_encoder.h"
#include "mailer/mail_sender.h"
#include "mailer/mail_settings.h"
#include "mailer/mail_text.h"
#include "mailer/mailer_command_line.h"
#include "mailer/smtp_reply_reader.h"
#include "platform/posix/drive_map.h"
#include "unit/mail_servers.h"

namespace {

TEST(MailText, DotStuffingKeepsEveryLineInsideData) {
    struct Case {
        const char* in;
        const char* out;
    } cases[] = {
        {"", ""},
        {".", ".."},
        {"a\r\n.\r\nb", "a\r\n..\r\nb"},
        {".hidden\r\n..two", "..hidden\r\n...two"},
        {"mid.dle", "mid.dle"},
        {"bare\n.lf", "bare\r\n..lf"},          // a lone LF is a line end too
        {"bare\r.cr", "bare\r\n..cr"},
        {"x\r\n\r\n.", "x\r\n\r\n.."},
    };
    for (const Case& c : cases) EXPECT_EQ(mail_text::DotStuff(c.in), c.out) << c.in;
}

TEST(MailText, AddressesAndHeaderValues) {
    EXPECT_TRUE(mail_text::AddressIsSafe("a.b@example.com"));
    for (const char* bad : {"a@b\r\nRCPT TO: <x@y>", "a@b\n", "a@b\r", "<a@b>", "a>b"})
        EXPECT_FALSE(mail_text::AddressIsSafe(bad)) << bad;
    EXPECT_EQ(mail_text::OneLine("Hi\r\nBcc: x@y\nz"), "Hi  Bcc: x@y z");
    EXPECT_EQ(mail_text::FileNameOf("C:\\a b\\set_1.exe"), "set_1.exe");
}

TEST(MailText, ServerWithOptionalPort) {
    struct Case {
        const char* server;
        bool ok;
        const char* host;
        int port;
    } cases[] = {
        {"mail.example.com", true, "mail.example.com", 25},
        {" 127.0.0.1:2525 ", true, "127.0.0.1", 2525},
        {"host:65535", true, "host", 65535},
        {"host:0", false, "", 0},
        {"host:65536", false, "", 0},
        {"host:", false, "", 0},
        {"host:25x", false, "", 0},
        {":25", false, "", 0},
        {"", false, "", 0},
        {"::1", true, "::1", 25},
    };
    for (const Case& c : cases) {
        std::string host;
        uint16_t port = 0;
        EXPECT_EQ(mail_text::ParseServer(c.server, host, port), c.ok) << c.server;
        if (c.ok) {
            EXPECT_EQ(host, c.host);
            EXPECT_EQ(port, c.port);
        }
    }
}

TEST(AttachmentEncoder, StandardAlphabetAndPadding) {
    struct Case {
        std::string in, out;
    } cases[] = {
        {"", ""}, {"f", "Zg=="}, {"fo", "Zm8="}, {"foo", "Zm9v"}, {"foob", "Zm9vYg=="},
        {"\xff", "/w=="}, {"\xff\xfe", "//4="}, {std::string("\0\0\0", 3), "AAAA"},
        {"\xfb\xff\xbf", "+/+/"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CAttachmentEncoder::Encode(reinterpret_cast<const uint8_t*>(c.in.data()), c.in.size()), c.out);
}

TEST(AttachmentEncoder, LinesOf45BytesAndMissingFile) {
    std::string dir = MakeScratchFolder("zbmail");
    WriteWholeFile(dir + "/f.bin", std::string(46, 'x'));
    CAttachmentEncoder enc(SystemFileSystem());
    ASSERT_TRUE(enc.Open(posix_drives::ToWindows(dir + "/f.bin")));
    std::string line;
    ASSERT_TRUE(enc.NextLine(line));
    EXPECT_EQ(line.size(), 62u);
    EXPECT_EQ(line.substr(60), "\r\n");
    ASSERT_TRUE(enc.NextLine(line));
    EXPECT_EQ(line, "eA==\r\n");
    EXPECT_FALSE(enc.NextLine(line));
    EXPECT_EQ(enc.Cause(), CAttachmentEncoder::kNone);

    EXPECT_FALSE(enc.Open(posix_drives::ToWindows(dir + "/missing.bin")));
    EXPECT_EQ(enc.Cause(), CAttachmentEncoder::kFileNotFound);
    std::system(("rm -rf " + dir).c_str());
}

TEST(MailerCommandLine, TextAfterTheProgramName) {
    struct Case {
        const char* line;
        const char* rest;
    } cases[] = {
        {"korvo.exe &Segmented C:\\x 3", "&Segmented C:\\x 3"},
        {"\"C:\\Program Files\\korvo.exe\"  a*b", "a*b"},
        {"\"C:\\Program Files\\korvo.exe\"", ""},
        {"  korvo", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(CMailerCommandLine::AfterProgramName(c.line), c.rest) << c.line;
}

TEST(MailerCommandLine, SegmentedAndFileListForms) {
    CMailerCommandLine c;
    c.Parse("&Segmented C:\\sets\\my set 3");
    EXPECT_EQ(c.mode, CMailerCommandLine::Mode::Segmented);
    EXPECT_EQ(c.prefix, " C:\\sets\\my set");  // the leading space stays; names trim it
    EXPECT_EQ(c.count, 3);
    EXPECT_EQ(CMailerCommandLine::SegmentFileName(c.prefix, 1), "C:\\sets\\my set_1.exe");
    EXPECT_EQ(CMailerCommandLine::SegmentFileName(c.prefix, 12), "C:\\sets\\my set_12.seg");

    c.Parse("C:\\a.txt*C:\\dir with space\\b.doc*");
    EXPECT_EQ(c.mode, CMailerCommandLine::Mode::FileList);
    EXPECT_EQ(c.files, (std::vector<std::string>{"C:\\a.txt", "C:\\dir with space\\b.doc"}));

    c.Parse("\"C:\\one file.txt\"");
    EXPECT_EQ(c.files, std::vector<std::string>{"C:\\one file.txt"});

    for (const char* empty : {"", "   ", "&Segmented", "&Segmented C:\\x 0", "&Segmented 4", "*"}) {
        c.Parse(empty);
        EXPECT_EQ(c.mode, CMailerCommandLine::Mode::Empty) << empty;
    }

    std::string fits = "C:\\" + std::string(256, 'a');  // 259 characters
    c.Parse(fits + "*C:\\b");
    EXPECT_EQ(c.mode, CMailerCommandLine::Mode::FileList);
    c.Parse("C:\\b*" + fits + "a");
    EXPECT_EQ(c.mode, CMailerCommandLine::Mode::PathTooLong);
    EXPECT_EQ(c.tooLongPath, fits + "a");
    EXPECT_TRUE(c.files.empty());
}

TEST(MailSettings, KeysLimitsAndSegmentSize) {
    MemorySettings store;
    store.values["EMailSetup/IEMailSMTP"] = std::string(150, 's');
    store.values["EMailSetup/IEMailAddress"] = "me@here";
    CMailSettings settings(store);
    settings.Load();
    EXPECT_EQ(settings.server.size(), 99u);
    EXPECT_EQ(settings.fromAddress, "me@here");
    EXPECT_EQ(settings.toAddress, "");

    struct Case {
        const char* size;
        uint64_t bytes;
    } cases[] = {{"", 1536000}, {"100", 102400}, {"1", 1024}, {"0", 1536000}, {"-5", 1536000},
                 {"abc", 1536000}};
    for (const Case& c : cases) {
        settings.size = c.size;
        EXPECT_EQ(settings.SegmentBytes(), c.bytes) << c.size;
    }

    settings.server = "smtp:2525";
    settings.toAddress = "you@there";
    settings.SaveAll();
    EXPECT_EQ(store.values["EMailSetup/IEMailSMTP"], "smtp:2525");
    EXPECT_EQ(store.values["EMailSetup/IEMailToAddress"], "you@there");
    EXPECT_EQ(store.values["EMailSetup/IEMailAddress"], "me@here");
}

TEST(MailSender, FormChecksAndBodies) {
    ScriptedPrompts prompts;
    MailForm form{"  smtp ", " a@b ", " c@d ", "s", "t"};
    EXPECT_TRUE(CMailSender::CheckForm(form, prompts));
    EXPECT_EQ(form.server, "smtp");
    EXPECT_EQ(form.fromAddress, "a@b");
    EXPECT_TRUE(prompts.shown.empty());

    MailForm missing{"smtp", "  ", "c@d", "", ""};
    EXPECT_FALSE(CMailSender::CheckForm(missing, prompts));
    MailForm injected{"smtp", "a@b\r\nRCPT TO:<x@y>", "c@d", "", ""};
    EXPECT_FALSE(CMailSender::CheckForm(injected, prompts));
    EXPECT_EQ(prompts.Texts(), (std::vector<std::string>{
                                   "You must enter an EMail Server, a From, and To EMail address.",
                                   "An EMail address must not contain line breaks or angle brackets."}));

    std::string first = CMailSender::SegmentBody(1, 3, "hello");
    EXPECT_EQ(first.rfind("Zembra File Segment 1 of 3\r\nFiles segments have been e-mailed", 0), 0u);
    EXPECT_EQ(first.substr(first.size() - 19), "you specify.\r\nhello");
    EXPECT_EQ(CMailSender::SegmentBody(2, 3, "hello"), "Zembra File Segment 2 of 3\r\nhello");
}

// A socket that hands out scripted packets, to cut replies anywhere.
class PacketSocket : public ISocket {
public:
    explicit PacketSocket(std::deque<std::string> packets) : packets_(std::move(packets)) {}
    bool Send(const void*, size_t) override { return true; }
    int Receive(void* buffer, size_t count) override {
        if (packets_.empty()) return 0;
        std::string p = packets_.front();
        packets_.pop_front();
        if (p.size() > count) {
            packets_.push_front(p.substr(count));
            p.resize(count);
        }
        std::copy(p.begin(), p.end(), static_cast<char*>(buffer));
        return static_cast<int>(p.size());
    }
    int LastError() const override { return 0; }
    bool TimedOut() const override { return false; }
    void SetTimeout(int) override {}

private:
    std::deque<std::string> packets_;
};

TEST(SmtpReplyReader, AssemblesRepliesAcrossPackets) {
    PacketSocket socket({"220-one\r\n", "220 two\r\n25", "0-a\r\n250 b\r\n354 go\r", "\n", "221"});
    CSmtpReplyReader reader(socket);
    std::string reply;
    ASSERT_TRUE(reader.Read(reply));
    EXPECT_EQ(reply, "220-one\r\n220 two\r\n");
    ASSERT_TRUE(reader.Read(reply));
    EXPECT_EQ(reply, "250-a\r\n250 b\r\n");
    ASSERT_TRUE(reader.Read(reply));
    EXPECT_EQ(reply, "354 go\r\n");
    EXPECT_FALSE(reader.Read(reply));  // closed before the line ended
    EXPECT_EQ(reply, "221");

    for (const char* last : {"250 ok", "250", "garbage", "25"}) EXPECT_TRUE(CSmtpReplyReader::IsLastLine(last));
    for (const char* more : {"250-ok", "220-"}) EXPECT_FALSE(CSmtpReplyReader::IsLastLine(more));
}

TEST(SmtpReplyReader, EndlessReplyIsCutOff) {
    std::deque<std::string> packets;
    for (int i = 0; i < 100; ++i) packets.push_back("250-" + std::string(1000, 'x') + "\r\n");
    PacketSocket socket(packets);
    CSmtpReplyReader reader(socket);
    std::string reply;
    EXPECT_FALSE(reader.Read(reply));
}

}  // namespace
