// New's numbering, Save As trimming, the listing read back as a project, and the print layout.
#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>
#include <string>
#include <tuple>
#include <vector>

#include <sys/stat.h>
#include <utime.h>

#include "fakes/forwarding_file_system.h"
#include "fakes/memory_settings.h"
#include "fakes/test_files.h"
#include "model/listing_reader.h"
#include "model/print_layout.h"
#include "model/project_listing.h"
#include "model/project_memory.h"
#include "model/project_names.h"

namespace {

class ProjectModel : public ::testing::Test {
protected:
    void SetUp() override { win_ = posix_drives::ToWindows(host_ = MakeScratchFolder("zb_project_")); }
    void TearDown() override { RemoveTree(fs_, win_); }
    // name uses '/' between levels; returns the Windows path. A null bytes makes a folder.
    std::string Put(std::string name, const char* bytes = "x") {
        bytes ? (void)WriteWholeFile(host_ + "/" + name, bytes) : (void)fs_.MakeFolder(win_ + "\\" + name);
        std::replace(name.begin(), name.end(), '/', '\\');
        return win_ + "\\" + name;
    }
    IFileSystem& fs_ = SystemFileSystem();
    std::string host_, win_;
};

TEST_F(ProjectModel, NewCountsOnFromTheTrailingDigits) {
    using project_names::NextSetName;
    Put("Backup8.spj");
    Put("Backup9.spj");
    Put("1.spj");
    EXPECT_EQ(NextSetName(fs_, win_, "Backup7"), "Backup10");  // the folder gets its backslash
    EXPECT_EQ(NextSetName(fs_, win_ + "\\", "Data"), "Data1");
    EXPECT_EQ(NextSetName(fs_, win_, ""), "2");
    EXPECT_EQ(NextSetName(fs_, win_, "Set499"), "Untitled");
    EXPECT_EQ(NextSetName(fs_, win_, "Set99999999999999999999"), "Untitled");
    for (int k = 1; k < 500; ++k) Put("Full" + std::to_string(k) + ".spj");
    EXPECT_EQ(NextSetName(fs_, win_, "Full"), "Untitled");
}

TEST_F(ProjectModel, ReaderKeepsNamesWithSeparatorsAndRestoresFolderSourcesWhole) {
    std::string song = Put("Artist - Song.mp3"), album = Put("Album", nullptr), inner = Put("Album/inner.txt"),
                disc = Put("Album/Disc - 2", nullptr), track = Put("Album/Disc - 2/t.wav"), loose = Put("inner.txt"),
                longPath = Put(std::string(200, 'n') + " - x.doc");
    std::string listing = "$ =====Files in Set_1.EXE=======\r\n" + song + " - 5\r\n" + album + " - 0\r\n" + inner +
                          " - 3\r\n" + disc + " - 0\r\n" + track + " - 4\r\n$ =====Files in Set_2.SEG=======\r\n$ cont.. " +
                          track + "\r\n" + loose + " - 2\r\n" + longPath + " - -1294967296\r\n$  \r\n$ 5 files \r\n$  ";
    std::string spj = Put("Set.spj", listing.c_str());

    std::vector<listing_reader::Line> lines;
    ASSERT_TRUE(listing_reader::ReadLines(fs_, spj, lines));
    ASSERT_EQ(lines.size(), 13u);
    EXPECT_EQ(lines[1].path, song);
    EXPECT_EQ(lines[9].path, longPath);
    EXPECT_EQ(lines.back().text, "$  ");  // the summary's last line has no line end
    CProjectListing project(fs_, spj);
    ASSERT_TRUE(project.Read() && project.Probe(false));
    EXPECT_EQ(project.FirstMissing(), "");
    // The folder is one source again; a same-named file outside it stays a source of its own.
    EXPECT_EQ(project.Sources(), (std::vector<std::string>{song, album, loose, longPath}));
    std::string text;
    ASSERT_TRUE(listing_reader::ReadContentsText(fs_, spj, text));
    EXPECT_EQ(text, listing + "\r\n");
    fs_.RemoveFile(track);
    ASSERT_TRUE(project.Probe(false));
    EXPECT_EQ(project.FirstMissing(), track);

    std::string folder, name;
    listing_reader::SplitProjectPath(spj, folder, name);
    EXPECT_EQ(folder + name, win_ + "\\Set");
    CProjectListing root(fs_, Put("Root.spj", ("Z:\\ - 0\r\n" + song + " - 1").c_str()));
    ASSERT_TRUE(root.Read() && root.Probe(false));
    EXPECT_EQ(root.Sources(), std::vector<std::string>{"Z:\\"});
}

// A listing may name a folder after what lies in it, and a folder whose name starts another's
// ("Album2" beside "Album") is no part of it.
TEST_F(ProjectModel, AFolderListedAfterWhatLiesInItStillCarriesIt) {
    std::string album = Put("Album", nullptr), disc = Put("Album/Disc", nullptr), track = Put("Album/Disc/t.wav"),
                inner = Put("Album/a.txt"), other = Put("Album2", nullptr), b = Put("Album2/b.txt");
    std::string listing;
    for (const std::string& path : {track, disc, b, other, inner, album}) listing += path + " - 1\r\n";
    CProjectListing project(fs_, Put("Late.spj", listing.c_str()));
    ASSERT_TRUE(project.Read() && project.Probe(false));
    EXPECT_EQ(project.Sources(), (std::vector<std::string>{other, album}));
}

// Opens for reading only, and says the file is shorter than it is (as one that grows after the
// size was taken).
class ReadOnlyShrinkingFs : public ForwardingFileSystem {
public:
    using ForwardingFileSystem::ForwardingFileSystem;
    std::unique_ptr<IFile> Open(const std::string& p, OpenMode m, Share s) override {
        struct Short : ForwardingFile {
            using ForwardingFile::ForwardingFile;
            uint64_t Length() override { return 10; }
        };
        auto real = m == OpenMode::Read ? real_.Open(p, m, s) : nullptr;
        return real ? std::make_unique<Short>(std::move(real)) : nullptr;
    }
};

TEST_F(ProjectModel, ReaderTakesAReadOnlyListingOfAnySize) {
    std::string body = std::string(30000, 'L') + " - 1\r\n";  // lines run across the read pieces
    for (int i = 0; i < 20000; ++i) body += "Z:\\f" + std::to_string(i) + " - " + std::to_string(i) + "\r\n";
    std::string spj = Put("Big.spj", body.c_str());
    ReadOnlyShrinkingFs fs(fs_);
    std::vector<listing_reader::Line> lines;
    ASSERT_TRUE(listing_reader::ReadLines(fs, spj, lines));
    ASSERT_EQ(lines.size(), 20001u);
    EXPECT_EQ(lines[0].path.size(), 30000u);
    EXPECT_EQ(lines[20000].path, "Z:\\f19999");
    std::string text;
    ASSERT_TRUE(listing_reader::ReadContentsText(fs, spj, text));
    EXPECT_EQ(text, body);
    EXPECT_FALSE(listing_reader::ReadLines(fs, win_ + "\\none.spj", lines));
    EXPECT_FALSE(listing_reader::ReadContentsText(fs, win_ + "\\none.spj", text));

    // A path that holds a zero byte names nothing, not the drive the text before it names.
    WriteWholeFile(host_ + "/Junk.spj", std::string("Z:\\\0junk - 5\r\n", 14));
    ASSERT_TRUE(listing_reader::ReadLines(fs, win_ + "\\Junk.spj", lines));
    ASSERT_EQ(lines.size(), 1u);
    CProjectListing junk(fs, win_ + "\\Junk.spj");
    ASSERT_TRUE(junk.Read() && junk.Probe(false));
    EXPECT_EQ(junk.Refused().count, 1u);
    EXPECT_TRUE(junk.Sources().empty());
}

// Records every path it is asked about: a project's reading must not reach a network path.
class ProbeLog : public ForwardingFileSystem {
public:
    using ForwardingFileSystem::ForwardingFileSystem;
    bool GetStatus(const std::string& p, FileStatus& s) override { return Seen(p) && real_.GetStatus(p, s); }
    bool GetAttributes(const std::string& p, uint32_t& a) override { return Seen(p) && real_.GetAttributes(p, a); }
    bool Exists(const std::string& p) override { return Seen(p) && real_.Exists(p); }
    std::vector<std::string> probed;

private:
    bool Seen(const std::string& p) {
        probed.push_back(p);
        return true;
    }
};

TEST(ListingSources, OnlyAbsoluteLocalPathsAreSourcesAndNetworkOnesAreLeftAlone) {
    using listing_reader::KindOf;
    using listing_reader::SourceKind;
    struct Case {
        const char* path;
        SourceKind kind;
    } cases[] = {
        {"C:\\data\\a.txt", SourceKind::Local},   {"z:\\", SourceKind::Local},
        {"C:\\a - b\\c", SourceKind::Local},       {"\\\\host\\share\\doc.txt", SourceKind::Network},
        {"\\\\host\\share", SourceKind::Network},  {"Z:", SourceKind::Refused},
        {"C:data", SourceKind::Refused},             {"data\\a.txt", SourceKind::Refused},
        {"\\\\data", SourceKind::Refused},            {"\\\\host\\", SourceKind::Refused},
        {"\\\\?\\C:\\x", SourceKind::Refused},         {"\\\\.\\PhysicalDrive0", SourceKind::Refused},
        {"C:\\a\\..\\..\\Windows", SourceKind::Refused},  {"C:\\.\\a", SourceKind::Refused},
        {"\\\\h\\s\\..\\t", SourceKind::Refused},       {"", SourceKind::Refused},
        {"\\data", SourceKind::Refused},
    };
    for (const Case& c : cases) EXPECT_EQ(KindOf(c.path), c.kind) << c.path;
}

TEST_F(ProjectModel, ReadingAProjectNeverTouchesWhatItMayNotTake) {
    std::string kept = Put("kept.txt");
    std::string spj = Put("Odd.spj", ("Z: - 0\r\nrelative\\x - 1\r\n\\\\evil\\share\\doc.txt - 3\r\n" + kept + " - 1\r\n").c_str());
    ProbeLog fs(fs_);
    CProjectListing project(fs, spj);
    ASSERT_TRUE(project.Read());
    EXPECT_EQ(project.Refused().first, (std::vector<std::string>{"Z:", "relative\\x"}));
    EXPECT_EQ(project.Network().first, std::vector<std::string>{"\\\\evil\\share\\doc.txt"});
    fs.probed.clear();
    ASSERT_TRUE(project.Probe(false));
    EXPECT_EQ(project.FirstMissing(), "");
    EXPECT_EQ(project.Sources(), std::vector<std::string>{kept});
    for (const std::string& p : fs.probed) EXPECT_EQ(p, kept);
    // Once the user has said yes, the network path is a source like another (missing here).
    ASSERT_TRUE(project.Probe(true));
    EXPECT_EQ(project.FirstMissing(), "\\\\evil\\share\\doc.txt");
}

// A set as the engine leaves it: two sources, a listing with two segment headings, the segments.
TEST_F(ProjectModel, ASetIsCurrentUntilASourceOrASegmentChanges) {
    Put("src", nullptr);
    std::string a = Put("src/a.txt", "12345"), dir = Put("src/d", nullptr), b = Put("src/d/b.txt", "xy");
    Put("out", nullptr);
    std::string out = win_ + "\\out\\";
    std::string spj = Put("out/S.spj", ("$ =====Files in S_1.EXE=======\r\n" + a + " - 5\r\n" + dir + " - 0\r\n" +
                                        "$ =====Files in S_2.SEG=======\r\n$ cont.. " + dir + "\r\n" + b +
                                        " - 2\r\n$  \r\n$ 2 files \r\n$  ").c_str());
    Put("out/S_1.EXE");
    Put("out/S_2.SEG");
    auto age = [&](const std::string& name, int secondsAgo) {
        struct utimbuf t;
        t.actime = t.modtime = time(nullptr) - secondsAgo;
        ASSERT_EQ(utime((host_ + "/" + name).c_str(), &t), 0);
    };
    for (const char* n : {"src/a.txt", "src/d", "src/d/b.txt"}) age(n, 100);
    CProjectListing project(fs_, spj);
    ASSERT_TRUE(project.Read());
    EXPECT_EQ(project.Segments(), (std::vector<std::string>{"S_1.EXE", "S_2.SEG"}));
    auto current = [&] { return CProjectListing::SetIsCurrent(fs_, spj, out, "S"); };
    EXPECT_TRUE(current());

    age("src/d/b.txt", -100);  // written after the listing
    EXPECT_FALSE(current());
    age("src/d/b.txt", 100);
    WriteWholeFile(host_ + "/src/d/new.txt", "n");  // the folder changed
    EXPECT_FALSE(current());
    fs_.RemoveFile(win_ + "\\src\\d\\new.txt");
    age("src/d", 100);
    EXPECT_TRUE(current());
    WriteWholeFile(host_ + "/src/a.txt", "1234");  // another size, even with an old time
    age("src/a.txt", 100);
    EXPECT_FALSE(current());
    WriteWholeFile(host_ + "/src/a.txt", "12345");
    age("src/a.txt", 100);
    Put("out/S_3.SEG");  // a segment of an older, longer set
    EXPECT_FALSE(current());
    fs_.RemoveFile(out + "S_3.SEG");
    fs_.RemoveFile(out + "S_2.SEG");
    EXPECT_FALSE(current());
}

TEST(ProjectMemory, ABuildComesBackWithItsPresetOrAsATypedSize) {
    using project_memory::Restore;
    CPresetList presets;
    for (auto [name, size] : std::vector<std::pair<std::string, int32_t>>{
             {"Automatic", 0}, {"Type a size", -1}, {"New preset...", -2}, {"My 2 MB", 2000}, {"Mine", -1}})
        presets.Append(name, size, "");
    struct Case {
        ProjectBuild build;
        int index;
        bool typed;
        int32_t size;
        int notFirst;
    } cases[] = {
        {{true, 0, "Automatic", ""}, 0, false, 0, 0},
        {{false, 2000, "My 2 MB", ""}, 3, false, 2000, 1},
        {{false, 720, "Mine", ""}, 4, true, 720, 1},
        {{false, 1500, "My 2 MB", ""}, 1, true, 1500, 1},  // the preset means another size now
        {{false, 1500, "Gone", ""}, 1, true, 1500, 1},
        {{false, 300, "New preset...", ""}, 1, true, 300, 1},
    };
    for (const Case& c : cases) {
        RestoredPreset r = Restore(presets, c.build);
        EXPECT_EQ(r.index, c.index) << c.build.presetName;
        EXPECT_EQ(r.sizeTyped, c.typed) << c.build.presetName;
        EXPECT_EQ(r.sizeK, c.size) << c.build.presetName;
        EXPECT_EQ(r.notFirstPreset, c.notFirst) << c.build.presetName;
    }
    CPresetList none;
    EXPECT_EQ(Restore(none, {false, 900, "Gone", ""}).index, -1);
    EXPECT_EQ(Restore(none, {false, 900, "Gone", ""}).sizeK, 900);

    MemorySettings settings;
    ProjectBuild kept{false, 2000, "A|B name", "D:\\out\\"}, back;
    ASSERT_TRUE(project_memory::Remember(settings, "D:\\Out\\Set.spj", kept));
    ASSERT_TRUE(project_memory::Recall(settings, "d:\\out\\set.SPJ", back));
    EXPECT_EQ(std::tie(back.automatic, back.sizeK, back.presetName, back.destination),
              std::tie(kept.automatic, kept.sizeK, kept.presetName, kept.destination));
    EXPECT_FALSE(project_memory::Recall(settings, "D:\\other.spj", back));
    for (const char* junk : {"", "1|1|5", "2|0|5|D:\\|x", "1|0|-5|D:\\|x", "1|0|5x|D:\\|x", "1|2|5|D:\\|x"})
        EXPECT_FALSE(project_memory::Decode(junk, back)) << junk;
}

// A line longer than any listing line (a damaged or hostile file) is held only up to that
// length, names no source and is counted; the lines around it read as they are.
TEST_F(ProjectModel, ReaderCutsLinesLongerThanAListingLineCanBe) {
    const size_t most = listing_reader::kLongestLine;
    const std::string longest = "Z:\\" + std::string(most - 7, 'p') + " - 1";
    std::string body = longest + "\r\n" + longest + "q\r\n" + std::string(50 << 20, 'w') + "\nZ:\\after - 2\r\n" +
                       "$ tail" + std::string(most, 't');
    std::string spj = Put("Long.spj", body.c_str());
    std::vector<listing_reader::Line> lines;
    ASSERT_TRUE(listing_reader::ReadLines(fs_, spj, lines));
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[0].text, longest);
    EXPECT_TRUE(lines[0].entry && !lines[0].cut);
    for (size_t i : {1, 2, 4}) {
        EXPECT_TRUE(lines[i].cut && !lines[i].entry) << i;
        EXPECT_EQ(lines[i].text.size(), most) << i;
        EXPECT_LE(lines[i].text.capacity(), 2 * most) << i;
    }
    EXPECT_EQ(lines[3].path, "Z:\\after");
    CProjectListing project(fs_, spj);
    ASSERT_TRUE(project.Read());
    EXPECT_EQ(project.CutLines(), 3u);
}

// A printer's measure: 10 pixels a character.
size_t Fit(const std::string& text, int width) { return std::min(text.size(), static_cast<size_t>(width / 10)); }

TEST(PrintLayout, LinesAreCutAt598AndWrappedWithoutLosingACharacter) {
    std::vector<std::string> lines =
        print_layout::PrintLines("one\r\n" + std::string(598, 'a') + "\n" + std::string(600, 'b') + "\n\nlast");
    EXPECT_EQ(lines, (std::vector<std::string>{"one", std::string(598, 'a'), std::string(598, 'b'), "bb", "", "last"}));
    using print_layout::WrapLine;
    EXPECT_EQ(WrapLine("", 100, Fit), std::vector<std::string>{""});
    EXPECT_EQ(WrapLine("C:\\Artist - Song - 4096", 100, Fit), (std::vector<std::string>{"C:\\Artist ", "- Song - ", "4096"}));
    // A path without spaces is cut where the row is full.
    EXPECT_EQ(WrapLine("C:\\" + std::string(25, 'W') + " - 7", 100, Fit),
              (std::vector<std::string>{"C:\\WWWWWWW", "WWWWWWWWWW", "WWWWWWWW ", "- 7"}));
    EXPECT_EQ(WrapLine("abc", 5, Fit).size(), 3u);  // narrower than a character: one a row
}

TEST(PrintLayout, FramesHeaderAndPageBreaksFollowResolutionAndLineHeight) {
    print_layout::PageMetrics m{600, 4800, 6600, 50};
    print_layout::PageFrame f = print_layout::ComputeFrame(m);
    auto edges = [](const print_layout::Rect& r) { return std::vector<int>{r.left, r.top, r.right, r.bottom}; };
    EXPECT_EQ(edges(f.outer), (std::vector<int>{550, 350, 4250, 6300}));
    EXPECT_EQ(edges(f.inner), (std::vector<int>{575, 375, 4225, 6275}));
    EXPECT_EQ(edges(f.header), (std::vector<int>{600, 300, 4200, 350}));
    EXPECT_EQ((std::vector<int>{f.textLeft, f.textRight, f.firstTop}), (std::vector<int>{585, 4215, 400}));
    EXPECT_EQ(print_layout::HeaderText(1), "Zembra File Set Contents          Page   1");

    std::vector<std::string> lines;
    for (int i = 0; i < 300; ++i) lines.push_back(i % 50 == 7 ? std::string(900, 'w') : "line " + std::to_string(i));
    std::vector<print_layout::Page> pages = print_layout::Paginate(m, lines, Fit);
    ASSERT_EQ(pages.size(), 3u);
    size_t next = 0;
    for (const auto& page : pages) {
        EXPECT_EQ(page.number, static_cast<int>(&page - &pages[0]) + 1);
        int top = f.firstTop;
        for (const auto& placed : page.lines) {
            EXPECT_EQ(placed.line, next++);  // every line once, in order
            EXPECT_EQ(placed.rect.top, top);  // where the one before ended
            EXPECT_EQ(placed.rect.Height(), static_cast<int>(placed.rows.size()) * 50);
            EXPECT_LE(placed.rect.bottom, f.inner.bottom);
            top = placed.rect.bottom;
        }
        // A page ends only when the next line would start below the mark or cross the frame.
        if (&page != &pages.back()) {
            int nextRows = static_cast<int>(print_layout::WrapLine(lines[next], 3630, Fit).size());
            EXPECT_TRUE(top > f.breakBelow || top + 50 * nextRows > f.inner.bottom);
        }
    }
    EXPECT_EQ(next, lines.size());
    EXPECT_EQ(pages[0].lines[7].rows.size(), 3u);  // the long line wrapped and pushed the next down
    EXPECT_EQ(print_layout::Paginate({300, 2400, 3300, 25}, {}, Fit).size(), 1u);  // an empty listing: one page
    // Pages go to the printer as they are laid out; one it refuses ends the printing there.
    int handed = 0;
    print_layout::Paginator refusing(m, Fit, [&handed](const print_layout::Page&) { return ++handed < 2; });
    bool placed = true;
    for (const std::string& line : lines) placed = placed && refusing.AddListingLine(line);
    EXPECT_FALSE(placed || refusing.Finish());
    EXPECT_EQ(handed, 2);
}

}  // namespace
