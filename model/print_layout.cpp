// Frames, header and line placement of the printed listing.
#include "model/print_layout.h"

#include "platform/text_format.h"

namespace print_layout {

namespace {

// A long line goes on in pieces; an empty line stays one (empty) printed line.
template <typename Take>
bool EachPiece(const std::string& line, Take take) {
    size_t at = 0;
    do {
        if (!take(line.substr(at, kMaxLineChars))) return false;
        at += kMaxLineChars;
    } while (at < line.size());
    return true;
}

}  // namespace

PageFrame ComputeFrame(const PageMetrics& m) {
    const int x = m.dpiX, l = m.lineHeight;
    PageFrame f;
    f.outer = Rect{x - l, x / 2 + l, m.width - x + l, m.height - x / 2};
    f.inner = Rect{f.outer.left + l / 2, f.outer.top + l / 2, f.outer.right - l / 2, f.outer.bottom - l / 2};
    f.header = Rect{x, x / 2, m.width - x, x / 2 + l};
    f.textLeft = f.inner.left + kTextInset;
    f.textRight = f.inner.right - kTextInset;
    f.firstTop = f.inner.top + kTextTopGap;
    f.breakBelow = f.inner.bottom - kBottomGap;
    return f;
}

std::string HeaderText(int page) { return FormatText("Zembra File Set Contents          Page %3d", page); }

std::vector<std::string> PrintLines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t lf = text.find('\n', start);
        size_t end = lf == std::string::npos ? text.size() : lf;
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r' && lf != std::string::npos) line.pop_back();
        EachPiece(line, [&lines](std::string piece) {
            lines.push_back(std::move(piece));
            return true;
        });
        start = lf == std::string::npos ? text.size() : lf + 1;
    }
    return lines;
}

std::vector<std::string> WrapLine(const std::string& line, int width, const FitChars& fit) {
    std::vector<std::string> rows;
    size_t at = 0;
    while (at < line.size()) {
        std::string rest = line.substr(at);
        size_t n = fit(rest, width);
        if (n >= rest.size()) {
            rows.push_back(rest);
            break;
        }
        if (n == 0) n = 1;
        // Break after the last space that fits, keeping the space on this row; a word longer
        // than the row is cut where the row is full.
        size_t space = rest.rfind(' ', n - 1);
        if (space != std::string::npos && space > 0) n = space + 1;
        while (n < rest.size() && rest[n] == ' ') ++n;  // spaces never start a row
        rows.push_back(rest.substr(0, n));
        at += n;
    }
    if (rows.empty()) rows.push_back(std::string());
    return rows;
}

std::vector<Page> Paginate(const PageMetrics& metrics, const std::vector<std::string>& lines,
                           const FitChars& fit) {
    std::vector<Page> pages;
    Paginator paginator(metrics, fit, [&pages](const Page& page) {
        pages.push_back(page);
        return true;
    });
    for (const std::string& line : lines) paginator.Place(line);
    paginator.Finish();
    return pages;
}

Paginator::Paginator(const PageMetrics& metrics, FitChars fit, PageDone pageDone)
    : metrics_(metrics), frame_(ComputeFrame(metrics)), fit_(std::move(fit)), pageDone_(std::move(pageDone)) {
    page_.number = 1;
    top_ = frame_.firstTop;
}

bool Paginator::AddListingLine(const std::string& line) {
    return EachPiece(line, [this](const std::string& piece) { return Place(piece); });
}

bool Paginator::Place(const std::string& line) {
    if (refused_) return false;
    // An empty line still takes a line's height, so blank lines keep their place.
    std::vector<std::string> rows = WrapLine(line, frame_.textRight - frame_.textLeft, fit_);
    int height = static_cast<int>(rows.size()) * metrics_.lineHeight;
    if (!page_.lines.empty() && (top_ > frame_.breakBelow || top_ + height > frame_.inner.bottom)) {
        if (!pageDone_(page_)) {
            refused_ = true;
            return false;
        }
        const int next = page_.number + 1;
        page_ = Page();
        page_.number = next;
        top_ = frame_.firstTop;
    }
    page_.lines.push_back(
        PlacedLine{placed_++, Rect{frame_.textLeft, top_, frame_.textRight, top_ + height}, std::move(rows)});
    top_ += height;
    return true;
}

bool Paginator::Finish() {
    if (refused_) return false;
    refused_ = !pageDone_(page_);
    return !refused_;
}

}  // namespace print_layout
