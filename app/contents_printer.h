// CContentsPrinter: prints the split set's contents listing on framed pages with a numbered
// header, through the system's print dialog, straight to the printer (no preview).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "platform/file_system.h"
#include "platform/prompts.h"
#include "model/print_layout.h"

class CContentsPrinter {
public:
    // Asks for a printer over owner and prints the file at listingPath. Cancel prints nothing
    // and says nothing; a listing that cannot be read (asked before the dialog) or a document
    // the printer refuses is told through prompts.
    static void Print(HWND owner, IFileSystem& fs, const std::string& listingPath, IPrompts& prompts);

    // The page and the text's measure on dc with the device's font selected.
    static print_layout::PageMetrics MetricsOf(HDC dc);
    static print_layout::FitChars FitOn(HDC dc);
    // Draws one page's frames, header and lines (no StartPage/EndPage).
    static void DrawPage(HDC dc, const print_layout::Page& page, HBRUSH frameBrush);
    // Frames, header and lines of every page between StartPage and EndPage, each page printed as
    // soon as it is laid out while the listing is read, so the listing is never held whole.
    // False when a page could not be started or ended, or (unreadable set) the listing could not
    // be read to its end: the caller aborts the document.
    static bool PrintPages(HDC dc, IFileSystem& fs, const std::string& listingPath, bool& unreadable);
};
