// Split engine: what may go into a set. Names a reader would refuse or that stand for another
// file end the run before anything is written; links, pipes and unreadable items are left out
// and reported; nothing is read from outside what was selected.
#include <sys/socket.h>
#include <sys/un.h>

#include <algorithm>
#include <cstring>

#include "engine_fixture.h"

namespace {

const std::string kOut = "D:\\out\\";

class Sources : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        MkDir("D:\\src");
        MkDir("D:\\out");
        Put("D:\\src\\ok", "fine");
    }
    std::vector<ReadEntry> Entries() { return ReadSet(Segments(kOut, "B"), kImage); }
    static std::vector<std::string> Lines(const std::string& text) {
        std::vector<std::string> lines;
        size_t at = 0;
        for (size_t nl; (nl = text.find('\n', at)) != std::string::npos; at = nl + 1) lines.push_back(text.substr(at, nl - at));
        lines.push_back(text.substr(at));
        return lines;
    }
};

TEST_F(Sources, NamesThatCannotBeStoredRefuseTheRunBeforeAnythingIsWritten) {
    // One host name that holds backslashes would be read back as a path leading elsewhere.
    MkDir("D:\\etc");
    Put("D:\\etc\\hostname", "secret");
    std::string src = Host("D:\\src");
    mkdir((src + "/sub").c_str(), 0777);
    const std::vector<std::string> hostNames = {"sub\\..\\..\\etc\\hostname", "a:b", "trail.", "CON.txt",
                                                "q?", "a\xe4\xb8\xad.txt", "bad\xff"};
    for (const std::string& n : hostNames) WriteWholeFile(src + "/sub/" + n, "x");
    auto e = Engine();
    e->AddItem("D:\\src");
    EXPECT_FALSE(e->Split(kOut, "B", 100000));
    ASSERT_EQ(prompts_.shown.size(), 1u);
    auto lines = Lines(prompts_.Texts()[0]);
    ASSERT_EQ(lines.size(), 2 + hostNames.size());
    EXPECT_EQ(lines[1], "Rename or leave out these items and split again:");
    std::vector<std::string> listed(lines.begin() + 2, lines.end());
    std::sort(listed.begin(), listed.end());
    std::vector<std::string> expected = {"D:\\src\\sub\\sub\\..\\..\\etc\\hostname", "D:\\src\\sub\\a:b",
                                         "D:\\src\\sub\\trail.", "D:\\src\\sub\\CON.txt", "D:\\src\\sub\\q?",
                                         "D:\\src\\sub\\a?.txt", "D:\\src\\sub\\bad?"};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(listed, expected);
    EXPECT_EQ(access(Host(kOut + "B_1.EXE").c_str(), F_OK), -1);
    EXPECT_EQ(access(Host(kOut + "B.spj").c_str(), F_OK), -1);
    EXPECT_TRUE(e->CreatedFiles().empty());
}

TEST_F(Sources, NamesOfTheCodePageAreStoredInIt) {
    Put("D:\\src\\caf\xe9 \x80.txt", "latin");  // written through the map: UTF-8 on disk
    EXPECT_EQ(ReadWholeFile(Host("D:\\src") + "/caf\xc3\xa9 \xe2\x82\xac.txt"), "latin");
    auto e = Engine();
    e->AddItem("D:\\src");
    ASSERT_TRUE(e->Split(kOut, "B", 100000));
    auto entries = Entries();
    std::vector<std::string> names;
    for (const auto& entry : entries) names.push_back(entry.name);
    EXPECT_NE(std::find(names.begin(), names.end(), "caf\xe9 \x80.txt"), names.end());
}

TEST_F(Sources, LinksPipesAndUnreadableItemsAreLeftOutAndReported) {
    std::string src = Host("D:\\src");
    MkDir("D:\\elsewhere");
    Put("D:\\elsewhere\\target", "pointed at");
    ASSERT_EQ(symlink(".", (src + "/loop").c_str()), 0);
    ASSERT_EQ(symlink("..", (src + "/up").c_str()), 0);
    ASSERT_EQ(symlink((Host("D:\\elsewhere") + "/target").c_str(), (src + "/filelink").c_str()), 0);
    ASSERT_EQ(symlink("/nowhere/at/all", (src + "/dangling").c_str()), 0);
    ASSERT_EQ(mkfifo((src + "/pipe").c_str(), 0666), 0);
    int sock = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::string sockPath = src + "/sock";
    ASSERT_LT(sockPath.size(), sizeof addr.sun_path);
    strcpy(addr.sun_path, sockPath.c_str());
    ASSERT_EQ(bind(sock, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    MkDir("D:\\src\\closed");
    Put("D:\\src\\closed\\inside", "i");

    class Refusing : public ForwardingFileSystem {
    public:
        using ForwardingFileSystem::ForwardingFileSystem;
        bool ListFolder(const std::string& p, const std::function<bool(const DirEntry&)>& v) override {
            if (p.find("closed") != std::string::npos) return false;
            return real_.ListFolder(p, v);
        }
    } fs(SystemFileSystem());
    auto e = Engine(fs);
    e->AddItem("D:\\src");
    e->AddItem("Z:\\dev\\zero");  // selected directly: still not read forever
    ASSERT_TRUE(e->Split(kOut, "B", 100000));
    close(sock);

    std::map<std::string, std::string> stored;
    for (const auto& entry : Entries()) stored[entry.name] = entry.data;
    std::map<std::string, std::string> expected = {
        {"src", ""}, {"ok", "fine"}, {"filelink", "pointed at"}, {"closed", ""}};
    EXPECT_EQ(stored, expected);

    std::vector<std::string> left = e->LeftOut();
    std::sort(left.begin(), left.end());
    ASSERT_EQ(left.size(), 7u);
    EXPECT_EQ(left[0].rfind("D:\\src\\closed (its contents could not be read", 0), 0u) << left[0];
    EXPECT_EQ(left[1].rfind("D:\\src\\dangling (could not be read: ", 0), 0u) << left[1];
    EXPECT_EQ(left[2], "D:\\src\\loop (a link to a folder (not followed))");
    EXPECT_EQ(left[3], "D:\\src\\pipe (not a regular file or folder)");
    EXPECT_EQ(left[4], "D:\\src\\sock (not a regular file or folder)");
    EXPECT_EQ(left[5], "D:\\src\\up (a link to a folder (not followed))");
    EXPECT_EQ(left[6], "Z:\\dev\\zero (not a regular file or folder)");
    ASSERT_EQ(prompts_.shown.size(), 1u);
    EXPECT_EQ(Lines(prompts_.Texts()[0])[0], "The Split Set was written, but these items are missing from it:");
    EXPECT_EQ(Lines(prompts_.Texts()[0]).size(), 8u);
    // The size the view shows counts what goes into the set, and ends.
    EXPECT_EQ(e->GetPathSize("D:\\src"), 4u + 10u);  // the folder that cannot be listed adds nothing
}

}  // namespace
