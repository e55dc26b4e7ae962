// Win32 backend under Wine: the diskette A: the test bed provides, files, profiles, registry.
#include <gtest/gtest.h>
#include <windows.h>

#include "platform/file_system.h"
#include "platform/process.h"
#include "platform/settings.h"

namespace {

IFileSystem& fs = SystemFileSystem();

TEST(Win32Backend, DriveAIsARemovableDisketteOfTmpfsSize) {
    EXPECT_EQ(fs.DriveTypeOf("A:\\"), DriveType::Removable);
    EXPECT_EQ(fs.DriveTypeOf("C:\\"), DriveType::Fixed);
    uint64_t free = 0;
    ASSERT_TRUE(fs.GetFreeBytes("A:\\", free));
    // A fresh tmpfs of 1,474,560 bytes; where mount was refused A: is a plain folder.
    if (free <= 1474560u) {
        EXPECT_EQ(free, 1474560u);
    }
}

TEST(Win32Backend, FilesStatusAndListing) {
    std::string folder = ModuleFolder() + "platform_test_dir";
    fs.MakeFolder(folder);
    auto f = fs.Open(folder + "\\a.bin", OpenMode::CreateWrite, Share::DenyWrite);
    ASSERT_TRUE(f);
    ASSERT_TRUE(f->Write("abc", 3));
    // Others may read but not write while we hold it.
    EXPECT_EQ(fs.Open(folder + "\\a.bin", OpenMode::ReadWrite, Share::DenyNone), nullptr);
    ASSERT_TRUE(f->Close());
    FileStatus st;
    ASSERT_TRUE(fs.GetStatus(folder + "\\a.bin", st));
    EXPECT_EQ(st.size, 3u);
    EXPECT_FALSE(fs.GetStatus(folder + "\\", st));
    EXPECT_FALSE(fs.GetStatus("C:\\", st));
    int seen = 0;
    ASSERT_TRUE(fs.ListFolder(folder + "\\*.*", [&](const DirEntry& e) {
        seen += e.name == "a.bin";
        return true;
    }));
    EXPECT_EQ(seen, 1);
    EXPECT_TRUE(fs.RemoveFile(folder + "\\a.bin"));
    EXPECT_FALSE(fs.Open(folder + "\\a.bin", OpenMode::Read, Share::DenyNone));
    EXPECT_FALSE(fs.LastErrorText().empty());
    RemoveDirectoryA(folder.c_str());
}

TEST(Win32Backend, ProfilesAndRegistryRoundTrip) {
    auto ini = OpenProfileFile(ModuleFolder() + "platform_test.ini");
    ASSERT_TRUE(ini->WriteString("EMailSetup", "IEMailSMTP", "smtp.example"));
    EXPECT_EQ(ini->GetString("EMailSetup", "IEMailSMTP", ""), "smtp.example");
    DeleteFileA((ModuleFolder() + "platform_test.ini").c_str());
    auto reg = OpenAppProfile("ZembraTest", "Platform");
    ASSERT_TRUE(reg->WriteInt("Settings", "X", -1));
    EXPECT_EQ(reg->GetInt("Settings", "X", 5), -1);
    EXPECT_EQ(reg->GetInt("Settings", "Missing", 5), 5);
}

}  // namespace
