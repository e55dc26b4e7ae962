// New's numbering, Save As trimming, the listing reader and the print layout, on real files.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "fakes/forwarding_file_system.h"
#include "fakes/test_files.h"
#include "view/model/listing_reader.h"
#include "view/model/print_layout.h"
#include "view/model/project_names.h"

namespace {

class ProjectModel : public ::testing::Test {
protected:
    void SetUp() override {
        host_ = MakeScratchFolder("zb_project_");
        ASSERT_FALSE(host_.empty());
        win_ = posix_drives::ToWindows(host_);
    }
    void TearDown() override { RemoveTree(fs_, win_); }
    // A file by its name in the scratch folder; returns its Windows path.
    // Names use '/' between levels; the Windows path comes back.
    std::string Put(const std::string& name, const std::string& bytes = "x") {
        WriteWholeFile(host_ + "/" + name, bytes);
        return Win(name);
    }
    std::string Dir(const std::string& name) {
        fs_.MakeFolder(Win(name));
        return Win(name);
    }
    std::string Win(std::string name) const {
        for (char& c : name)
            if (c == '/') c = '\\';
        return win_ + "\\" + name;
    }
    IFileSystem& fs_ = SystemFileSystem();
    std::string host_, win_;
};

TEST_F(ProjectModel, NewCountsOnFromTheTrailingDigits) {
    using project_names::NextSetName;
    Put("Backup8.spj");
    Put("Backup9.spj");
    // The folder is taken without its backslash: one is added before names are looked for.
    EXPECT_EQ(NextSetName(fs_, win_, "Backup7"), "Backup10");
    EXPECT_EQ(NextSetName(fs_, win_ + "\\", "Data"), "Data1");
    Put("1.spj");
    EXPECT_EQ(NextSetName(fs_, win_, ""), "2");
    EXPECT_EQ(NextSetName(fs_, win_, "42"), "43");
    EXPECT_EQ(NextSetName(fs_, win_, "Set498"), "Set499");
    EXPECT_EQ(NextSetName(fs_, win_, "Set499"), "Untitled");
    EXPECT_EQ(NextSetName(fs_, win_, "Set99999999999999999999"), "Untitled");
}

TEST_F(ProjectModel, NewGivesUntitledWhenEveryNumberIsTaken) {
    for (int k = 1; k < 500; ++k) Put("Full" + std::to_string(k) + ".spj");
    EXPECT_EQ(project_names::NextSetName(fs_, win_, "Full"), "Untitled");
}

TEST(ProjectNames, SaveAsTrimsBothEnds) {
    using project_names::TrimSpaces;
    EXPECT_EQ(TrimSpaces("  My Set  "), "My Set");
    EXPECT_EQ(TrimSpaces(" \t "), "");
    EXPECT_EQ(TrimSpaces(""), "");
    EXPECT_EQ(project_names::WithBackslash("C:\\w"), "C:\\w\\");
    EXPECT_EQ(project_names::WithBackslash(""), "");
}

TEST(ListingReader, PathIsTheTextBeforeTheLastSeparator) {
    using listing_reader::SourcePath;
    EXPECT_EQ(SourcePath("C:\\Music\\Artist - Song.mp3 - 4096"), "C:\\Music\\Artist - Song.mp3");
    EXPECT_EQ(SourcePath("C:\\a.txt - -1294967296"), "C:\\a.txt");
    EXPECT_EQ(SourcePath("C:\\no size"), "C:\\no size");
}

TEST_F(ProjectModel, ReaderRestoresFolderSourcesInListingOrder) {
    std::string song = Put("Artist - Song.mp3", "12345");
    std::string album = Dir("Album");
    std::string inner = Put("Album/inner.txt", "abc");
    std::string deep = Dir("Album/Disc - 2");
    std::string deeper = Put("Album/Disc - 2/track.wav", "abcd");
    std::string loose = Put("inner.txt", "zz");
    std::string longName(200, 'n');
    std::string longPath = Put(longName + " - x.doc", "q");
    std::string listing =
        "$ =====Files in Set_1.EXE=======\r\n" + song + " - 5\r\n" + album + " - 0\r\n" + inner + " - 3\r\n" +
        deep + " - 0\r\n" + deeper + " - 4\r\n" + "$ =====Files in Set_2.SEG=======\r\n$ cont.. " + deeper +
        "\r\n" + loose + " - 2\r\n" + longPath + " - 1\r\n$  \r\n$  \r\n$ 5 files included in this Split Set \r\n$  ";
    std::string spj = Put("Set.spj", listing);

    std::vector<listing_reader::Line> lines;
    ASSERT_TRUE(listing_reader::ReadLines(fs_, spj, lines));
    ASSERT_EQ(lines.size(), 14u);
    EXPECT_EQ(lines.back().text, "$  ");  // the summary's last line has no line end
    EXPECT_EQ(listing_reader::FirstMissingSource(fs_, lines), "");
    // The folder comes back as one source; a same-named file outside it stays a source of its own.
    EXPECT_EQ(listing_reader::Sources(fs_, lines), (std::vector<std::string>{song, album, loose, longPath}));
    std::string contents = listing_reader::ContentsText(lines);
    EXPECT_EQ(contents.substr(0, 36), "$ =====Files in Set_1.EXE=======\r\n" + song.substr(0, 2));
    EXPECT_EQ(contents.size() - listing.size(), 2u);  // every line ends in CR LF, the last one too

    fs_.RemoveFile(deeper);
    EXPECT_EQ(listing_reader::FirstMissingSource(fs_, lines), deeper);

    std::string folder, name;
    listing_reader::SplitProjectPath(spj, folder, name);
    EXPECT_EQ(folder, win_ + "\\");
    EXPECT_EQ(name, "Set");
}

TEST_F(ProjectModel, DriveRootSourceHoldsEverythingOnTheDrive) {
    std::string a = Put("a.txt");
    std::vector<listing_reader::Line> lines{{"Z:\\ - 0", true, "Z:\\"}, {a + " - 1", true, a}};
    EXPECT_EQ(listing_reader::Sources(fs_, lines), std::vector<std::string>{"Z:\\"});
}

// Opens only for reading and says the file is shorter than it is, as a listing on a CD that
// another program appends to between the size check and the read.
class ReadOnlyShrinkingFs : public ForwardingFileSystem {
public:
    using ForwardingFileSystem::ForwardingFileSystem;
    std::unique_ptr<IFile> Open(const std::string& p, OpenMode m, Share s) override {
        if (m != OpenMode::Read) return nullptr;
        struct Short : ForwardingFile {
            using ForwardingFile::ForwardingFile;
            uint64_t Length() override { return 10; }
        };
        auto real = real_.Open(p, m, s);
        return real ? std::make_unique<Short>(std::move(real)) : nullptr;
    }
};

TEST_F(ProjectModel, ReaderTakesAReadOnlyListingOfAnySize) {
    std::string body;
    std::string longLine(70000, 'L');  // longer than a read piece and any fixed line buffer
    body += longLine + " - 1\r\n";
    for (int i = 0; i < 20000; ++i) body += "Z:\\f" + std::to_string(i) + " - " + std::to_string(i) + "\r\n";
    std::string spj = Put("Big.spj", body + "$  ");
    ReadOnlyShrinkingFs fs(fs_);
    std::vector<listing_reader::Line> lines;
    ASSERT_TRUE(listing_reader::ReadLines(fs, spj, lines));
    ASSERT_EQ(lines.size(), 20002u);
    EXPECT_EQ(lines[0].path, longLine);
    EXPECT_EQ(lines[20000].path, "Z:\\f19999");
    EXPECT_FALSE(listing_reader::ReadLines(fs, win_ + "\\none.spj", lines));
}

// A printer's measure: 10 pixels a character.
size_t Fit(const std::string& text, int width) { return std::min(text.size(), static_cast<size_t>(width / 10)); }
int Rows(const std::string& line, int width) {
    return static_cast<int>(print_layout::WrapLine(line, width, Fit).size()) * 50;
}

TEST(PrintLayout, WrapBreaksAtSpacesCutsLongWordsAndLosesNothing) {
    using print_layout::WrapLine;
    EXPECT_EQ(WrapLine("", 100, Fit), std::vector<std::string>{""});
    EXPECT_EQ(WrapLine("short - 1", 100, Fit), std::vector<std::string>{"short - 1"});
    EXPECT_EQ(WrapLine("C:\\Artist - Song - 4096", 100, Fit),
              (std::vector<std::string>{"C:\\Artist ", "- Song - ", "4096"}));
    std::string path = "C:\\" + std::string(25, 'W') + " - 7";
    std::vector<std::string> rows = WrapLine(path, 100, Fit);
    EXPECT_EQ(rows, (std::vector<std::string>{"C:\\WWWWWWW", "WWWWWWWWWW", "WWWWWWWW ", "- 7"}));
    std::string joined;
    for (const std::string& r : rows) joined += r;
    EXPECT_EQ(joined, path);
    // A width narrower than one character still moves on, one character a row.
    EXPECT_EQ(WrapLine("abc", 5, Fit).size(), 3u);
}

TEST(PrintLayout, FramesAndHeaderFollowResolutionAndLineHeight) {
    print_layout::PageMetrics m{600, 4800, 6600, 50};
    print_layout::PageFrame f = print_layout::ComputeFrame(m);
    EXPECT_EQ((std::vector<int>{f.outer.left, f.outer.top, f.outer.right, f.outer.bottom}),
              (std::vector<int>{550, 350, 4250, 6300}));
    EXPECT_EQ((std::vector<int>{f.inner.left, f.inner.top, f.inner.right, f.inner.bottom}),
              (std::vector<int>{575, 375, 4225, 6275}));
    EXPECT_EQ((std::vector<int>{f.header.left, f.header.top, f.header.right, f.header.bottom}),
              (std::vector<int>{600, 300, 4200, 350}));
    EXPECT_EQ(f.textLeft, 585);
    EXPECT_EQ(f.textRight, 4215);
    EXPECT_EQ(f.firstTop, 400);
    EXPECT_EQ(print_layout::HeaderText(1), "Zembra File Set Contents          Page   1");
    EXPECT_EQ(print_layout::HeaderText(123), "Zembra File Set Contents          Page 123");
}

TEST(PrintLayout, PrintLinesCutAt598AndKeepAFinalLineWithoutLineFeed) {
    std::string text = "one\r\n" + std::string(598, 'a') + "\n" + std::string(600, 'b') + "\n\nlast";
    std::vector<std::string> lines = print_layout::PrintLines(text);
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[0], "one");
    EXPECT_EQ(lines[1].size(), 598u);
    EXPECT_EQ(lines[2].size(), 598u);
    EXPECT_EQ(lines[3], "bb");
    EXPECT_EQ(lines[4], "");
    EXPECT_EQ(lines[5], "last");
}

TEST(PrintLayout, EveryLineIsPlacedOnceAndPagesBreakBeforeTheFrame) {
    print_layout::PageMetrics m{600, 4800, 6600, 50};
    print_layout::PageFrame f = print_layout::ComputeFrame(m);
    std::vector<std::string> lines;
    for (int i = 0; i < 300; ++i) lines.push_back(i % 50 == 7 ? std::string(900, 'w') : "line " + std::to_string(i));
    std::vector<print_layout::Page> pages = print_layout::Paginate(m, lines, Fit);
    ASSERT_GE(pages.size(), 3u);
    size_t next = 0;
    for (const auto& page : pages) {
        EXPECT_EQ(page.number, static_cast<int>(&page - &pages[0]) + 1);
        ASSERT_FALSE(page.lines.empty());
        EXPECT_EQ(page.lines.front().rect.top, f.firstTop);
        int top = f.firstTop;
        for (const auto& placed : page.lines) {
            EXPECT_EQ(placed.line, next++);
            EXPECT_EQ(placed.rect.top, top);  // each line starts where the one before ended
            EXPECT_EQ(placed.rect.left, f.textLeft);
            EXPECT_LE(placed.rect.bottom, f.inner.bottom);
            top = placed.rect.bottom;
        }
        // The page was full: the next line would have crossed the break mark or the frame.
        if (&page != &pages.back()) {
            int nextHeight = Rows(lines[next], f.textRight - f.textLeft);
            EXPECT_TRUE(top > f.breakBelow || top + nextHeight > f.inner.bottom);
        }
    }
    EXPECT_EQ(next, lines.size());
    // The long line wrapped to three rows and pushed the next one down.
    const auto& wrapped = pages[0].lines[7];
    EXPECT_EQ(wrapped.rect.Height(), 150);
    EXPECT_EQ(pages[0].lines[8].rect.top, wrapped.rect.bottom);
}

TEST(PrintLayout, EmptyListingPrintsOneFramedPage) {
    std::vector<print_layout::Page> pages = print_layout::Paginate({300, 2400, 3300, 25}, {}, Fit);
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_TRUE(pages[0].lines.empty());
}

}  // namespace
