// Frames, header and line placement of the printed listing.
#include "model/print_layout.h"

#include "platform/text_format.h"

namespace print_layout {

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
        // A long line goes on in pieces; an empty line stays one (empty) printed line.
        size_t at = 0;
        do {
            lines.push_back(line.substr(at, kMaxLineChars));
            at += kMaxLineChars;
        } while (at < line.size());
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
    const PageFrame f = ComputeFrame(metrics);
    const int width = f.textRight - f.textLeft;
    std::vector<Page> pages(1);
    pages.back().number = 1;
    int top = f.firstTop;
    for (size_t i = 0; i < lines.size(); ++i) {
        // An empty line still takes a line's height, so blank lines keep their place.
        std::vector<std::string> rows = WrapLine(lines[i], width, fit);
        int height = static_cast<int>(rows.size()) * metrics.lineHeight;
        bool first = pages.back().lines.empty();
        if (!first && (top > f.breakBelow || top + height > f.inner.bottom)) {
            pages.emplace_back();
            pages.back().number = static_cast<int>(pages.size());
            top = f.firstTop;
        }
        pages.back().lines.push_back(PlacedLine{i, Rect{f.textLeft, top, f.textRight, top + height}, std::move(rows)});
        top += height;
    }
    return pages;
}

}  // namespace print_layout
