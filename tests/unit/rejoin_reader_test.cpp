// Rejoin walk over hand-made sets: the layout it relies on, overwrite answers, diskettes, and
// every damaged or hostile set it must refuse without writing outside the destination.
#include <sys/resource.h>

#include "rejoin_fixture.h"

#include "fakes/forwarding_file_system.h"
#include "rejoiner/entry_name.h"

namespace {

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST_F(RejoinTest, NestedFoldersEmptyFilesAndContentAcrossThreeSegments) {
    std::string big(300, 'x');
    for (size_t i = 0; i < big.size(); ++i) big[i] = char('a' + i % 26);
    CraftedSet set;
    set.Folder("top")                 // id 1
        .Folder("inner", 1)           // id 2
        .File("empty.txt", "", 2)
        .File("big.bin", big, 1)
        .File("root.txt", "root");
    // Cut inside big.bin's content twice, so it spans three segments.
    size_t contentStart = set.Stream().find("big.bin") + 8;
    auto segments = set.Segments({contentStart + 100, contentStart + 250});
    std::string first = WriteSet(segments);

    EXPECT_EQ(Rejoin(first), 1);
    EXPECT_FALSE(stopped_);
    EXPECT_EQ(segmentsRead_, 3);
    EXPECT_TRUE(prompts_.shown.empty());
    std::map<std::string, std::string> expected = {
        {"top", "<dir>"}, {"top/inner", "<dir>"}, {"top/inner/empty.txt", ""},
        {"top/big.bin", big}, {"root.txt", "root"}};
    EXPECT_EQ(Out(), expected);
    EXPECT_GT(steps_.steps, 0);
}

TEST_F(RejoinTest, OverwriteAnswers) {
    struct Case {
        const char* what;
        std::vector<int> answers;
        size_t questions;            // how many times the question is shown
        const char* expected;        // for files e1 e2 e3: 'n' new content, 'o' old content
    };
    const Case cases[] = {
        {"yes, no, yes", {kOverwriteYes, kOverwriteNo, kOverwriteYes}, 3, "non"},
        {"yes to all at once", {kOverwriteYesToAll}, 1, "nnn"},
        {"no, then no to all", {kOverwriteNo, kOverwriteNoToAll}, 2, "ooo"},
        {"a dialog that failed to show writes", {-1, 0, kOverwriteNo}, 3, "nno"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::system(("rm -rf " + root_ + "/t/out/*").c_str());
        for (const char* n : {"e1", "e2", "e3"}) WriteWholeFile(root_ + "/t/out/" + n, "old");
        overwrite_ = ScriptedOverwrite();
        overwrite_.answers = c.answers;
        CraftedSet set;
        set.File("e1", "new1").File("fresh", "fresh").File("e2", "new2").File("e3", "new3").File("later", "later");
        EXPECT_EQ(Rejoin(WriteSet(set.Segments())), 1);
        EXPECT_EQ(overwrite_.asked.size(), c.questions);
        if (!overwrite_.asked.empty()) {
            EXPECT_EQ(overwrite_.asked[0], "T:\\out\\e1 exists.");
        }
        auto out = Out();
        for (int i = 0; i < 3; ++i) {
            std::string name = "e" + std::to_string(i + 1);
            EXPECT_EQ(out[name], c.expected[i] == 'n' ? "new" + std::to_string(i + 1) : "old") << name;
        }
        EXPECT_EQ(out["fresh"], "fresh");  // new files are written whatever the answers,
        EXPECT_EQ(out["later"], "later");  // "No To All" included
    }
}

// Folder ids are the writer's: the n-th folder record is folder n, even one that is not made.
TEST_F(RejoinTest, EntriesWithUnknownFoldersAreReportedAndIdsStayTheWriters) {
    CraftedSet set;
    set.Folder("one")                    // 1
        .Folder("lost", 9)               // 2: parent unknown, not made
        .File("dropped", "zzz", 9)       // read and discarded
        .File("under-lost", "u", 2)      // in folder 2: goes with it
        .Folder("two")                   // 3
        .File("in2", "2", 3);
    CSegmentReader reader(WriteSet(set.Segments()), SystemFileSystem(), prompts_, overwrite_, steps_);
    EXPECT_EQ(reader.Rejoin("T:\\out\\"), 1);
    std::map<std::string, std::string> expected = {{"one", "<dir>"}, {"two", "<dir>"}, {"two/in2", "2"}};
    EXPECT_EQ(Out(), expected);
    EXPECT_TRUE(reader.ReachedLastSegment());
    EXPECT_FALSE(reader.Complete());
    EXPECT_EQ(reader.NotRestored(), (std::vector<std::string>{
                                        "T:\\out\\?\\lost (its parent folder is not in the set; in S:\\set_1.EXE)",
                                        "T:\\out\\?\\dropped (its folder is not in the set; in S:\\set_1.EXE)"}));
    ASSERT_EQ(prompts_.shown.size(), 1u);
    EXPECT_EQ(prompts_.shown[0].text, "These items of the split set were not restored:\r\n" +
                                          reader.NotRestored()[0] + "\r\n" + reader.NotRestored()[1]);
}

TEST_F(RejoinTest, MissingSegmentOnHardDiskEndsQuietlyKeepingEarlierFiles) {
    CraftedSet set;
    set.File("done", "complete").File("cut", "0123456789");
    size_t cut = set.Stream().size() - 4;
    auto segments = set.Segments({cut});
    std::string first = WriteSet({segments[0]});
    WriteWholeFile(root_ + "/t/out/cut", "old");
    overwrite_.fallback = kOverwriteYes;
    EXPECT_EQ(Rejoin(first), 1);
    EXPECT_FALSE(stopped_);
    EXPECT_TRUE(prompts_.shown.empty());
    std::map<std::string, std::string> expected = {{"done", "complete"}, {"cut", "old"}};
    EXPECT_EQ(Out(), expected);  // the file the set ends inside never replaces the old one
    EXPECT_EQ(missing_, "set_2.SEG");
    EXPECT_EQ(incomplete_, "T:\\out\\cut");
}

TEST_F(RejoinTest, DiskettePromptLooksAtTheDriveRoot) {
    mkdir((root_ + "/a/sets").c_str(), 0777);
    CraftedSet set;
    set.File("f", std::string(40, 'q'));
    auto segments = set.Segments({20});
    std::string first = WriteSet({segments[0]}, "A:\\sets\\");
    WriteWholeFile(root_ + "/away/set_2.SEG", segments[1]);
    std::string insert = "mv " + root_ + "/away/set_2.SEG " + root_ + "/a/";
    // OK without the disk asks again; the second OK finds it at A:\, not A:\sets\.
    prompts_.Then(PromptAnswer::Ok).Then(PromptAnswer::Ok, [&] { std::system(insert.c_str()); });
    EXPECT_EQ(Rejoin(first), 1);
    ASSERT_EQ(prompts_.shown.size(), 2u);
    EXPECT_EQ(prompts_.shown[0].text, "Please insert the disk containing the file set_2.SEG in drive A.");
    EXPECT_EQ(prompts_.shown[0].buttons, PromptButtons::OkCancel);
    EXPECT_EQ(Out()["f"], std::string(40, 'q'));
}

TEST_F(RejoinTest, DisketteRefusedEndsTheWalk) {
    CraftedSet set;
    set.File("whole", "w").File("f", std::string(40, 'q'));
    std::string first = WriteSet({set.Segments({30})[0]}, "A:\\");
    prompts_.Then(PromptAnswer::Cancel);
    EXPECT_EQ(Rejoin(first), 1);
    EXPECT_EQ(prompts_.shown.size(), 1u);
    EXPECT_EQ(Out()["whole"], "w");
}

// Hostile names: each entry is passed over (a folder with everything in it), the rest of the set
// is restored where it belongs, and one message at the end names what was not.
TEST_F(RejoinTest, UnsafeEntriesAreSkippedAndTheRestRestored) {
    const std::string names[] = {"..", ".", "..\\..\\evil", "../evil", "sub/evil", "C:evil", "evil:stream",
                                 "CON", "con.txt", "Lpt9", "COM1.tar.gz", "NUL ", "aux .log", "evil.",
                                 "evil ", "", "ev*il", "ev\x01il"};
    for (bool asFolder : {false, true}) {
        for (const std::string& name : names) {
            SCOPED_TRACE((asFolder ? "folder " : "file ") + PrintableEntryName(name));
            std::system(("rm -rf " + root_ + "/t/out/* " + root_ + "/s/*").c_str());
            prompts_ = ScriptedPrompts();
            CraftedSet set;
            set.File("before", "b").Folder("d");                        // d is folder 1
            if (asFolder)
                set.Folder(name, 1).File("x", "x", 2).Folder("deep", 2).File("y", "y", 3);  // folders 2, 3
            else
                set.File(name, "evil", 1);
            // Folder 4 (or 2) keeps its id: its file lands in it and nowhere else.
            set.Folder("next").File("n", "n", asFolder ? 4 : 2).File("after", "a");
            std::string first = WriteSet(set.Segments());
            auto before = Outside();
            EXPECT_EQ(Rejoin(first), 1);
            EXPECT_FALSE(stopped_);
            ASSERT_EQ(prompts_.shown.size(), 1u);
            EXPECT_TRUE(Contains(prompts_.shown[0].text, "were not restored:\r\nT:\\out\\d\\" + PrintableEntryName(name) + " ("))
                << prompts_.shown[0].text;
            std::map<std::string, std::string> expected = {
                {"before", "b"}, {"d", "<dir>"}, {"next", "<dir>"}, {"next/n", "n"}, {"after", "a"}};
            EXPECT_EQ(Out(), expected);
            EXPECT_EQ(Outside(), before);
        }
    }
}

TEST_F(RejoinTest, ANameTooLongToReadStopsTheRejoin) {
    std::string first = WriteSet(CraftedSet().File("before", "b").File(std::string(256, 'n'), "x").File("after", "a").Segments());
    EXPECT_EQ(Rejoin(first), 0);
    EXPECT_TRUE(stopped_);
    ASSERT_EQ(prompts_.shown.size(), 1u);
    EXPECT_TRUE(Contains(prompts_.shown[0].text, "longer than 255"));
    EXPECT_EQ(Out(), (std::map<std::string, std::string>{{"before", "b"}}));
}

TEST(EntryName, PlainNamesPass) {
    for (const std::string& name : {std::string("a.txt"), std::string("my file"), std::string("CONSOLE"),
                                    std::string("COM10"), std::string("LPT0"), std::string("con2.txt"),
                                    std::string(".hidden"), std::string("a..b"), std::string(255, 'n'),
                                    std::string("caf\xe9")})
        EXPECT_TRUE(IsSafeEntryName(name)) << name;
    EXPECT_FALSE(IsSafeEntryName("COM\xb9"));
    EXPECT_EQ(PrintableEntryName("a\x01z"), "a?z");
}

struct Damage {
    const char* what;
    std::vector<std::string> segments;
    const char* message;  // part of the one message shown
};

TEST_F(RejoinTest, DamagedSetsEndWithAMessage) {
    CraftedSet good;
    good.File("keep", "kept").File("big", std::string(100, 'b'));
    auto ok = good.Segments();
    std::string noTrailer = ok[0].substr(0, ok[0].size() - 4);
    CraftedSet nameless;
    nameless.File("keep", "kept").Raw(CraftedSet::Le32(1) + std::string(1, '\x20') + CraftedSet::Le32(0) + "abc");
    CraftedSet longName;
    longName.File("keep", "kept").Raw(CraftedSet::Le32(1) + std::string(1, '\x20') + CraftedSet::Le32(0) +
                                      std::string(400, 'n') + std::string(1, '\0') + "x");
    CraftedSet shortHeader;
    shortHeader.File("keep", "kept").Raw("\x05\x00\x00");
    CraftedSet fatFolder;
    fatFolder.File("keep", "kept").Header(7, 0x10, 0, "dir");
    CraftedSet unnamed;  // what a cut first segment whose last bytes pass for a trailer may hold
    unnamed.File("keep", "kept").Header(50, 0x20, 0, "").Raw("abc");
    CraftedSet cutInHeader;  // a non-last segment that ends inside a header
    cutInHeader.File("keep", "kept").File("next", "n");
    size_t inHeader = cutInHeader.Stream().size() - 6;
    const Damage cases[] = {
        {"content longer than the set", {ok[0].substr(0, ok[0].size() - 4 - 30) + CraftedSet::Le32(64)},
         "the data end in S:\\set_1.EXE inside the file big."},
        {"data ending inside a nameless file", {unnamed.Segments()[0]}, "the data end in S:\\set_1.EXE inside the file (no name)."},
        {"trailer past the end", {noTrailer + CraftedSet::Le32(uint32_t(noTrailer.size()))}, "outside the file"},
        {"trailer at 0xFFFFFFFF", {noTrailer + CraftedSet::Le32(0xFFFFFFFFu)}, "outside the file"},
        {"file of three bytes", {std::string("abc")}, "no valid trailer"},
        {"name without its NUL", nameless.Segments(), "name is cut short"},
        {"name past 255 bytes", longName.Segments(), "longer than 255"},
        {"header cut short", shortHeader.Segments(), "header is cut short"},
        {"folder with contents", fatFolder.Segments(), "has contents"},
        {"segment ending inside a header", cutInHeader.Segments({inHeader}), "is cut short in S:\\set_1.EXE"},
        {"empty later segment", {good.Segments({18})[0], ""}, "set_2.SEG is empty"},
    };
    for (const Damage& c : cases) {
        SCOPED_TRACE(c.what);
        std::system(("rm -rf " + root_ + "/t/out/* " + root_ + "/s/*").c_str());
        prompts_ = ScriptedPrompts();
        std::string first = WriteSet(c.segments);
        auto before = Outside();
        EXPECT_EQ(Rejoin(first), 0);
        EXPECT_TRUE(stopped_);
        ASSERT_GE(prompts_.shown.size(), 1u);  // entries not restored may follow the fault
        EXPECT_TRUE(Contains(prompts_.shown[0].text, c.message)) << prompts_.shown[0].text;
        EXPECT_EQ(Outside(), before);
        auto out = Out();
        if (out.count("keep")) {
            EXPECT_EQ(out["keep"], "kept");
        }
    }
}

// Delegates to the real file system but fails writes after a budget or reads of one file.
class FailingFileSystem : public ForwardingFileSystem {
public:
    explicit FailingFileSystem(IFileSystem& real) : ForwardingFileSystem(real) {}
    long writeBudget = -1;
    std::string failReadsOf;

    std::string LastErrorText() override { return failed_ ? "Injected failure" : real_.LastErrorText(); }
    std::unique_ptr<IFile> Open(const std::string& p, OpenMode m, Share s) override {
        auto f = real_.Open(p, m, s);
        if (!f) return f;
        bool failReads = !failReadsOf.empty() && p.find(failReadsOf) != std::string::npos;
        if (m == OpenMode::CreateWrite || failReads) return std::make_unique<Faulty>(std::move(f), *this, failReads);
        return f;
    }
    std::unique_ptr<IFile> CreateFileBeneath(const std::string& r, const std::string& p) override {
        auto f = real_.CreateFileBeneath(r, p);
        if (!f) return f;
        return std::make_unique<Faulty>(std::move(f), *this, false);
    }

private:
    class Faulty : public ForwardingFile {
    public:
        Faulty(std::unique_ptr<IFile> f, FailingFileSystem& o, bool failReads)
            : ForwardingFile(std::move(f)), o_(o), failReads_(failReads) {}
        int64_t Read(void* b, size_t c) override {
            if (failReads_ && reads_++ > 0) {  // the trailer read passes, the data reads fail
                o_.failed_ = true;
                return -1;
            }
            return real_->Read(b, c);
        }
        bool Write(const void* b, size_t c) override {
            if (o_.writeBudget >= 0 && long(c) > o_.writeBudget) {
                real_->Write(b, size_t(o_.writeBudget));
                o_.writeBudget = 0;
                o_.failed_ = true;
                return false;
            }
            if (o_.writeBudget >= 0) o_.writeBudget -= long(c);
            return real_->Write(b, c);
        }

    private:
        FailingFileSystem& o_;
        bool failReads_;
        int reads_ = 0;
    };
    bool failed_ = false;
};

TEST_F(RejoinTest, FullDiskStopsAndKeepsWhatWasWritten) {
    FailingFileSystem fs(SystemFileSystem());
    fs.writeBudget = 10 + 70;
    CraftedSet set;
    set.File("first", std::string(10, '1')).File("second", std::string(100, '2')).File("third", "3");
    EXPECT_EQ(Rejoin(fs, WriteSet(set.Segments())), 0);
    ASSERT_EQ(prompts_.shown.size(), 1u);
    EXPECT_EQ(prompts_.shown[0].text, "Cannot write T:\\out\\second\r\nInjected failure\r\nRejoin stopped.");
    std::map<std::string, std::string> expected = {{"first", std::string(10, '1')}};
    EXPECT_EQ(Out(), expected);  // no half file under the name
}

// Replacing a file replaces its name: another name for the same data (a hard link) keeps it.
TEST_F(RejoinTest, OverwritingAHardLinkedFileLeavesItsOtherNameAlone) {
    WriteWholeFile(root_ + "/precious.txt", "precious");
    ASSERT_EQ(link((root_ + "/precious.txt").c_str(), (root_ + "/t/out/a.txt").c_str()), 0);
    overwrite_.fallback = kOverwriteYes;
    CraftedSet set;
    set.File("a.txt", "from the set");
    std::string first = WriteSet(set.Segments());
    auto before = Outside();
    EXPECT_EQ(Rejoin(first), 1);
    EXPECT_EQ(overwrite_.asked.size(), 1u);
    EXPECT_EQ(Out()["a.txt"], "from the set");
    EXPECT_EQ(Outside(), before);
}

TEST_F(RejoinTest, UnreadableSegmentStops) {
    FailingFileSystem fs(SystemFileSystem());
    fs.failReadsOf = "set_1.EXE";
    CraftedSet set;
    set.File("f", "data");
    EXPECT_EQ(Rejoin(fs, WriteSet(set.Segments())), 0);
    ASSERT_EQ(prompts_.shown.size(), 1u);
    EXPECT_TRUE(Contains(prompts_.shown[0].text, "set_1.EXE")) << prompts_.shown[0].text;
}

TEST_F(RejoinTest, SegmentThatCannotBeOpenedStops) {
    CraftedSet set;
    set.File("whole", "w").File("f", std::string(40, 'q'));
    auto segments = set.Segments({30});
    std::string first = WriteSet({segments[0]});
    mkdir((root_ + "/s/set_2.SEG").c_str(), 0777);  // exists, but is no file
    EXPECT_EQ(Rejoin(first), 0);
    ASSERT_EQ(prompts_.shown.size(), 1u);
    EXPECT_TRUE(Contains(prompts_.shown[0].text, "Cannot open S:\\set_2.SEG")) << prompts_.shown[0].text;
    EXPECT_EQ(Out()["whole"], "w");
}

TEST_F(RejoinTest, AFolderThatCannotBeMadeIsReportedAndTheRestRestored) {
    WriteWholeFile(root_ + "/t/out/sub", "a file where a folder should be");
    CraftedSet set;
    set.File("ok", "ok").Folder("sub").File("x", "x", 1).Folder("inner", 1).File("y", "y", 2).File("after", "a");
    EXPECT_EQ(Rejoin(WriteSet(set.Segments())), 1);
    ASSERT_EQ(prompts_.shown.size(), 1u);
    EXPECT_TRUE(Contains(prompts_.shown[0].text, "not restored:\r\nT:\\out\\sub (could not be created: "))
        << prompts_.shown[0].text;
    std::map<std::string, std::string> expected = {
        {"ok", "ok"}, {"sub", "a file where a folder should be"}, {"after", "a"}};
    EXPECT_EQ(Out(), expected);
}

// A set copied from a medium that ignores letter case keeps its segments' names in any case.
TEST_F(RejoinTest, LaterSegmentsAreFoundWhateverTheirCase) {
    CraftedSet set;
    set.File("f", std::string(100, 'q')).File("g", "g");
    auto segments = set.Segments({40, 80});
    WriteWholeFile(root_ + "/s/set_1.EXE", segments[0]);
    WriteWholeFile(root_ + "/s/set_2.seg", segments[1]);
    WriteWholeFile(root_ + "/s/SET_3.Seg", segments[2]);
    EXPECT_EQ(Rejoin("S:\\set_1.EXE"), 1);
    EXPECT_TRUE(prompts_.shown.empty());
    EXPECT_EQ(segmentsRead_, 3);
    EXPECT_EQ(Out(), (std::map<std::string, std::string>{{"f", std::string(100, 'q')}, {"g", "g"}}));
}

// 60,000 nested folders: memory grows with the set, not with the square of it (whole paths
// would take hundreds of GB here), the first folder past the path limit is reported with
// everything under it, and what follows is restored.
TEST_F(RejoinTest, DeepNestingStaysSmallAndPathsPastTheLimitAreRefused) {
    CraftedSet set;
    const uint32_t kDepth = 60000;
    const std::string name(200, 'a');
    for (uint32_t i = 0; i < kDepth; ++i) set.Folder(name, i);
    set.File("deep", "d", kDepth).File("top", "t");
    std::string first = WriteSet(set.Segments());
    struct rusage before, after;
    getrusage(RUSAGE_SELF, &before);
    CSegmentReader reader(first, SystemFileSystem(), prompts_, overwrite_, steps_);
    EXPECT_EQ(reader.Rejoin("T:\\out\\"), 1);
    getrusage(RUSAGE_SELF, &after);
    EXPECT_LT(after.ru_maxrss - before.ru_maxrss, 64 * 1024) << "KiB";
    ASSERT_EQ(reader.NotRestored().size(), 1u);
    const std::string& told = reader.NotRestored()[0];
    EXPECT_NE(told.find(" (the path is too long, with everything in it)"), std::string::npos);
    // Told at the folder that first goes past the limit, not at one deeper or shallower.
    EXPECT_GE(told.find(" ("), PathLimit());
    EXPECT_LE(told.find(" ("), PathLimit() + name.size());
    EXPECT_EQ(ReadWholeFile(root_ + "/t/out/top"), "t");
}

}  // namespace
