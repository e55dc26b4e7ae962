// Printing of the contents listing under Wine: the drawing on a memory device context, and a real
// print job to the default printer when the tests' CUPS server is up (ZEMBRA_PRINT_CHECK).
#include <gtest/gtest.h>
#include <windows.h>
#include <winspool.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/contents_printer.h"

namespace {

// A listing of several pages: numbered lines, a path far too long for one printed line, and a
// name with '&' that must print as written.
std::string LongListing() {
    std::string text = "$ =====Files in Long_1.EXE=======\r\n";
    for (int i = 1; i <= 400; ++i) {
        if (i == 60) text += "C:\\" + std::string(240, 'W') + "\\end_of_wrapped.txt - 1\r\n";
        text += "C:\\data\\Tom & Jerry\\line" + std::to_string(i) + ".txt - " + std::to_string(i * 10) + "\r\n";
    }
    return text + "$  \r\n$  \r\n$ 401 files included in this Split Set \r\n$  ";
}

class MemoryPage : public ::testing::Test {
protected:
    void SetUp() override {
        screen_ = ::GetDC(nullptr);
        dc_ = ::CreateCompatibleDC(screen_);
        width_ = ::GetDeviceCaps(dc_, HORZRES);
        height_ = ::GetDeviceCaps(dc_, VERTRES);
        BITMAPINFO bi{};
        bi.bmiHeader.biSize = sizeof bi.bmiHeader;
        bi.bmiHeader.biWidth = width_;
        bi.bmiHeader.biHeight = -height_;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        bitmap_ = ::CreateDIBSection(dc_, &bi, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), nullptr, 0);
        ASSERT_NE(bitmap_, nullptr);
        old_ = ::SelectObject(dc_, bitmap_);
        RECT all{0, 0, width_, height_};
        ::FillRect(dc_, &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
        ::SelectObject(dc_, ::GetStockObject(DEVICE_DEFAULT_FONT));
        ::SetBkMode(dc_, TRANSPARENT);
    }
    void TearDown() override {
        ::SelectObject(dc_, old_);
        ::DeleteObject(bitmap_);
        ::DeleteDC(dc_);
        ::ReleaseDC(nullptr, screen_);
    }
    bool Dark(int x, int y) const { return (bits_[y * width_ + x] & 0xFFFFFF) != 0xFFFFFF; }
    // Dark pixels inside [left, right) x [top, bottom).
    int DarkIn(int left, int top, int right, int bottom) const {
        int n = 0;
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x) n += Dark(x, y);
        return n;
    }
    HDC screen_ = nullptr, dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ old_ = nullptr;
    uint32_t* bits_ = nullptr;
    int width_ = 0, height_ = 0;
};

TEST_F(MemoryPage, DrawsFramesHeaderAndWrappedLinesWhereTheLayoutPutsThem) {
    std::vector<std::string> lines = print_layout::PrintLines(LongListing());
    std::vector<print_layout::Page> pages = CContentsPrinter::Layout(dc_, lines);
    ASSERT_GE(pages.size(), 2u);
    print_layout::PageMetrics m = CContentsPrinter::MetricsOf(dc_);
    print_layout::PageFrame f = print_layout::ComputeFrame(m);

    // The long path wraps in the text width instead of running past the frame.
    size_t wrappedLine = 0;
    const print_layout::PlacedLine* wrapped = nullptr;
    for (const auto& page : pages)
        for (const auto& placed : page.lines)
            if (lines[placed.line].find("WWWW") != std::string::npos) wrapped = &placed, wrappedLine = placed.line;
    ASSERT_NE(wrapped, nullptr);
    EXPECT_GE(wrapped->rect.Height(), 2 * m.lineHeight) << lines[wrappedLine];

    HBRUSH black = ::CreateSolidBrush(RGB(0, 0, 0));
    CContentsPrinter::DrawPage(dc_, pages[0], black);
    ::DeleteObject(black);
    // Both frames: their corners and the middle of their edges are black, the gap between is not.
    for (const print_layout::Rect& r : {f.outer, f.inner}) {
        EXPECT_TRUE(Dark(r.left, r.top) && Dark(r.right - 1, r.bottom - 1));
        EXPECT_TRUE(Dark((r.left + r.right) / 2, r.top) && Dark(r.left, (r.top + r.bottom) / 2));
    }
    EXPECT_FALSE(Dark(f.outer.left + m.lineHeight / 4, (f.outer.top + f.outer.bottom) / 2));
    // Header text inside its rectangle, centred: ink on both sides of the middle.
    int mid = (f.header.left + f.header.right) / 2;
    EXPECT_GT(DarkIn(f.header.left, f.header.top, mid, f.header.bottom), 0);
    EXPECT_GT(DarkIn(mid, f.header.top, f.header.right, f.header.bottom), 0);
    // Every placed line left ink in its own rectangle; nothing is drawn below the last line.
    for (const auto& placed : pages[0].lines)
        EXPECT_GT(DarkIn(placed.rect.left, placed.rect.top, placed.rect.right, placed.rect.bottom), 0) << placed.line;
    int lastBottom = pages[0].lines.back().rect.bottom;
    EXPECT_EQ(DarkIn(f.textLeft, lastBottom + 1, f.textRight, f.inner.bottom - 1), 0);
}

// A real job: the listing printed on the default printer. The tests' CUPS-PDF printer turns it
// into a PDF that the check after this test reads.
TEST(RealPrinter, PrintsAListingOfSeveralPages) {
    const char* server = std::getenv("ZEMBRA_PRINT_CHECK");
    if (!server) GTEST_SKIP() << "no test printer server";
    // The check that reads the PDF back compares it with the listing as printed.
    std::string text = LongListing();
    std::string copy = std::string("Z:") + server + "\\printed_listing.txt";
    for (char& c : copy)
        if (c == '/') c = '\\';
    FILE* out = std::fopen(copy.c_str(), "wb");
    ASSERT_NE(out, nullptr) << copy;
    std::fwrite(text.data(), 1, text.size(), out);
    std::fclose(out);
    char name[256];
    DWORD size = sizeof name;
    ASSERT_TRUE(::GetDefaultPrinterA(name, &size)) << "no default printer";
    HDC dc = ::CreateDCA(nullptr, name, nullptr, nullptr);
    ASSERT_NE(dc, nullptr) << name;
    ::SelectObject(dc, ::GetStockObject(DEVICE_DEFAULT_FONT));
    DOCINFOA doc{};
    doc.cbSize = sizeof doc;
    doc.lpszDocName = "Zembra";
    ASSERT_GT(::StartDocA(dc, &doc), 0);
    EXPECT_GE(CContentsPrinter::Layout(dc, print_layout::PrintLines(text)).size(), 2u);
    ASSERT_TRUE(CContentsPrinter::PrintPages(dc, &text));
    EXPECT_GT(::EndDoc(dc), 0);
    ::DeleteDC(dc);
}

}  // namespace
