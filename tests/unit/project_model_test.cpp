// New's numbering, Save As trimming, the listing read back as a project, and the print layout.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "fakes/forwarding_file_system.h"
#include "fakes/test_files.h"
#include "model/listing_reader.h"
#include "model/print_layout.h"
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
    EXPECT_EQ(listing_reader::FirstMissingSource(fs_, lines), "");
    // The folder is one source again; a same-named file outside it stays a source of its own.
    EXPECT_EQ(listing_reader::Sources(fs_, lines), (std::vector<std::string>{song, album, loose, longPath}));
    EXPECT_EQ(listing_reader::ContentsText(lines), listing + "\r\n");
    fs_.RemoveFile(track);
    EXPECT_EQ(listing_reader::FirstMissingSource(fs_, lines), track);

    std::string folder, name;
    listing_reader::SplitProjectPath(spj, folder, name);
    EXPECT_EQ(folder + name, win_ + "\\Set");
    std::vector<listing_reader::Line> root{{"Z:\\ - 0", true, "Z:\\"}, {song + " - 1", true, song}};
    EXPECT_EQ(listing_reader::Sources(fs_, root), std::vector<std::string>{"Z:\\"});
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
    std::string body = std::string(70000, 'L') + " - 1\r\n";  // longer than any read piece
    for (int i = 0; i < 20000; ++i) body += "Z:\\f" + std::to_string(i) + " - " + std::to_string(i) + "\r\n";
    std::string spj = Put("Big.spj", body.c_str());
    ReadOnlyShrinkingFs fs(fs_);
    std::vector<listing_reader::Line> lines;
    ASSERT_TRUE(listing_reader::ReadLines(fs, spj, lines));
    ASSERT_EQ(lines.size(), 20001u);
    EXPECT_EQ(lines[0].path.size(), 70000u);
    EXPECT_EQ(lines[20000].path, "Z:\\f19999");
    EXPECT_FALSE(listing_reader::ReadLines(fs, win_ + "\\none.spj", lines));

    // A path that holds a zero byte is missing, not the drive the text before it names.
    WriteWholeFile(host_ + "/Junk.spj", std::string("Z:\\\0junk - 5\r\n", 14));
    ASSERT_TRUE(listing_reader::ReadLines(fs, win_ + "\\Junk.spj", lines));
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NE(listing_reader::FirstMissingSource(fs, lines), "");
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
}

}  // namespace
