// The shared settings file with its per-user copy, and the recent-file list kept in a profile.
#include <gtest/gtest.h>

#include "model/recent_file_list.h"
#include "fakes/memory_settings.h"
#include "platform/fallback_settings.h"

namespace {

struct Stores {
    MemorySettings* primary;
    MemorySettings* copy;
    bool prepared = false;
    bool prepareFails = false;
    std::unique_ptr<CFallbackSettings> settings;

    Stores() {
        auto p = std::make_unique<MemorySettings>();
        auto c = std::make_unique<MemorySettings>();
        primary = p.get();
        copy = c.get();
        settings = std::make_unique<CFallbackSettings>(std::move(p), std::move(c), [this] {
            prepared = true;
            return !prepareFails;
        });
    }
};

TEST(FallbackSettings, WritesTheSharedPlaceWhileItAccepts) {
    Stores s;
    EXPECT_TRUE(s.settings->WriteString("EMailSetup", "IEMailSMTP", "mail.example.com"));
    EXPECT_EQ(s.primary->values["EMailSetup/IEMailSMTP"], "mail.example.com");
    EXPECT_TRUE(s.copy->values.empty());
    EXPECT_FALSE(s.prepared);
    EXPECT_EQ(s.settings->GetString("EMailSetup", "IEMailSMTP", ""), "mail.example.com");
}

TEST(FallbackSettings, RefusedWriteGoesToTheCopyWhichIsReadFirstFromThenOn) {
    Stores s;
    s.primary->values["EMailSetup/WorkDirectory"] = "C:\\old\\";
    s.primary->values["EMailSetup/IEMailSMTP"] = "shared.example.com";
    s.primary->refuseWrites = true;

    EXPECT_TRUE(s.settings->WriteString("EMailSetup", "WorkDirectory", "C:\\new\\"));
    EXPECT_TRUE(s.prepared);
    EXPECT_EQ(s.copy->values["EMailSetup/WorkDirectory"], "C:\\new\\");
    EXPECT_EQ(s.settings->GetString("EMailSetup", "WorkDirectory", ""), "C:\\new\\");
    // Keys the copy does not hold still come from the shared place.
    EXPECT_EQ(s.settings->GetString("EMailSetup", "IEMailSMTP", ""), "shared.example.com");

    // The shared place becomes writable again: the copy still holds the key and must follow,
    // or the reader would go on seeing the old value.
    s.primary->refuseWrites = false;
    EXPECT_TRUE(s.settings->WriteString("EMailSetup", "WorkDirectory", "D:\\third\\"));
    EXPECT_EQ(s.settings->GetString("EMailSetup", "WorkDirectory", ""), "D:\\third\\");
    EXPECT_EQ(s.primary->values["EMailSetup/WorkDirectory"], "D:\\third\\");

    // An empty value written to the copy (BROWSER cleared) reads back empty, not the shared one.
    s.primary->values["EMailSetup/BROWSER"] = "C:\\ie\\iexplore.exe";
    s.primary->refuseWrites = true;
    EXPECT_TRUE(s.settings->WriteString("EMailSetup", "BROWSER", ""));
    EXPECT_EQ(s.settings->GetString("EMailSetup", "BROWSER", "none"), "");
}

TEST(FallbackSettings, FailureInBothPlacesIsReported) {
    Stores s;
    s.primary->refuseWrites = true;
    s.copy->refuseWrites = true;
    EXPECT_FALSE(s.settings->WriteString("EMailSetup", "IEMailSMTP", "x"));
    EXPECT_FALSE(s.settings->WriteInt("Settings", "X", 5));

    Stores t;
    t.primary->refuseWrites = true;
    t.prepareFails = true;  // the per-user folder cannot be made
    EXPECT_FALSE(t.settings->WriteString("EMailSetup", "IEMailSMTP", "x"));
    EXPECT_TRUE(t.copy->values.empty());

    // A copy that holds the key but refuses the new value: the write failed, even though the
    // shared place took it, because readers see the copy.
    Stores u;
    u.copy->values["EMailSetup/IEMailSMTP"] = "old";
    u.copy->refuseWrites = true;
    EXPECT_FALSE(u.settings->WriteString("EMailSetup", "IEMailSMTP", "new"));
    EXPECT_EQ(u.settings->GetString("EMailSetup", "IEMailSMTP", ""), "old");
}

TEST(FallbackSettings, IntegersFollowTheSameRule) {
    Stores s;
    s.primary->values["Settings/X"] = "10";
    EXPECT_EQ(s.settings->GetInt("Settings", "X", -1), 10);
    s.primary->refuseWrites = true;
    EXPECT_TRUE(s.settings->WriteInt("Settings", "X", 42));
    EXPECT_EQ(s.settings->GetInt("Settings", "X", -1), 42);
    EXPECT_EQ(s.settings->GetInt("Settings", "Y", -1), -1);
}

TEST(RecentFileList, NewestFirstFourAtMostSameFileMovesUp) {
    CRecentFileList list;
    for (const char* p : {"C:\\a.spj", "C:\\b.spj", "C:\\c.spj", "C:\\d.spj", "C:\\e.spj"}) list.Add(p);
    ASSERT_EQ(list.Count(), 4u);
    EXPECT_EQ(list[0], "C:\\e.spj");
    EXPECT_EQ(list[3], "C:\\b.spj");
    list.Add("c:\\C.SPJ");  // the same file spelt otherwise
    ASSERT_EQ(list.Count(), 4u);
    EXPECT_EQ(list[0], "c:\\C.SPJ");
    EXPECT_EQ(list[1], "C:\\e.spj");
    list.Add("");
    EXPECT_EQ(list.Count(), 4u);
}

TEST(RecentFileList, StoredUnderTheFrameworkKeysAndEmptiedSlotsStayEmpty) {
    MemorySettings store;
    CRecentFileList list;
    list.Add("C:\\one.spj");
    list.Add("C:\\two.spj");
    ASSERT_TRUE(list.Save(store));
    EXPECT_EQ(store.values["Recent File List/File1"], "C:\\two.spj");
    EXPECT_EQ(store.values["Recent File List/File2"], "C:\\one.spj");

    list.Remove(0);
    ASSERT_TRUE(list.Save(store));
    CRecentFileList back;
    store.values["Recent File List/File3"] = "C:\\ONE.spj";  // a duplicate left by hand
    back.Load(store);
    ASSERT_EQ(back.Count(), 1u);
    EXPECT_EQ(back[0], "C:\\one.spj");
}

TEST(RecentFileList, MenuTextNumbersShortensAndDoublesAmpersands) {
    CRecentFileList list;
    list.Add("C:\\Sets\\Tom & Jerry.spj");
    EXPECT_EQ(list.MenuText(0), "&1 C:\\Sets\\Tom && Jerry.spj");
    list.Add("C:\\a very long folder name\\another long folder\\deeper still\\Backup12.spj");
    std::string text = list.MenuText(0, 40);
    EXPECT_EQ(text.substr(0, 6), "&1 C:\\");
    EXPECT_NE(text.find("..."), std::string::npos);
    EXPECT_EQ(text.substr(text.size() - 13), "\\Backup12.spj");
    EXPECT_LE(text.size(), 3u + 40u);
    EXPECT_EQ(list.MenuText(5), "");
}

}  // namespace
