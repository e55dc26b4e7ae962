// File-list mode on the host: the engine builds "mailxp" in the work folder, and the set
// mailer sends exactly those segments to the aiosmtpd sink.
#include <gtest/gtest.h>

#include "fakes/scripted_prompts.h"
#include "mailer/mail_sender.h"
#include "mailer/mail_set_builder.h"
#include "platform/posix/drive_map.h"
#include "recovery/recovery_creator.h"
#include "unit/mail_servers.h"

namespace {


class MailSet : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = MakeScratchFolder("zbmset");
        std::string data(30000, '\0');
        for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<char>(i * 31 % 251);
        WriteWholeFile(dir_ + "/one.bin", data);
        WriteWholeFile(dir_ + "/two words.txt", "hello\r\n");
    }
    void TearDown() override { std::system(("rm -rf '" + dir_ + "'").c_str()); }
    std::string Win(const std::string& rel) { return posix_drives::ToWindows(dir_ + "/" + rel); }

    std::string dir_;
    BytesRejoinerImage image_{std::vector<uint8_t>(700, 0x4D)};
};

TEST_F(MailSet, BuildsInTheWorkFolderAndMailsEverySegment) {
    ScriptedPrompts prompts;
    CMailSetBuilder builder(SystemFileSystem(), prompts, image_);
    std::string prefix;
    int count = builder.Build({Win("one.bin"), Win("two words.txt")}, Win("mailtemp"), 8192, prefix);
    EXPECT_TRUE(prompts.shown.empty());
    ASSERT_EQ(count, 4);  // 30,000 bytes and two records in 8,192-byte segments after a 700-byte head
    EXPECT_EQ(prefix, Win("mailtemp") + "\\mailxp");
    EXPECT_TRUE(mail_test::FileExists(dir_ + "/mailtemp/mailxp.spj"));  // listing beside the set

    // A second build replaces the set without asking.
    count = builder.Build({Win("two words.txt")}, Win("mailtemp"), 8192, prefix);
    EXPECT_EQ(count, 1);
    EXPECT_TRUE(prompts.shown.empty());

    auto sink = std::make_unique<mail_test::PythonServer>(
        "smtp_sink.py", std::vector<std::string>{dir_ + "/inbox", dir_ + "/sink.port", "120"}, dir_ + "/sink.port");
    CMailSender sender(prompts, SystemFileSystem(), nullptr, nullptr);
    MailForm form{"127.0.0.1:" + std::to_string(sink->port), "a@example.com", "b@example.com", "s", ""};
    EXPECT_EQ(sender.MailSet(prefix, count, form), CMailSender::Outcome::Sent);
    // The stale segments of the first build are not mailed: the count comes from this build.
    EXPECT_EQ(sender.MessagesSent(), 1);
    auto m = mail_test::Inspect(dir_ + "/inbox/msg-1.eml", dir_ + "/out");
    EXPECT_EQ(m["part2.name"], "mailxp_1.EXE");
    EXPECT_EQ(ReadWholeFile(dir_ + "/out/mailxp_1.EXE"), ReadWholeFile(dir_ + "/mailtemp/mailxp_1.EXE"));
    EXPECT_FALSE(mail_test::FileExists(dir_ + "/inbox/msg-2.eml"));
}

// Recovery volumes beside the set follow the segments, one a message, and the first message
// tells the receiver what they are and how many segments may go missing.
TEST_F(MailSet, RecoveryVolumesFollowTheSegments) {
    ScriptedPrompts prompts;
    CMailSetBuilder builder(SystemFileSystem(), prompts, image_);
    std::string prefix;
    int count = builder.Build({Win("one.bin"), Win("two words.txt")}, Win("mailtemp"), 8192, prefix);
    ASSERT_EQ(count, 4);
    std::vector<std::string> names = {"mailxp_1.EXE", "mailxp_2.SEG", "mailxp_3.SEG", "mailxp_4.SEG"};
    CRecoveryCreator creator(SystemFileSystem());
    std::string error;
    ASSERT_TRUE(creator.Create(Win("mailtemp") + "\\", "mailxp", names, 1, 8192, error)) << error;
    const int volumes = static_cast<int>(creator.Written().size());  // the index and its volumes

    auto sink = std::make_unique<mail_test::PythonServer>(
        "smtp_sink.py", std::vector<std::string>{dir_ + "/inbox", dir_ + "/sink.port", "120"}, dir_ + "/sink.port");
    CMailSender sender(prompts, SystemFileSystem(), nullptr, nullptr);
    MailForm form{"127.0.0.1:" + std::to_string(sink->port), "a@example.com", "b@example.com", "s", ""};
    EXPECT_EQ(sender.MailSet(prefix, count, form), CMailSender::Outcome::Sent);
    EXPECT_EQ(sender.MessagesSent(), count + volumes);
    auto first = mail_test::Inspect(dir_ + "/inbox/msg-1.eml", dir_ + "/out1");
    EXPECT_NE(first["part1.text"].find("Messages 5 to " + std::to_string(4 + volumes) +
                                       " of this mailing carry recovery volumes"), std::string::npos);
    EXPECT_NE(first["part1.text"].find("any 1 of the 4 segment messages may go missing"), std::string::npos);
    auto index = mail_test::Inspect(dir_ + "/inbox/msg-5.eml", dir_ + "/out5");
    EXPECT_EQ(index["part2.name"], "mailxp.par2");
    EXPECT_EQ(index["part1.text"].rfind("Zembra Recovery Volume 1 of " + std::to_string(volumes), 0), 0u);
    auto last = mail_test::Inspect(dir_ + "/inbox/msg-" + std::to_string(4 + volumes) + ".eml", dir_ + "/outn");
    EXPECT_NE(last["part2.name"].find("mailxp.vol"), std::string::npos);
}

TEST_F(MailSet, EngineRefusalGivesNoSegments) {
    ScriptedPrompts prompts;
    CMailSetBuilder builder(SystemFileSystem(), prompts, image_);
    std::string prefix;
    EXPECT_EQ(builder.Build({Win("one.bin")}, Win("mailtemp"), 100, prefix), 0);  // smaller than the head
    EXPECT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(prefix, "");
}

}  // namespace
