// The rejoin's check against NAME.sha256: every segment needs its one line and a matching
// digest, read from the very file the reader uses; without a line only the user's Yes goes on.
#include "rejoin_fixture.h"

#include "checksum/segment_check.h"
#include "checksum/sha256.h"

namespace {

std::string Digest(const std::string& bytes) {
    CSha256 sha;
    sha.Update(bytes.data(), bytes.size());
    return sha.HexDigest();
}

// Three segments: "a" lies in the first, "b" runs from the first into the second, "c" in the third.
std::vector<std::string> ThreeSegments(char fill) {
    CraftedSet set;
    set.File("a", std::string(30, fill)).File("b", std::string(40, fill + 1)).File("c", std::string(20, fill + 2));
    size_t b = set.Stream().find('b') + 2;
    return set.Segments({b + 10, b + 40});
}

TEST_F(RejoinTest, EverySegmentIsCheckedAgainstItsOneLine) {
    const std::vector<std::string> ours = ThreeSegments('x'), theirs = ThreeSegments('p');
    const std::string d1 = Digest(ours[0]), d2 = Digest(ours[1]), d3 = Digest(ours[2]);
    const std::string plain = d1 + "  set_1.EXE\n" + d2 + "  set_2.SEG\n" + d3 + "  set_3.SEG\n";
    struct Case {
        const char* name;
        std::string sums;
        bool foreignSecond;
        std::vector<PromptAnswer> answers;
        bool whole;           // the set rejoined, "c" included
        const char* told;     // in the message that stopped it ("" when none)
        int unchecked;
    } cases[] = {
        {"all listed", plain, false, {}, true, "", 0},
        // sha256sum's other forms: --tag with a folder, binary mode with CR LF, an escaped name.
        {"tag, binary, escaped", "SHA256 (out/set_1.EXE) = " + d1 + "\n" + d2 + " *set_2.SEG\r\n\\" + d3 +
             "  dir\\\\set_3.SEG\n", false, {}, true, "", 0},
        {"a segment of another set", plain, true, {}, false,
         "S:\\set_2.SEG does not match its SHA-256 checksum in set.sha256", 0},
        {"no line, user says No", d1 + "  set_1.EXE\n" + d3 + "  set_3.SEG\n", false, {PromptAnswer::No}, false,
         "set_2.SEG has no line in set.sha256", 0},
        {"no line, user says Yes", d1 + "  set_1.EXE\n" + d3 + "  set_3.SEG\n", false, {PromptAnswer::Yes}, true, "", 1},
        {"an appended line contradicts", plain + Digest(theirs[2]) + "  set_3.SEG\n", false, {}, false,
         "set.sha256 gives set_3.SEG different checksums", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::system(("rm -rf " + root_ + "/t/out/* " + root_ + "/s/*").c_str());
        std::string first = WriteSet({ours[0], c.foreignSecond ? theirs[1] : ours[1], ours[2]});
        WriteWholeFile(Host("S:\\set.sha256"), c.sums);
        prompts_ = ScriptedPrompts();
        for (PromptAnswer a : c.answers) prompts_.Then(a);

        CSetChecksums sums;
        ASSERT_TRUE(sums.Read(SystemFileSystem(), "S:\\set.sha256"));
        CSegmentCheck check(sums, "set.sha256", prompts_);
        CSegmentReader reader(first, SystemFileSystem(), prompts_, overwrite_, steps_);
        reader.SetSegmentCheck([&check](IFile& f, const std::string& p, std::string& r) { return check.Check(f, p, r); });
        reader.Rejoin("T:\\out\\");

        EXPECT_EQ(reader.Complete(), c.whole);
        EXPECT_EQ(Out().count("c"), c.whole ? 1u : 0u);
        EXPECT_EQ(check.Unchecked(), c.unchecked);
        if (*c.told) {
            ASSERT_FALSE(prompts_.shown.empty());
            EXPECT_NE(prompts_.shown.back().text.find(c.told), std::string::npos) << prompts_.shown.back().text;
        } else {
            EXPECT_EQ(prompts_.shown.size(), c.answers.size()) << prompts_.shown.back().text;
        }
    }
}

}  // namespace
