// POSIX backend: drive mapping, attributes as Wine derives them, scripted drives, profiles.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <set>

#include "platform/file_system.h"
#include "platform/paths.h"
#include "platform/posix/drive_map.h"
#include "platform/settings.h"

namespace {

class PosixBackend : public ::testing::Test {
protected:
    void SetUp() override {
        char tmpl[] = "/tmp/zbplatXXXXXX";
        root_ = mkdtemp(tmpl);
        posix_drives::Reset();
        posix_drives::Map('D', root_, DriveType::Fixed);
    }
    void TearDown() override {
        posix_drives::Reset();
        std::system(("rm -rf " + root_).c_str());
    }
    void Put(const std::string& rel, const std::string& text) {
        std::ofstream(root_ + "/" + rel, std::ios::binary) << text;
    }
    std::string root_;
    IFileSystem& fs_ = SystemFileSystem();
};

TEST_F(PosixBackend, PathsMapBothWaysWithZAsHostRoot) {
    EXPECT_EQ(posix_drives::ToHost("D:\\a\\b.txt"), root_ + "/a/b.txt");
    EXPECT_EQ(posix_drives::ToHost("Z:\\tmp\\x"), "/tmp/x");
    EXPECT_EQ(posix_drives::ToHost("Q:\\x"), "");
    EXPECT_EQ(posix_drives::ToHost("relative"), "");
    // The longest mapped folder wins over Z:.
    EXPECT_EQ(posix_drives::ToWindows(root_ + "/a/b.txt"), "D:\\a\\b.txt");
    EXPECT_EQ(posix_drives::ToWindows(root_), "D:\\");
    EXPECT_EQ(posix_drives::ToWindows("/etc/hosts"), "Z:\\etc\\hosts");
}

TEST_F(PosixBackend, UserPathsBecomeAbsoluteWindowsPaths) {
    EXPECT_EQ(FullWindowsPath(root_ + "/a/../b/./c.txt"), "D:\\b\\c.txt");
    EXPECT_EQ(FullWindowsPath("/etc/"), "Z:\\etc\\");
    EXPECT_EQ(FullWindowsPath("/"), "Z:\\");
    ASSERT_EQ(chdir(root_.c_str()), 0);
    EXPECT_EQ(FullWindowsPath("x/y"), "D:\\x\\y");
    EXPECT_EQ(UserPath("D:\\x\\y"), root_ + "/x/y");
    ASSERT_EQ(chdir("/"), 0);
}

TEST_F(PosixBackend, StatusFailsForRootsAndTrailingSeparators) {
    mkdir((root_ + "/sub").c_str(), 0777);
    Put("f.txt", "12345");
    FileStatus st;
    ASSERT_TRUE(fs_.GetStatus("D:\\f.txt", st));
    EXPECT_EQ(st.size, 5u);
    EXPECT_EQ(st.attributes & kAttrFolder, 0u);
    ASSERT_TRUE(fs_.GetStatus("D:\\sub", st));
    EXPECT_NE(st.attributes & kAttrFolder, 0u);
    EXPECT_FALSE(fs_.GetStatus("D:\\sub\\", st));
    EXPECT_FALSE(fs_.GetStatus("D:\\", st));
    EXPECT_FALSE(fs_.GetStatus("D:\\missing", st));
    uint32_t attrs = 0;
    ASSERT_TRUE(fs_.GetAttributes("D:\\", attrs));
    EXPECT_NE(attrs & kAttrFolder, 0u);
}

TEST_F(PosixBackend, ListingMarksDotFilesHiddenAndReadOnlyFiles) {
    Put(".secret", "x");
    Put("plain", "yy");
    Put("ro", "z");
    chmod((root_ + "/ro").c_str(), 0444);
    std::set<std::string> names;
    uint32_t hidden = 0, readOnly = 0;
    ASSERT_TRUE(fs_.ListFolder("D:\\*.*", [&](const DirEntry& e) {
        names.insert(e.name);
        if (e.name == ".secret") hidden = e.attributes;
        if (e.name == "ro") readOnly = e.attributes;
        return true;
    }));
    EXPECT_TRUE(names.count(".") && names.count("..") && names.count("plain"));
    EXPECT_NE(hidden & kAttrHidden, 0u);
    EXPECT_NE(readOnly & kAttrReadOnly, 0u);
    EXPECT_FALSE(fs_.ListFolder("D:\\nothere\\*.*", [](const DirEntry&) { return true; }));
}

TEST_F(PosixBackend, RemovableDrivesWithScriptedFreeSpace) {
    posix_drives::Map('A', root_, DriveType::Removable);
    EXPECT_EQ(fs_.DriveTypeOf("A:\\"), DriveType::Removable);
    EXPECT_EQ(fs_.DriveTypeOf("D:\\"), DriveType::Fixed);
    EXPECT_EQ(fs_.DriveTypeOf("Q:\\"), DriveType::NoRootDir);
    posix_drives::SetFreeBytes('A', 52000);
    uint64_t free = 0;
    ASSERT_TRUE(fs_.GetFreeBytes("A:\\", free));
    EXPECT_EQ(free, 52000u);
    posix_drives::SetFreeBytes('A', std::nullopt);
    ASSERT_TRUE(fs_.GetFreeBytes("A:\\", free));
    EXPECT_GT(free, 0u);
    EXPECT_FALSE(fs_.GetFreeBytes("Q:\\", free));
}

TEST_F(PosixBackend, FilesWriteReadSeekAndReportErrors) {
    auto f = fs_.Open("D:\\out.bin", OpenMode::CreateWrite, Share::DenyWrite);
    ASSERT_TRUE(f);
    ASSERT_TRUE(f->Write("hello world", 11));
    ASSERT_TRUE(f->Seek(0));
    ASSERT_TRUE(f->Write("J", 1));
    ASSERT_TRUE(f->Close());
    auto r = fs_.Open("D:\\out.bin", OpenMode::Read, Share::DenyWrite);
    ASSERT_TRUE(r);
    char buf[32] = {};
    EXPECT_EQ(r->Read(buf, sizeof buf), 11);
    EXPECT_STREQ(buf, "Jello world");
    EXPECT_EQ(r->Length(), 11u);
    EXPECT_EQ(fs_.Open("D:\\no\\such.bin", OpenMode::Read, Share::DenyNone), nullptr);
    EXPECT_FALSE(fs_.LastErrorText().empty());
    EXPECT_TRUE(fs_.RemoveFile("D:\\out.bin"));
    EXPECT_FALSE(fs_.Exists("D:\\out.bin"));
}

TEST_F(PosixBackend, ProfileFileKeepsSectionsAndKeys) {
    auto ini = OpenProfileFile("D:\\ReZove.ini");
    EXPECT_EQ(ini->GetString("EMailSetup", "IEMailSMTP", "none"), "none");
    ASSERT_TRUE(ini->WriteString("EMailSetup", "IEMailSMTP", "mail.example"));
    ASSERT_TRUE(ini->WriteInt("EMailSetup", "IEMailSize", 1400));
    ASSERT_TRUE(ini->WriteString("Other", "k", "v"));
    ASSERT_TRUE(ini->WriteString("EMailSetup", "IEMailSMTP", "smtp.example"));
    auto again = OpenProfileFile("D:\\ReZove.ini");
    EXPECT_EQ(again->GetString("emailsetup", "iemailsmtp", ""), "smtp.example");
    EXPECT_EQ(again->GetInt("EMailSetup", "IEMailSize", 0), 1400);
    EXPECT_EQ(again->GetString("Other", "k", ""), "v");
    EXPECT_EQ(again->GetInt("Other", "missing", -1), -1);
}

// Files made one after another in a folder reuse the way down to it; what happens to that folder
// between the calls must neither send a file through a link nor hide a file that is there.
TEST_F(PosixBackend, BeneathCallsFollowTheirFolderAndNeverALink) {
    const std::string root = "D:\\";
    auto put = [&](const std::string& relative) {
        auto f = fs_.CreateFileBeneath(root, relative);
        return f && f->Write("x", 1) && f->Close();
    };
    EXPECT_EQ(fs_.CreateFileBeneath(root, "b\\one"), nullptr);  // no such folder
    ASSERT_TRUE(fs_.MakeFolderBeneath(root, "a"));
    ASSERT_TRUE(put("a\\one"));
    EXPECT_EQ(fs_.ProbeBeneath(root, "a\\one"), ItemKind::File);

    // The folder swapped for a link to another: nothing goes to or is seen through the link.
    ASSERT_EQ(mkdir((root_ + "/elsewhere").c_str(), 0777), 0);
    Put("elsewhere/victim", "keep");
    ASSERT_EQ(rename((root_ + "/a").c_str(), (root_ + "/moved").c_str()), 0);
    ASSERT_EQ(symlink("elsewhere", (root_ + "/a").c_str()), 0);
    put("a\\two");
    EXPECT_NE(fs_.ProbeBeneath(root, "a\\victim"), ItemKind::File);
    EXPECT_NE(access((root_ + "/elsewhere/two").c_str(), F_OK), 0);

    // The folder deleted and made again: its files are seen, and new ones land in it.
    std::system(("rm -rf " + root_ + "/a " + root_ + "/moved").c_str());
    ASSERT_EQ(mkdir((root_ + "/a").c_str(), 0777), 0);
    Put("a/there", "old");
    EXPECT_EQ(fs_.ProbeBeneath(root, "a\\there"), ItemKind::File);
    ASSERT_TRUE(put("a\\four"));
    EXPECT_EQ(access((root_ + "/a/four").c_str(), F_OK), 0);

    // An existing file is emptied; a pipe or a link of that name is refused without waiting.
    ASSERT_TRUE(put("a\\there"));
    std::ifstream there(root_ + "/a/there");
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(there), {}), "x");
    ASSERT_EQ(mkfifo((root_ + "/a/pipe").c_str(), 0666), 0);
    EXPECT_EQ(fs_.CreateFileBeneath(root, "a\\pipe"), nullptr);
    ASSERT_EQ(symlink("../elsewhere/victim", (root_ + "/a/link").c_str()), 0);
    EXPECT_EQ(fs_.CreateFileBeneath(root, "a\\link"), nullptr);
    std::ifstream victim(root_ + "/elsewhere/victim");
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(victim), {}), "keep");
}

// A file being written keeps its folder while others are made elsewhere, takes its name only
// when closed, and then neither replaces what was put at the name meanwhile nor leaves its
// temporary file behind.
TEST_F(PosixBackend, FilesOpenAcrossFoldersTakeTheirNamesWhenClosed) {
    const std::string root = "D:\\";
    ASSERT_TRUE(fs_.MakeFolderBeneath(root, "a"));
    ASSERT_TRUE(fs_.MakeFolderBeneath(root, "b"));
    auto read = [&](const std::string& rel) {
        std::ifstream in(root_ + "/" + rel);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    auto one = fs_.CreateFileBeneath(root, "a\\one");
    ASSERT_TRUE(one && one->Write("1", 1));
    auto two = fs_.CreateFileBeneath(root, "b\\two");
    ASSERT_TRUE(two && two->Write("2", 1) && two->Close());
    EXPECT_NE(access((root_ + "/a/one").c_str(), F_OK), 0);  // not before it is whole
    ASSERT_TRUE(one->Close());
    EXPECT_EQ(read("a/one"), "1");
    EXPECT_EQ(read("b/two"), "2");

    // Put at the name while it was written: a file is replaced, a pipe stays and the close fails.
    auto late = fs_.CreateFileBeneath(root, "a\\late");
    auto piped = fs_.CreateFileBeneath(root, "a\\piped");
    ASSERT_TRUE(late && piped && late->Write("new", 3) && piped->Write("new", 3));
    Put("a/late", "old");
    ASSERT_EQ(mkfifo((root_ + "/a/piped").c_str(), 0666), 0);
    EXPECT_TRUE(late->Close());
    EXPECT_FALSE(piped->Close());
    EXPECT_EQ(read("a/late"), "new");
    struct stat st;
    ASSERT_EQ(lstat((root_ + "/a/piped").c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
    std::set<std::string> left;
    fs_.ListFolderNames("D:\\a\\*", [&](const DirEntry& e) { return left.insert(e.name), true; });
    EXPECT_EQ(left, (std::set<std::string>{".", "..", "one", "late", "piped"}));
}

}  // namespace
