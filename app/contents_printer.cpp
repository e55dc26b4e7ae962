// Printing of the contents listing: system dialog, document, one pass of framed pages.
#include "app/contents_printer.h"

#include <commdlg.h>

#include "model/listing_reader.h"
#include "winui/app.h"

namespace {

constexpr char kUnreadable[] = "The contents listing could not be read. Nothing was printed.";
constexpr char kRefused[] = "The printer did not take the listing. It was not printed whole.";

RECT ToRect(const print_layout::Rect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }

}  // namespace

print_layout::PageMetrics CContentsPrinter::MetricsOf(HDC dc) {
    TEXTMETRICA tm{};
    ::GetTextMetricsA(dc, &tm);
    print_layout::PageMetrics m;
    m.dpiX = ::GetDeviceCaps(dc, LOGPIXELSX);
    m.width = ::GetDeviceCaps(dc, HORZRES);
    m.height = ::GetDeviceCaps(dc, VERTRES);
    m.lineHeight = tm.tmHeight + tm.tmExternalLeading;
    return m;
}

print_layout::FitChars CContentsPrinter::FitOn(HDC dc) {
    // The rows are cut here, not by the system's word wrap, so a path without spaces wraps too
    // and no character is lost at a break.
    return [dc](const std::string& text, int width) {
        INT fit = 0;
        SIZE extent{};
        if (!::GetTextExtentExPointA(dc, text.c_str(), static_cast<int>(text.size()), width, &fit, nullptr, &extent))
            return text.size();
        return static_cast<size_t>(fit);
    };
}

void CContentsPrinter::DrawPage(HDC dc, const print_layout::Page& page, HBRUSH frameBrush) {
    const print_layout::PageFrame f = print_layout::ComputeFrame(MetricsOf(dc));
    RECT outer = ToRect(f.outer), inner = ToRect(f.inner), header = ToRect(f.header);
    ::FrameRect(dc, &outer, frameBrush);
    ::FrameRect(dc, &inner, frameBrush);
    std::string title = print_layout::HeaderText(page.number);
    ::DrawTextA(dc, title.c_str(), static_cast<int>(title.size()), &header, DT_CENTER | DT_NOPREFIX);
    const int lineHeight = MetricsOf(dc).lineHeight;
    ::SetTextAlign(dc, TA_LEFT | TA_TOP | TA_NOUPDATECP);
    for (const print_layout::PlacedLine& placed : page.lines) {
        int top = placed.rect.top;
        // Text as written: no prefix or tab processing ('&' in a name stays).
        for (const std::string& row : placed.rows) {
            ::TextOutA(dc, placed.rect.left, top, row.c_str(), static_cast<int>(row.size()));
            top += lineHeight;
        }
    }
}

bool CContentsPrinter::PrintPages(HDC dc, IFileSystem& fs, const std::string& listingPath, bool& unreadable) {
    ::SetBkMode(dc, TRANSPARENT);
    HBRUSH black = ::CreateSolidBrush(RGB(0, 0, 0));
    print_layout::Paginator pages(MetricsOf(dc), FitOn(dc), [dc, black](const print_layout::Page& page) {
        if (::StartPage(dc) <= 0) return false;
        // Some drivers reset the device context at each page: the font and mode go back in.
        ::SelectObject(dc, ::GetStockObject(DEVICE_DEFAULT_FONT));
        ::SetBkMode(dc, TRANSPARENT);
        DrawPage(dc, page, black);
        if (::EndPage(dc) <= 0) return false;
        // The next page's lines are measured before it starts: in the font they are drawn in.
        ::SelectObject(dc, ::GetStockObject(DEVICE_DEFAULT_FONT));
        return true;
    });
    bool ok = true;
    unreadable = !listing_reader::ForEachLine(fs, listingPath, [&pages, &ok](const listing_reader::Line& line) {
        ok = pages.AddListingLine(line.text);
        return ok;
    });
    ok = ok && !unreadable && pages.Finish();
    ::DeleteObject(black);
    return ok;
}

void CContentsPrinter::Print(HWND owner, IFileSystem& fs, const std::string& listingPath, IPrompts& prompts) {
    // Opened first: a listing gone or unreadable must not end in an empty print job and silence.
    if (!fs.Open(listingPath, OpenMode::Read, Share::DenyNone)) {
        prompts.Message(listingPath + "\r\n" + fs.LastErrorText() + "\r\n" + kUnreadable);
        return;
    }
    PRINTDLGA pd{};
    pd.lStructSize = sizeof pd;
    pd.hwndOwner = winui::App::OwnerFor(owner);  // the viewer when it asked
    pd.Flags = PD_RETURNDC | PD_SELECTION | PD_NOPAGENUMS | PD_USEDEVMODECOPIESANDCOLLATE;
    BOOL chosen = ::PrintDlgA(&pd);
    if (pd.hDevMode) ::GlobalFree(pd.hDevMode);
    if (pd.hDevNames) ::GlobalFree(pd.hDevNames);
    if (!chosen || !pd.hDC) return;
    HDC dc = pd.hDC;
    ::SelectObject(dc, ::GetStockObject(DEVICE_DEFAULT_FONT));
    DOCINFOA doc{};
    doc.cbSize = sizeof doc;
    doc.lpszDocName = "Zembra";
    bool printed = ::StartDocA(dc, &doc) > 0, unreadable = false;
    if (printed) {
        printed = PrintPages(dc, fs, listingPath, unreadable);
        if (printed)
            printed = ::EndDoc(dc) > 0;
        else
            ::AbortDoc(dc);
    }
    ::DeleteDC(dc);
    // A listing that could not be read to its end is not printed in part: the document is dropped.
    if (unreadable)
        prompts.Message(listingPath + "\r\n" + fs.LastErrorText() + "\r\n" + kUnreadable);
    else if (!printed)
        prompts.Message(kRefused);
}
