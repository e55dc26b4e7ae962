// File-list mode on the host: the engine builds "mailxp" in the work folder, and the set
// mailer sends exactly those segments to the aiosmtpd sink.
#include <gtest/gtest.h>

#include "fakes/scripted_prompts.h"
#include "mailer/mail_sender.h"
#include "mailer/mail_set_builder.h"
#include "platform/posix/drive_map.h"
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

TEST_F(MailSet, EngineRefusalGivesNoSegments) {
    ScriptedPrompts prompts;
    CMailSetBuilder builder(SystemFileSystem(), prompts, image_);
    std::string prefix;
    EXPECT_EQ(builder.Build({Win("one.bin")}, Win("mailtemp"), 100, prefix), 0);  // smaller than the head
    EXPECT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(prefix, "");
}

}  // namespace
