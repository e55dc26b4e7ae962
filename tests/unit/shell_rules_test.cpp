// The shell dialogs' rules: options checks, the folder chooser's result and New Dir, help topics.
#include <gtest/gtest.h>

#include "model/help_topics.h"
#include "model/shell_rules.h"
#include "fakes/test_files.h"
#include "platform/file_system.h"
#include "platform/text_trim.h"

namespace {

std::string AsWindows(const std::string& host) {
    std::string path = "Z:" + host;
    for (char& c : path)
        if (c == '/') c = '\\';
    return path;
}

TEST(ShellRules, OptionsRefuseAnEmptyFirstFieldInBothModesAndAMissingFolder) {
    IFileSystem& fs = SystemFileSystem();
    std::string scratch = AsWindows(MakeScratchFolder("zb_options_"));
    struct Case {
        bool email;
        std::string first, trimmed, message;
    } cases[] = {
        {true, "   ", "", "No Mail server name entered."},
        {false, "", "", "No Mail server name entered."},
        {true, "  smtp.example.com ", "smtp.example.com", ""},
        {false, scratch + "\\missing", scratch + "\\missing", "The directory does not exists."},
        {false, "  " + scratch + "  ", scratch, ""},
    };
    for (Case& c : cases) {
        std::string first = c.first;
        EXPECT_EQ(CheckOptions(c.email, first, fs), c.message) << c.first;
        EXPECT_EQ(first, c.trimmed);
    }
    // A file is not a folder.
    WriteWholeFile(posix_drives::ToHost(scratch + "\\file.txt"), "x");
    std::string file = scratch + "\\file.txt";
    EXPECT_EQ(CheckOptions(false, file, fs), "The directory does not exists.");
    RemoveTree(fs, scratch);
}

// Typed fields (the options' server and folder, New Dir's name, the mail form) lose spaces only;
// names that become files (Save As, custom sizes) lose every blank.
TEST(TextTrim, FieldsLoseSpacesOnlyNamesEveryBlank) {
    EXPECT_EQ(TrimSpaces("  My Set  "), "My Set");
    EXPECT_EQ(TrimSpaces("\tx "), "\tx");
    EXPECT_EQ(TrimSpaces(""), "");
    EXPECT_EQ(TrimWhiteSpace("\r\n My Set\t"), "My Set");
    EXPECT_EQ(TrimWhiteSpace(" \t "), "");
    EXPECT_EQ(TrimChars("\"a b\"", "\""), "a b");
}

TEST(ShellRules, ChosenFolderDropsTheDummyNameAndItsSeparator) {
    EXPECT_EQ(FolderOfDummyPath("C:\\Sets\\Junk"), "C:\\Sets");
    EXPECT_EQ(FolderOfDummyPath("C:\\Junk"), "C:");  // a drive root: letter and colon only
    EXPECT_EQ(NewFolderPath("C:", "New"), "C:\\New");
    EXPECT_EQ(NewFolderPath("C:\\Sets\\", "New"), "C:\\Sets\\New");
}

TEST(ShellRules, NewDirMakesOneLevelAndReportsWhatItCouldNotMake) {
    IFileSystem& fs = SystemFileSystem();
    std::string scratch = AsWindows(MakeScratchFolder("zb_newdir_"));
    std::string made = NewFolderPath(scratch, "Fresh");
    EXPECT_TRUE(MakeNewFolder(made, fs));
    EXPECT_TRUE(MakeNewFolder(made, fs));  // already there is fine
    EXPECT_FALSE(MakeNewFolder(NewFolderPath(scratch, "missing\\deeper"), fs));
    uint32_t attributes = 0;
    EXPECT_FALSE(fs.GetAttributes(scratch + "\\missing", attributes));
    RemoveTree(fs, scratch);
}

TEST(HelpTopics, TablesAnswerTheirOwnTopicsAndEndWithZeros) {
    EXPECT_EQ(HelpTopicFor(kFrameHelpIds, 1006), 36u);
    EXPECT_EQ(HelpTopicFor(kViewHelpIds, 1006), 8u);
    EXPECT_EQ(HelpTopicFor(kFrameHelpIds, 1018), 32u);
    EXPECT_EQ(HelpTopicFor(kViewHelpIds, 1018), 21u);
    EXPECT_EQ(HelpTopicFor(kViewHelpIds, 1067), 36u);
    EXPECT_EQ(HelpTopicFor(kFrameHelpIds, 1067), 0u);  // Rejoin has a topic only on the form's table
    EXPECT_EQ(HelpTopicFor(kViewHelpIds, 0), 0u);
    EXPECT_EQ(HelpAnchor(20), "topic20");
    EXPECT_EQ(HelpAnchor(0), "");
    // Every topic has its anchor in the help file.
    std::string source = std::getenv("ZEMBRA_SOURCE_DIR") ? std::getenv("ZEMBRA_SOURCE_DIR") : ".";
    std::string html = ReadWholeFile(source + "/help/Zembra.html");
    ASSERT_FALSE(html.empty());
    for (const HelpIdPair* table : {kFrameHelpIds, kViewHelpIds})
        for (const HelpIdPair* p = table; p->control; ++p)
            EXPECT_NE(html.find("id=\"" + HelpAnchor(p->topic) + "\""), std::string::npos) << p->topic;
}

}  // namespace
