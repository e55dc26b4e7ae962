// zembra-cli's argument contract: sizes, defaults, and the usage errors that exit with 2.
#include <gtest/gtest.h>

#include "cli/cli_options.h"

namespace {

TEST(CliSize, UnitsAreThoseOfTheSuite) {
    struct Case {
        const char* text;
        bool ok;
        uint64_t bytes;
    } cases[] = {
        {"0", true, 0},          {"1440000", true, 1440000}, {"1400K", true, 1400000},
        {"2m", true, 2000000},   {"100M", true, 100000000},  {"", false, 0},
        {"K", false, 0},         {"12KB", true, 12000},      {"-5", false, 0},
        {"1.5M", true, 1500000}, {"700k", true, 700000},     {"4G", true, 4000000000ull},
        {".5K", true, 500},      {"1.0005K", true, 1000},    {"1.5", false, 0},
        {"1.M", false, 0},       {"1.5.1M", false, 0},       {"12BB", false, 0},
        {"99999999999999999999", false, 0},
        {"18446744073709551615", true, 18446744073709551615ull},
        {"18446744073709552K", false, 0},
    };
    for (const Case& c : cases) {
        uint64_t bytes = 12345;
        EXPECT_EQ(ParseSize(c.text, bytes), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(bytes, c.bytes) << c.text;
        }
    }
}

TEST(CliParse, SplitTakesOptionsAnywhereAndDefaultsTheName) {
    CliOptions o = ParseCommandLine({"split", "a", "--dest", "out", "--size", "1400K", "b", "--yes"});
    ASSERT_EQ(o.error, "");
    EXPECT_EQ(o.command, CliCommand::Split);
    EXPECT_EQ(o.name, "Kestrin");
    EXPECT_EQ(o.size, 1400000u);
    EXPECT_TRUE(o.yes);
    EXPECT_EQ(o.dest, "out");
    EXPECT_EQ(o.sources, (std::vector<std::string>{"a", "b"}));

    o = ParseCommandLine({"split", "--name", "my_set", "--rejoiner", "r.exe", "--dest", "d", "--", "-odd"});
    ASSERT_EQ(o.error, "");
    EXPECT_EQ(o.name, "my_set");
    EXPECT_EQ(o.rejoiner, "r.exe");
    EXPECT_EQ(o.sources, (std::vector<std::string>{"-odd"}));
    EXPECT_EQ(o.size, 0u);  // autosize
}

TEST(CliParse, RejoinAndListTakeTheirPositionals) {
    CliOptions o = ParseCommandLine({"rejoin", "--overwrite", "all", "set_1.EXE", "dest"});
    ASSERT_EQ(o.error, "");
    EXPECT_EQ(o.overwrite, OverwritePolicy::All);
    EXPECT_EQ(o.firstSegment, "set_1.EXE");
    EXPECT_EQ(o.dest, "dest");
    EXPECT_EQ(ParseCommandLine({"rejoin", "a", "b"}).overwrite, OverwritePolicy::Ask);
    o = ParseCommandLine({"list", "set_1.EXE"});
    ASSERT_EQ(o.error, "");
    EXPECT_EQ(o.command, CliCommand::List);
    EXPECT_EQ(ParseCommandLine({"--help"}).command, CliCommand::Help);
    EXPECT_EQ(ParseCommandLine({"--version"}).command, CliCommand::Version);
}

TEST(CliParse, InlineValuesVerbosityListsAndHelp) {
    CliOptions o = ParseCommandLine({"-q", "split", "--size=1.5M", "--dest=out dir", "--files-from", "-",
                                     "--no-checksums"});
    ASSERT_EQ(o.error, "");
    EXPECT_EQ(o.verbosity, Verbosity::Quiet);
    EXPECT_EQ(o.size, 1500000u);
    EXPECT_EQ(o.dest, "out dir");
    EXPECT_EQ(o.filesFrom, "-");
    EXPECT_FALSE(o.checksums);
    EXPECT_TRUE(o.sources.empty());
    o = ParseCommandLine({"rejoin", "-v", "--overwrite=none", "a_1.EXE", "d"});
    ASSERT_EQ(o.error, "");
    EXPECT_EQ(o.verbosity, Verbosity::Verbose);
    EXPECT_EQ(o.overwrite, OverwritePolicy::None);
    EXPECT_EQ(ParseCommandLine({"verify", "a_1.EXE"}).command, CliCommand::Verify);

    // Help on a command wins over whatever else is (or is not) on the line.
    for (auto args : std::vector<std::vector<std::string>>{
             {"split", "--help"}, {"split", "-h", "--bogus"}, {"help", "split"}, {"split", "--dest", "d", "-h"}}) {
        o = ParseCommandLine(args);
        EXPECT_EQ(o.error, "") << args[1];
        EXPECT_EQ(o.command, CliCommand::Help);
        EXPECT_EQ(o.helpFor, CliCommand::Split);
    }
    EXPECT_EQ(ParseCommandLine({"verify", "-h"}).helpFor, CliCommand::Verify);
}

TEST(CliParse, UsageErrors) {
    const std::vector<std::vector<std::string>> bad = {
        {},
        {"frobnicate"},
        {"split", "a"},                               // no --dest
        {"split", "--dest", "d"},                     // no source
        {"split", "--dest"},                          // missing value
        {"split", "--size", "lots", "--dest", "d", "a"},
        {"split", "--name", "a\\b", "--dest", "d", "a"},
        {"split", "--bogus", "--dest", "d", "a"},
        {"split", "--yes=no", "--dest", "d", "a"},  // a flag takes no value
        {"split", "--name", "a\nb", "--dest", "d", "a"},
        {"verify"},
        {"help", "explode"},
        {"rejoin", "only-one"},
        {"rejoin", "--overwrite", "maybe", "a", "b"},
        {"rejoin", "a", "b", "c"},
        {"list"},
        {"list", "a", "b"},
    };
    for (const auto& args : bad) {
        std::string joined;
        for (const auto& a : args) joined += a + " ";
        EXPECT_NE(ParseCommandLine(args).error, "") << joined;
    }
}

}  // namespace
