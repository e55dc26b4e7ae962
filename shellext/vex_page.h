// The "VEX Color" property page: chooses which of the library's icons a file shows.
#pragma once

#include <windows.h>
#include <prsht.h>

// Release callback of the page: drops the page's reference to its CShellExt.
UINT CALLBACK VEXPageCallback(HWND window, UINT message, LPPROPSHEETPAGEA page);
// Dialog procedure of the page (template IDD_VEX_PAGE, radio buttons for icon indexes 0 to 2).
INT_PTR CALLBACK VEXPageDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
