// The SMTP client on Winsock under Wine, against the korvo_mail fixture's servers: time-outs,
// dropped connections, replies cut across packets, and a large attachment.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>

#include "fakes/scripted_prompts.h"
#include "fakes/test_files.h"
#include "mailer/smtp_client.h"
#include "platform/process.h"
#include "platform/socket.h"

namespace {

std::string MailDir() { return BuildFolderFromWine() + "\\korvo_mail"; }

int Port(const std::string& name) { return std::atoi(ReadWholeFile(MailDir() + "\\" + name + ".port").c_str()); }

MailJob Job(const std::string& server, const std::string& attachment) {
    MailJob job;
    job.server = server;
    job.heloName = "client";
    job.fromAddress = "a@example.com";
    job.toAddress = "b@example.com";
    job.subject = "winsock";
    job.body = "body\r\n.";
    job.attachmentPath = attachment;
    return job;
}

class MailWin : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(SocketStartup()); }
    void SetUp() override {
        ASSERT_GT(Port("sink"), 0) << "the korvo_mail fixture did not run";
        attachment_ = ModuleFolder() + "mail_win_test.bin";
        WriteWholeFile(attachment_, DescendingBytes(100000));
    }
    std::string attachment_;
};

TEST_F(MailWin, MisbehavingPeers) {
    struct Case {
        const char* server;
        bool sent;
        const char* message;
    } cases[] = {
        {"sink", true, ""},
        {"greeting2", true, ""},
        {"multiline", true, ""},
        {"rcpt550", false, "The To address is invalid."},
        {"datarefused", false, "The mail server did not accept the message:\n554 no data today"},
        {"dropdata", false, "The connection to the mail server was lost."},
        {"silent", false, "The mail server did not answer in time."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.server);
        ScriptedPrompts prompts;
        CSmtpClient client(prompts, nullptr);
        client.SetTimeout(1500);
        ASSERT_TRUE(client.Connect(Job("127.0.0.1:" + std::to_string(Port(c.server)), attachment_)));
        EXPECT_EQ(client.SendMail(1, 1), c.sent);
        std::vector<std::string> expected;
        if (*c.message) expected.push_back(c.message);
        EXPECT_EQ(prompts.Texts(), expected);
    }
}

TEST_F(MailWin, LargeAttachmentArrivesWhole) {
    int before = 0;
    while (GetFileAttributesA((MailDir() + "\\inbox\\msg-" + std::to_string(before + 1) + ".eml").c_str()) !=
           INVALID_FILE_ATTRIBUTES)
        ++before;
    ScriptedPrompts prompts;
    RecordingProgress progress;
    CSmtpClient client(prompts, &progress);
    ASSERT_TRUE(client.Connect(Job("127.0.0.1:" + std::to_string(Port("sink")), attachment_)));
    ASSERT_TRUE(client.SendMail(1, 1));
    std::string m = ReadWholeFile(MailDir() + "\\inbox\\msg-" + std::to_string(before + 1) + ".eml");
    EXPECT_NE(m.find("name=\"mail_win_test.bin\""), std::string::npos);
    EXPECT_NE(m.find("\r\n\r\nbody\r\n.\r\n\r\n--=_zb"), std::string::npos);  // unstuffed by the server
    // 2,222 full lines and one of 16 characters.
    size_t start = m.find("\r\n\r\n", m.find("Content-Disposition: attachment")) + 4;
    size_t end = m.find("\r\n--=_zb", start);
    EXPECT_EQ(end - start, 2222u * 62 + 18);
    // The window is visited at most once per block of 256 lines, and the bar stays in its range.
    EXPECT_LE(progress.pumps, 9);
    ASSERT_EQ(progress.ranges.size(), 1u);
    EXPECT_LE(progress.pos, progress.ranges[0].second);
}

TEST_F(MailWin, NobodyListening) {
    ScriptedPrompts prompts;
    CSmtpClient client(prompts, nullptr);
    client.SetTimeout(3000);
    // Port 1 on the loopback: refused at once.
    EXPECT_FALSE(client.Connect(Job("127.0.0.1:1", "")));
    EXPECT_EQ(prompts.Texts(), std::vector<std::string>{"Cannot connect to mail server."});
}

}  // namespace
