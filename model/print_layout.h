// Page layout of the printed contents listing, in printer pixels, as a pure function of the
// printer's resolution, page size and line height. The printing code draws what this places.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace print_layout {

// Longest piece of a listing line printed as one line (longer lines continue on the next).
constexpr size_t kMaxLineChars = 598;
// Gaps between the inner frame and the text, in pixels.
constexpr int kTextInset = 10;
constexpr int kTextTopGap = 25;
constexpr int kBottomGap = 25;

struct Rect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
};

struct PageMetrics {
    int dpiX = 0;        // horizontal resolution: the margins are measured in it, vertically too
    int width = 0;       // printable page width
    int height = 0;      // printable page height
    int lineHeight = 0;  // character height + external leading of the printer's font
};

// What every page carries, and where its text goes.
struct PageFrame {
    Rect outer, inner, header;
    int textLeft = 0, textRight = 0, firstTop = 0;
    int breakBelow = 0;  // a line whose predecessor ends below this starts the next page
};

struct PlacedLine {
    size_t line = 0;                // index into the printed lines
    Rect rect;                      // where it is drawn
    std::vector<std::string> rows;  // the line wrapped to the text width, one row per line height
};

struct Page {
    int number = 0;
    std::vector<PlacedLine> lines;
};

PageFrame ComputeFrame(const PageMetrics& metrics);
// "Zembra File Set Contents          Page %3d"
std::string HeaderText(int page);
// The listing's text as printed lines: split at line feeds (one LF and the CR before it
// removed), pieces of at most kMaxLineChars. A final line without a line feed is kept.
std::vector<std::string> PrintLines(const std::string& text);
// How many characters from the start of text fit in width (the printer's measurement).
using FitChars = std::function<size_t(const std::string& text, int width)>;
// A line wrapped to width: each row ends after the last space that fits, or is cut inside a
// word too long for the width; at least one character a row. The rows joined give the line.
std::vector<std::string> WrapLine(const std::string& line, int width, const FitChars& fit);
// Places every line exactly once, page after page. A line starts a new page when the line before
// it ends below the frame's break mark, or when it would cross the inner frame and is not the
// first of its page. No lines: one page with its frames and header only.
std::vector<Page> Paginate(const PageMetrics& metrics, const std::vector<std::string>& lines,
                           const FitChars& fit);

// The same placement made as the lines come, so a listing is printed without being held: each
// page is handed to pageDone as soon as the next line starts a new one (pageDone returns false to
// stop: the printer refused the page).
class Paginator {
public:
    using PageDone = std::function<bool(const Page&)>;
    Paginator(const PageMetrics& metrics, FitChars fit, PageDone pageDone);
    // A listing line: cut into pieces of at most kMaxLineChars, each placed as a printed line.
    bool AddListingLine(const std::string& line);
    // One printed line. False once pageDone has refused a page.
    bool Place(const std::string& line);
    // Hands over the last page; false when pageDone refused it or an earlier one.
    bool Finish();

private:
    PageMetrics metrics_;
    PageFrame frame_;
    FitChars fit_;
    PageDone pageDone_;
    Page page_;
    int top_ = 0;
    size_t placed_ = 0;
    bool refused_ = false;
};

}  // namespace print_layout
