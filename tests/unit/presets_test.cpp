// Size presets: custom.dat (format, work directory, incomplete records, the per-user copy), the
// preset operations on the three lists, and the custom size checks.
#include <gtest/gtest.h>

#include "engine_fixture.h"
#include "fakes/memory_settings.h"
#include "model/preset_rules.h"

namespace {

// Five presets as shipped: automatic, typed, new-preset entry, then two fixed ones.
const std::string kFixedRoles =
    "Automatic\r\nD:\\auto\\\r\n0\r\n"
    "Custom\r\n\r\n-1\r\n"
    "New...\r\n\r\n-2\r\n";
const std::string kDiskette = "Diskette\r\nA:\\\r\n1440\r\n";
const std::string kMail = "Mail\r\nD:\\mail\\\r\n9500\r\n";
const std::string kFive = kFixedRoles + kDiskette + kMail;

// X: is the program's folder, U: the user's settings folder (Zembra inside it is made on need).
class Presets : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        mkdir((root_ + "/u").c_str(), 0777);
        posix_drives::Map('U', root_ + "/u", DriveType::Fixed);
    }
    std::string ExeFile() { return ReadWholeFile(Host("X:\\custom.dat")); }
    std::string UserFile() { return ReadWholeFile(Host("U:\\Zembra\\custom.dat")); }
    CCustomDataFile File(IFileSystem& fs) { return CCustomDataFile(fs, "X:\\", "U:\\Zembra\\"); }
    // Loads kFive into the list through rules bound to fs.
    std::unique_ptr<CPresetRules> Rules(IFileSystem& fs) {
        Put("X:\\custom.dat", kFive);
        file_ = std::make_unique<CCustomDataFile>(File(fs));
        auto r = std::make_unique<CPresetRules>(list_, *file_, profile_, prompts_, counter_);
        EXPECT_TRUE(r->Load(""));
        return r;
    }
    static CPresetRules::AskCustomSize Answer(bool ok, CustomSizeValues v = {}, CustomSizeValues* seen = nullptr) {
        return [=](CustomSizeValues& values) {
            if (seen) *seen = values;
            if (ok) values = v;
            return ok;
        };
    }
    CPresetList list_;
    std::unique_ptr<CCustomDataFile> file_;
    MemorySettings profile_;
    int counter_ = 1;
};

TEST_F(Presets, CustomDataRoundTripsRecordForRecord) {
    CPresetList list;
    CCustomDataFile::Parse(kFive, "", list);
    ASSERT_EQ(list.Count(), 5);
    EXPECT_EQ(list.Names(), (std::vector<std::string>{"Automatic", "Custom", "New...", "Diskette", "Mail"}));
    EXPECT_EQ(list.Size(1), -1);
    EXPECT_EQ(list.Size(2), -2);
    EXPECT_EQ(list.Location(3), "A:\\");
    EXPECT_EQ(CCustomDataFile::Format(list), kFive);

    // Unix line ends read the same; a size line is read as a decimal with anything after it ignored.
    CPresetList lf;
    CCustomDataFile::Parse("One\nD:\\x\\\n  700 KB\n", "", lf);
    ASSERT_EQ(lf.Count(), 1);
    EXPECT_EQ(lf.Size(0), 700);
    EXPECT_EQ(lf.Location(0), "D:\\x\\");
}

TEST_F(Presets, WorkDirectoryReplacesOnlyTheFirstRecordsLocation) {
    CPresetList list;
    CCustomDataFile::Parse(kFive, "D:\\work\\", list);
    EXPECT_EQ(list.Location(0), "D:\\work\\");
    EXPECT_EQ(list.Location(3), "A:\\");
    CPresetList plain;
    CCustomDataFile::Parse(kFive, "", plain);
    EXPECT_EQ(plain.Location(0), "D:\\auto\\");
}

TEST_F(Presets, AnIncompleteOrOverlongRecordCostsOnlyItself) {
    for (const char* tail : {"Cut\r\n", "Cut\r\nD:\\cut\\\r\n", "Cut\r\nD:\\cut\\"}) {
        CPresetList list;
        CCustomDataFile::Parse(kFive + tail, "", list);
        EXPECT_EQ(list.Count(), 5) << tail;
        EXPECT_EQ(list.Name(4), "Mail");
    }
    // A name longer than a line buffer keeps its first 499 characters; the next records stay in step.
    CPresetList list;
    CCustomDataFile::Parse(std::string(600, 'n') + "\r\nD:\\\r\n300\r\n" + kFive, "", list);
    ASSERT_EQ(list.Count(), 6);
    EXPECT_EQ(list.Name(0), std::string(499, 'n'));
    EXPECT_EQ(list.Size(0), 300);
    EXPECT_EQ(list.Name(5), "Mail");
}

TEST_F(Presets, ChangesGoToAPerUserCopyWhenTheProgramFolderRefuses) {
    FaultyFileSystem fs(SystemFileSystem());
    fs.refuseCreate = "X:\\custom.dat";
    auto rules = Rules(fs);
    prompts_.Then(PromptAnswer::Yes);
    EXPECT_EQ(rules->Remove(4).removedIndex, 4);
    EXPECT_EQ(prompts_.Texts(), std::vector<std::string>{"Delete Mail"});  // no write problem shown
    EXPECT_EQ(ExeFile(), kFive);
    EXPECT_EQ(UserFile(), kFixedRoles + kDiskette);

    // After a restart the user's copy is the one read, and the one written again.
    CPresetList again;
    CCustomDataFile restarted = File(fs);
    ASSERT_TRUE(restarted.Load(again, ""));
    EXPECT_EQ(again.Count(), 4);
    again.Append("Zip", 100000, "");
    ASSERT_TRUE(restarted.Save(again));
    EXPECT_EQ(ExeFile(), kFive);
    EXPECT_NE(UserFile().find("Zip\r\n\r\n100000\r\n"), std::string::npos);

    // Neither place writable: the user is told, the list keeps the change.
    fs.refuseCreate = "custom.dat";
    prompts_.shown.clear();
    prompts_.Then(PromptAnswer::Yes);
    EXPECT_EQ(rules->Remove(3).removedIndex, 3);
    EXPECT_EQ(list_.Count(), 3);
    EXPECT_EQ(prompts_.Texts().back(), "Problems writing custom data!");
}

TEST_F(Presets, WithoutAnyFileTheListStaysEmpty) {
    CPresetList list;
    CCustomDataFile file = File(SystemFileSystem());
    EXPECT_FALSE(file.Load(list, "D:\\work\\"));
    EXPECT_EQ(list.Count(), 0);
}

TEST_F(Presets, ApplyingEachKindOfPreset) {
    auto rules = Rules(SystemFileSystem());
    PresetOutcome automatic = rules->Apply(0, "D:\\work\\", Answer(false));
    EXPECT_EQ(automatic.notFirstPreset, 0);
    EXPECT_EQ(automatic.location, "D:\\auto\\");

    PresetOutcome typed = rules->Apply(1, "D:\\work\\", Answer(false));
    EXPECT_EQ(typed.notFirstPreset, 1);
    EXPECT_TRUE(typed.sizeTyped);
    EXPECT_EQ(typed.maxFileSize, 0);
    EXPECT_EQ(typed.sizeDisplay, "");
    EXPECT_EQ(typed.location, "D:\\work\\");  // empty location: the work directory

    PresetOutcome fixed = rules->Apply(3, "D:\\work\\", Answer(false));
    EXPECT_FALSE(fixed.sizeTyped);
    EXPECT_EQ(fixed.maxFileSize, 1440);
    EXPECT_EQ(fixed.sizeDisplay, "1440");
    EXPECT_EQ(fixed.presetName, "Diskette");
    EXPECT_EQ(fixed.location, "A:\\");

    CustomSizeValues seen{"x", 9, "y"};
    PresetOutcome cancelled = rules->Apply(2, "D:\\work\\", Answer(false, {}, &seen));
    EXPECT_EQ(seen.name + seen.location, "");  // the dialog opens empty
    EXPECT_EQ(seen.size, 0);
    EXPECT_EQ(cancelled.presetName, "Custom");
    EXPECT_EQ(cancelled.maxFileSize, 500);
    EXPECT_TRUE(cancelled.sizeTyped);
    EXPECT_EQ(cancelled.sizeDisplay, "500");
    EXPECT_EQ(list_.Count(), 5);

    PresetOutcome defined = rules->Apply(2, "D:\\work\\", Answer(true, {"Zip", 100000, "D:\\zip\\"}));
    EXPECT_EQ(defined.appendName, "Zip");
    EXPECT_EQ(defined.maxFileSize, 100000);
    EXPECT_EQ(defined.sizeDisplay, "100000");
    EXPECT_FALSE(defined.sizeTyped);
    EXPECT_EQ(defined.location, "D:\\work\\");  // the chosen entry's location, not the new one's
    EXPECT_EQ(profile_.values["UserDefined/A1"], "Zip");
    EXPECT_EQ(profile_.values["UserDefined/B1"], "100000");
    EXPECT_EQ(counter_, 2);
    ASSERT_EQ(list_.Count(), 6);
    EXPECT_EQ(list_.Location(5), "D:\\zip\\");
    EXPECT_EQ(ExeFile(), kFive);  // reaches the file with the next save
}

TEST_F(Presets, AddingSavesAndTakesTheNewLocation) {
    auto rules = Rules(SystemFileSystem());
    EXPECT_FALSE(rules->Add("D:\\work\\", Answer(false)).setPreset);
    EXPECT_EQ(ExeFile(), kFive);
    PresetOutcome out = rules->Add("D:\\work\\", Answer(true, {"CD", 700000, ""}));
    EXPECT_EQ(out.appendName, "CD");
    EXPECT_EQ(out.maxFileSize, 700000);
    EXPECT_EQ(out.location, "D:\\work\\");
    EXPECT_EQ(out.notFirstPreset, -1);
    EXPECT_EQ(counter_, 2);
    EXPECT_EQ(ExeFile(), kFive + "CD\r\n\r\n700000\r\n");
}

TEST_F(Presets, RemovingKeepsTheListsAndTheFileInStep) {
    auto rules = Rules(SystemFileSystem());
    for (int fixedRole : {0, 1, 2}) EXPECT_EQ(rules->Remove(fixedRole).removedIndex, -1);
    EXPECT_TRUE(prompts_.shown.empty());

    prompts_.Then(PromptAnswer::No).Then(PromptAnswer::Yes);
    EXPECT_EQ(rules->Remove(3).removedIndex, -1);
    EXPECT_EQ(list_.Count(), 5);
    EXPECT_EQ(rules->Remove(3).removedIndex, 3);
    EXPECT_EQ(prompts_.Texts(), (std::vector<std::string>{"Delete Diskette", "Delete Diskette"}));
    EXPECT_EQ(list_.Names(), (std::vector<std::string>{"Automatic", "Custom", "New...", "Mail"}));
    EXPECT_EQ(list_.Size(3), 9500);
    EXPECT_EQ(list_.Location(3), "D:\\mail\\");
    EXPECT_EQ(ExeFile(), kFixedRoles + kMail);
}

TEST_F(Presets, EditingRefusesProtectedEntriesAndDuplicateNames) {
    auto rules = Rules(SystemFileSystem());
    EXPECT_EQ(rules->Edit(1, "D:\\work\\", Answer(true, {"X", 300, ""})).replaceIndex, -1);
    EXPECT_EQ(prompts_.Texts(), std::vector<std::string>{"Cannot Edit Automatic or Custom."});

    EXPECT_EQ(rules->Edit(3, "D:\\work\\", Answer(true, {"Mail", 300, ""})).replaceIndex, -1);
    EXPECT_EQ(prompts_.Texts().back(), "Duplicate name!");
    EXPECT_EQ(list_.Name(3), "Diskette");
    EXPECT_EQ(ExeFile(), kFive);

    CustomSizeValues seen;
    PresetOutcome out = rules->Edit(3, "D:\\work\\", Answer(true, {"Diskette", 720, ""}, &seen));
    EXPECT_EQ(seen.name + "|" + std::to_string(seen.size) + "|" + seen.location, "Diskette|1440|A:\\");
    EXPECT_EQ(out.replaceIndex, 3);
    EXPECT_EQ(out.location, "D:\\work\\");
    EXPECT_FALSE(out.setPreset);  // takes effect when next applied
    EXPECT_EQ(list_.Size(3), 720);
    EXPECT_NE(ExeFile().find("Diskette\r\n\r\n720\r\nMail"), std::string::npos);
}

TEST(CustomSize, ChecksInOrder) {
    struct Case {
        std::string name;
        int32_t size;
        const char* refusal;
    } cases[] = {
        {"", 0, "Missing Name"},         {"   ", 300, "Missing Name"},      {"a", 0, "Missing Size in KB"},
        {"a", 199, "Minimum size is 200 K"}, {"a", -300, "Minimum size is 200 K"}, {"a", 200, nullptr},
        {"a", INT32_MAX, nullptr},  // no wrap into a small size
    };
    for (const Case& c : cases) {
        CustomSizeValues v{c.name, c.size, "  D:\\x\\ "};
        const char* got = CheckCustomSize(v);
        EXPECT_STREQ(got, c.refusal) << c.name << " " << c.size;
        EXPECT_EQ(v.location, c.refusal ? "  D:\\x\\ " : "D:\\x\\");
    }
    CustomSizeValues padded{"  Zip disk ", 100000, ""};
    EXPECT_EQ(CheckCustomSize(padded), nullptr);
    EXPECT_EQ(padded.name, "Zip disk");
}

}  // namespace
