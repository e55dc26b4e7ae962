// The SMTP client and the set mailer against real servers on 127.0.0.1: the aiosmtpd sink
// for the happy paths, scripted peers for the misbehaving ones; Python's email package reads
// what arrived.
#include <gtest/gtest.h>

#include <chrono>
#include <sys/socket.h>
#include <netinet/in.h>

#include "fakes/scripted_prompts.h"
#include "mailer/mail_sender.h"
#include "mailer/smtp_client.h"
#include "platform/posix/drive_map.h"
#include "platform/text_trim.h"
#include "unit/mail_servers.h"

namespace {

class MailServers : public ::testing::Test {
protected:
    void SetUp() override { dir_ = MakeScratchFolder("zbsmtp"); }
    void TearDown() override {
        if (!std::getenv("ZB_KEEP_MAIL")) std::system(("rm -rf '" + dir_ + "'").c_str());
    }

    std::unique_ptr<mail_test::PythonServer> StartSink() {
        return std::make_unique<mail_test::PythonServer>(
            "smtp_sink.py", std::vector<std::string>{dir_ + "/inbox", dir_ + "/sink.port", "300"},
            dir_ + "/sink.port");
    }
    std::unique_ptr<mail_test::PythonServer> StartScripted(const std::string& scenario) {
        std::string port = dir_ + "/" + scenario + ".port";
        return std::make_unique<mail_test::PythonServer>(
            "scripted_server.py", std::vector<std::string>{scenario, Log(scenario), port, "120"}, port);
    }
    std::string Log(const std::string& scenario) { return dir_ + "/" + scenario + ".log"; }
    std::string Win(const std::string& rel) { return posix_drives::ToWindows(dir_ + "/" + rel); }
    std::string Inbox(int n) { return dir_ + "/inbox/msg-" + std::to_string(n) + ".eml"; }

    MailJob Job(int port, const std::string& attachment) {
        MailJob job;
        job.server = job.heloName = "127.0.0.1:" + std::to_string(port);
        job.fromAddress = "sender@example.com";
        job.toAddress = "rcpt@example.org";
        job.subject = "Set\r\nBcc: victim@example.net";
        job.body = "first\r\n.\r\n.dotted\r\nlast";
        job.attachmentPath = attachment.empty() ? "" : " " + attachment + " ";
        return job;
    }

    std::string dir_;
};

TEST_F(MailServers, AttachmentsArriveByteForByte) {
    auto sink = StartSink();
    ASSERT_GT(sink->port, 0);
    const size_t sizes[] = {0, 1, 2, 45, 46, 100000};
    int n = 0;
    for (size_t size : sizes) {
        ++n;
        std::string name = "seg" + std::to_string(size) + ".bin";
        WriteWholeFile(dir_ + "/" + name, DescendingBytes(size));
        ScriptedPrompts prompts;
        CSmtpClient client(prompts, nullptr);
        ASSERT_TRUE(client.Connect(Job(sink->port, Win(name))));
        EXPECT_TRUE(client.SendMail(n, 6)) << size;
        EXPECT_TRUE(prompts.shown.empty()) << prompts.Texts()[0];

        auto m = mail_test::Inspect(Inbox(n), dir_ + "/out" + std::to_string(n));
        EXPECT_EQ(m["from"], "sender@example.com");
        EXPECT_EQ(m["to"], "rcpt@example.org");
        EXPECT_EQ(m["subject"], "Set  Bcc: victim@example.net");  // one header, not two
        EXPECT_EQ(m["mime-version"], "1.0");
        EXPECT_EQ(m["content-type"], "multipart/mixed");
        EXPECT_EQ(m["boundary"].rfind("=_zb", 0), 0u) << m["boundary"];
        EXPECT_EQ(m["defects"], "0");
        ASSERT_EQ(m["parts"], "2");
        EXPECT_EQ(m["part1.type"], "text/plain");
        EXPECT_EQ(m["part1.encoding"], "quoted-printable");
        // The line end before a boundary belongs to the boundary.
        EXPECT_EQ(m["part1.text"], "first\r\n.\r\n.dotted\r\nlast\r\n");
        EXPECT_EQ(m["part2.type"], "application/octet-stream");
        EXPECT_EQ(m["part2.encoding"], "base64");
        EXPECT_EQ(m["part2.name"], name);
        EXPECT_EQ(m["part2.defects"], "0");
        EXPECT_EQ(ReadWholeFile(dir_ + "/out" + std::to_string(n) + "/" + name), DescendingBytes(size)) << size;

        std::string env = ReadWholeFile(dir_ + "/inbox/msg-" + std::to_string(n) + ".env");
        EXPECT_EQ(env, "sender@example.com\nrcpt@example.org\n");

        // Raw layout: 60-character lines, only the last shorter, then an empty line.
        std::string raw = ReadWholeFile(Inbox(n));
        size_t start = raw.find("\r\n\r\n", raw.find("Content-Disposition: attachment")) + 4;
        size_t end = raw.find("\r\n--" + m["boundary"] + "--\r\n");
        ASSERT_NE(end, std::string::npos);
        std::string lines = raw.substr(start, end - start);
        size_t full = size / 45, rest = size % 45;
        std::string expect;
        for (size_t i = 0; i < full; ++i) expect += std::string(60, '?') + "\r\n";
        if (rest) expect += std::string((rest + 2) / 3 * 4, '?') + "\r\n";
        ASSERT_EQ(lines.size(), expect.size()) << size;
        for (size_t i = 0; i < lines.size(); ++i) {
            if (expect[i] == '?') continue;
            ASSERT_EQ(lines[i], expect[i]) << size << " at " << i;
        }
    }
}

TEST_F(MailServers, ProgressFollowsTheAttachment) {
    auto sink = StartSink();
    WriteWholeFile(dir_ + "/big.bin", DescendingBytes(100000));
    ScriptedPrompts prompts;
    RecordingProgress progress;
    CSmtpClient client(prompts, &progress);
    client.SetProgressInterval(0);
    ASSERT_TRUE(client.Connect(Job(sink->port, Win("big.bin"))));
    ASSERT_TRUE(client.SendMail(2, 3));
    EXPECT_EQ(progress.texts, std::vector<std::string>{"Sending Attachment 2 of 3"});
    ASSERT_EQ(progress.ranges.size(), 1u);
    EXPECT_EQ(progress.ranges[0], std::make_pair(0, 120000));
    // The window is visited per block of lines, not per line (2,223 lines here).
    EXPECT_EQ(progress.pumps, 9);
    EXPECT_EQ(progress.pos, 2222 * 62 + 18);  // 10 bytes left: 16 characters and CR LF
}

TEST_F(MailServers, CancelLeavesTheMessageUnfinished) {
    auto server = StartScripted("normal");
    WriteWholeFile(dir_ + "/big.bin", DescendingBytes(100000));
    ScriptedPrompts prompts;
    RecordingProgress progress;
    progress.cancelAfterPumps = 3;
    CSmtpClient client(prompts, &progress);
    client.SetProgressInterval(0);
    int ended = 0;
    client.OnDialogueEnd([&] { ++ended; });
    ASSERT_TRUE(client.Connect(Job(server->port, Win("big.bin"))));
    EXPECT_FALSE(client.SendMail(1, 1));
    EXPECT_TRUE(client.Cancelled());
    EXPECT_EQ(ended, 1);
    EXPECT_TRUE(prompts.shown.empty());
    std::string log = ReadWholeFile(Log("normal"));
    EXPECT_NE(log.find("DATA  \r\n"), std::string::npos);
    EXPECT_EQ(log.find("\r\n.\r\n"), std::string::npos);
    EXPECT_EQ(log.find("QUIT"), std::string::npos);
}

TEST_F(MailServers, MisbehavingServers) {
    struct Case {
        const char* scenario;
        bool sent;
        const char* message;  // "" for none
        bool quits;
    } cases[] = {
        {"normal", true, "", true},
        {"mail251", true, "", true},
        {"greeting2", true, "", true},
        {"multiline", true, "", true},
        {"rcpt550", false, "The To address is invalid.", true},
        {"datarefused", false, "The mail server did not accept the message:\n554 no data today", true},
        {"dotrefused", false, "The mail server did not accept the message:\n552 message too big", true},
        {"dropdata", false, "The connection to the mail server was lost.", false},
        {"silent", false, "The mail server did not answer in time.", false},
    };
    WriteWholeFile(dir_ + "/seg.bin", DescendingBytes(5000));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.scenario);
        auto server = StartScripted(c.scenario);
        ASSERT_GT(server->port, 0);
        ScriptedPrompts prompts;
        CSmtpClient client(prompts, nullptr);
        client.SetTimeout(1500);
        ASSERT_TRUE(client.Connect(Job(server->port, Win("seg.bin"))));
        EXPECT_EQ(client.SendMail(1, 1), c.sent);
        std::vector<std::string> expected;
        if (*c.message) expected.push_back(c.message);
        EXPECT_EQ(prompts.Texts(), expected);
        server.reset();  // the log is complete once the server is gone
        std::string log = ReadWholeFile(Log(c.scenario));
        if (std::string(c.scenario) != "silent") {
            EXPECT_EQ(log.rfind("HELO 127.0.0.1:", 0), 0u) << log.substr(0, 40);
        }
        EXPECT_EQ(log.find("QUIT\r\n") != std::string::npos, c.quits);
        if (c.sent) {
            EXPECT_NE(log.find("MAIL FROM: <sender@example.com>\r\nRCPT TO: <rcpt@example.org>\r\nDATA  \r\n"),
                      std::string::npos);
            EXPECT_NE(log.find("\r\n..\r\n..dotted\r\n"), std::string::npos);
        }
    }
}

TEST_F(MailServers, DrippingServerHasOneDeadlinePerReply) {
    // Its greeting takes eight seconds, a byte at a time: each byte comes well within the
    // time-out, the whole reply does not.
    auto server = StartScripted("drip");
    ScriptedPrompts prompts;
    CSmtpClient client(prompts, nullptr);
    client.SetTimeout(1500);
    ASSERT_TRUE(client.Connect(Job(server->port, "")));
    auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(client.SendMail(1, 1));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(4));
    EXPECT_EQ(prompts.Texts(), std::vector<std::string>{"The mail server did not answer in time."});
}

// windows-1252 text as UTF-8, which is how the reader prints what it decoded.
std::string Utf8(const std::string& latin1) {
    std::string out;
    for (unsigned char c : latin1) {
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else {
            out += static_cast<char>(0xC0 | c >> 6);
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

TEST_F(MailServers, EveryLineConformsWhateverTheUserTyped) {
    auto sink = StartSink();
    // A segment whose name is not ASCII, made through the file system the mailer reads with.
    std::string name = "caf\xe9 m\xfc" "de_1.exe";
    {
        // The host name is UTF-8; its Windows path spells it in windows-1252.
        auto file = SystemFileSystem().Open(Win(Utf8(name)), OpenMode::CreateWrite, Share::DenyWrite);
        ASSERT_TRUE(file);
        ASSERT_TRUE(file->Write(PatternBytes(5000, 7).data(), 5000));
    }
    MailJob job = Job(sink->port, Win(Utf8(name)));
    job.subject.clear();
    for (int i = 0; i < 280; ++i) job.subject += "Caf\xe9 ";  // 1,400 bytes
    // A line far past 998 bytes, the boundaries of old and the look of ours, 8-bit text, a
    // trailing space and a lone dot.
    job.body = "start\r\n" + std::string(3000, 'a') + "\r\n--bbb--\r\n--=_zb0--\r\nna\xefve\r\nspace \r\n.\r\nend";
    ScriptedPrompts prompts;
    CSmtpClient client(prompts, nullptr);
    ASSERT_TRUE(client.Connect(job));
    ASSERT_TRUE(client.SendMail(1, 1));

    auto m = mail_test::Inspect(Inbox(1), dir_ + "/out");
    EXPECT_LE(std::stoi(m["maxline"]), 78);
    EXPECT_EQ(m["eightbit"], "0");
    EXPECT_EQ(m["barelf"], "0");
    EXPECT_EQ(m["defects"], "0");
    EXPECT_EQ(m["subject.decoded"], Utf8(job.subject));
    ASSERT_EQ(m["parts"], "2");
    EXPECT_EQ(m["part1.defects"], "0");
    EXPECT_EQ(m["part1.charset"], "windows-1252");
    EXPECT_EQ(m["part1.text"], Utf8(job.body) + "\r\n");
    EXPECT_EQ(m["part2.defects"], "0");
    EXPECT_EQ(m["part2.name"], Utf8(name));
    EXPECT_EQ(ReadWholeFile(dir_ + "/out/" + Utf8(name)), PatternBytes(5000, 7));
}

TEST_F(MailServers, RefusedConnectionAndUnreadableAttachment) {
    // A port nobody listens on: bind one, learn its number, close it.
    int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof a;
    bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
    getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
    int closedPort = ntohs(a.sin_port);
    close(fd);

    ScriptedPrompts prompts;
    RecordingProgress progress;
    CSmtpClient refused(prompts, &progress);
    EXPECT_FALSE(refused.Connect(Job(closedPort, "")));
    EXPECT_EQ(progress.hides, 1);
    CSmtpClient badPort(prompts, nullptr);
    MailJob job = Job(25, "");
    job.server = "127.0.0.1:notaport";
    EXPECT_FALSE(badPort.Connect(job));
    EXPECT_EQ(prompts.Texts(), std::vector<std::string>(2, "Cannot connect to mail server."));

    auto sink = StartSink();
    ScriptedPrompts p2;
    CSmtpClient missing(p2, nullptr);
    ASSERT_TRUE(missing.Connect(Job(sink->port, Win("no-such-segment.seg"))));
    EXPECT_FALSE(missing.SendMail(1, 1));
    EXPECT_EQ(p2.Texts(), std::vector<std::string>{"Could not send Zembra file(s)! Error 2"});
    EXPECT_FALSE(mail_test::FileExists(Inbox(1)));
}

TEST_F(MailServers, InjectedAddressNeverReachesTheServer) {
    auto server = StartScripted("normal");
    ScriptedPrompts prompts;
    CSmtpClient client(prompts, nullptr);
    MailJob job = Job(server->port, "");
    job.toAddress = "rcpt@example.org>\r\nRCPT TO: <evil@example.net";
    ASSERT_TRUE(client.Connect(job));
    EXPECT_FALSE(client.SendMail(1, 1));
    EXPECT_EQ(prompts.Texts(),
              std::vector<std::string>{"An EMail address must not contain line breaks or angle brackets."});
    server.reset();
    EXPECT_EQ(ReadWholeFile(Log("normal")), "QUIT\r\n");
}

class SetMailer : public MailServers {
protected:
    // Segments of a set in a folder and name with spaces; returns the mailer's prefix.
    std::string MakeSet(int count, int skip = 0) {
        std::system(("mkdir -p '" + dir_ + "/my sets'").c_str());
        // Bytes of a pattern, with the flag byte where the reader looks: segment 1 is image
        // (4 bytes, its length in the trailer), flag, data, trailer; later ones flag, data.
        for (int n = 1; n <= count; ++n) {
            std::string bytes = DescendingBytes(1000 * n + 7);
            bytes[n == 1 ? 4 : 0] = n == count ? 1 : 0;
            if (n == 1) bytes.replace(bytes.size() - 4, 4, std::string("\x04\0\0\0", 4));
            if (n != skip)
                WriteWholeFile(dir_ + "/my sets/set one_" + std::to_string(n) + (n == 1 ? ".exe" : ".seg"), bytes);
        }
        return " " + posix_drives::ToWindows(dir_ + "/my sets/set one");
    }
    MailForm Form(int port) {
        return MailForm{"127.0.0.1:" + std::to_string(port), "me@example.com", "you@example.com",
                        "The set", "Regards\r\n.\r\nMe"};
    }
};

TEST_F(SetMailer, ThreeSegmentsThreeMessages) {
    auto sink = StartSink();
    std::string prefix = MakeSet(3);
    ScriptedPrompts prompts;
    RecordingProgress progress;
    std::unique_ptr<ISettings> ini = OpenProfileFile(Win("ReZove.ini"));
    CMailSettings settings(*ini);
    settings.server = "127.0.0.1:" + std::to_string(sink->port);
    CMailSender sender(prompts, SystemFileSystem(), &progress, &settings);
    int ended = 0;
    sender.OnDialogueEnd([&] { ++ended; });
    EXPECT_EQ(sender.MailSet(prefix, 3, Form(sink->port)), CMailSender::Outcome::Sent);
    EXPECT_EQ(prompts.Texts(), std::vector<std::string>{"Rovudede EMailed!"});
    EXPECT_EQ(ended, 3);
    EXPECT_FALSE(progress.visible);
    EXPECT_EQ(ini->GetString("EMailSetup", "IEMailSMTP", ""), settings.server);

    for (int n = 1; n <= 3; ++n) {
        SCOPED_TRACE(n);
        std::string out = dir_ + "/out" + std::to_string(n);
        auto m = mail_test::Inspect(Inbox(n), out);
        std::string text = m["part1.text"];
        std::string line = "Zembra File Segment " + std::to_string(n) + " of 3\r\n";
        EXPECT_EQ(text.rfind(line, 0), 0u) << text.substr(0, 40);
        EXPECT_EQ(text.find("Files segments have been e-mailed to you") != std::string::npos, n == 1);
        EXPECT_EQ(text.substr(text.size() - 18), "\r\nRegards\r\n.\r\nMe\r\n");
        EXPECT_EQ(m["subject"], "The set");
        std::string name = "set one_" + std::to_string(n) + (n == 1 ? ".exe" : ".seg");
        EXPECT_EQ(m["part2.name"], name);
        EXPECT_EQ(ReadWholeFile(out + "/" + name), ReadWholeFile(dir_ + "/my sets/" + name));
    }
    EXPECT_FALSE(mail_test::FileExists(Inbox(4)));
}

TEST_F(SetMailer, IncompleteSetSendsNothing) {
    auto sink = StartSink();
    struct Case {
        int segments, skip, count;
        const char* named;  // the segment the message names
    } cases[] = {
        {3, 2, 3, "set one_2.seg"},  // a gap in the middle
        {3, 0, 2, "set one_3.seg"},  // the last one asked for is not the set's last
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.named);
        std::string prefix = MakeSet(c.segments, c.skip);
        ScriptedPrompts prompts;
        RecordingProgress progress;
        CMailSender sender(prompts, SystemFileSystem(), &progress, nullptr);
        EXPECT_EQ(sender.MailSet(prefix, c.count, Form(sink->port)), CMailSender::Outcome::SegmentMissing);
        EXPECT_EQ(sender.MessagesSent(), 0);
        EXPECT_EQ(prompts.Texts(),
                  std::vector<std::string>{"A segment of the set is missing, so nothing has been sent:\n" +
                                           TrimSpaces(prefix).substr(0, TrimSpaces(prefix).size() - 7) +
                                           c.named});
        EXPECT_FALSE(progress.visible);
        EXPECT_FALSE(mail_test::FileExists(Inbox(1)));
    }
}

TEST_F(SetMailer, FailuresStopTheRun) {
    std::string prefix = MakeSet(2);
    {
        ScriptedPrompts prompts;
        CMailSender sender(prompts, SystemFileSystem(), nullptr, nullptr);
        EXPECT_EQ(sender.MailSet(prefix, 2, Form(1)), CMailSender::Outcome::ConnectFailed);
        EXPECT_EQ(prompts.Texts(), (std::vector<std::string>{"Cannot connect to mail server.",
                                                             "Rovudede Email Failed!"}));
    }
    auto server = StartScripted("rcpt550");
    ScriptedPrompts prompts;
    std::unique_ptr<ISettings> ini = OpenProfileFile(Win("ReZove.ini"));
    CMailSettings settings(*ini);
    settings.server = "written only after success";
    CMailSender sender(prompts, SystemFileSystem(), nullptr, &settings);
    EXPECT_EQ(sender.MailSet(prefix, 2, Form(server->port)), CMailSender::Outcome::SendFailed);
    EXPECT_EQ(prompts.Texts(), (std::vector<std::string>{"The To address is invalid.",
                                                         "Rovudede EMail Exited!"}));
    EXPECT_EQ(ini->GetString("EMailSetup", "IEMailSMTP", ""), "");
}

}  // namespace
