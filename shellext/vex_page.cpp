// The "VEX Color" page: reads and writes "[IconImage] Index" of the selected file.
#include "shellext/vex_page.h"

#include <shlobj.h>

#include <cstdio>

#include "resources/varlo_res.h"
#include "shellext/shell_ext.h"

namespace {

CShellExt* PageObject(HWND dialog) {
    return reinterpret_cast<CShellExt*>(GetWindowLongPtrA(dialog, DWLP_USER));
}

// The button the user clicked on this page (0 until one is), kept with the dialog so that
// several open pages do not share it.
int RememberedButton(HWND dialog) {
    return static_cast<int>(GetWindowLongPtrA(dialog, GWLP_USERDATA));
}

void OnInit(HWND dialog, const PROPSHEETPAGEA* page) {
    CShellExt* ext = reinterpret_cast<CShellExt*>(page->lParam);
    SetWindowLongPtrA(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(ext));
    SetWindowLongPtrA(dialog, GWLP_USERDATA, 0);
    const char* file = ext ? ext->SelectedFile() : "";
    int index = file[0] ? static_cast<int>(GetPrivateProfileIntA("IconImage", "Index", 0, file)) : 0;
    // An index with no button leaves all three unchecked.
    if (index >= 0 && index < IDC_VEX_COUNT)
        CheckRadioButton(dialog, IDC_VEX_FIRST, IDC_VEX_FIRST + IDC_VEX_COUNT - 1, IDC_VEX_FIRST + index);
}

void OnApply(HWND dialog) {
    CShellExt* ext = PageObject(dialog);
    int button = RememberedButton(dialog);
    if (!ext || button == 0 || !ext->SelectedFile()[0]) return;
    char text[16];
    snprintf(text, sizeof text, "%i", button - IDC_VEX_FIRST);
    if (WritePrivateProfileStringA("IconImage", "Index", text, ext->SelectedFile()))
        SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
}

}  // namespace

UINT CALLBACK VEXPageCallback(HWND, UINT message, LPPROPSHEETPAGEA page) {
    if (message == PSPCB_RELEASE && page) {
        CShellExt* ext = reinterpret_cast<CShellExt*>(page->lParam);
        if (ext) ext->Release();
    }
    return 1;  // lets the page be created
}

INT_PTR CALLBACK VEXPageDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        OnInit(dialog, reinterpret_cast<const PROPSHEETPAGEA*>(lParam));
        return TRUE;
    case WM_COMMAND: {
        int id = LOWORD(wParam);
        if (HIWORD(wParam) == BN_CLICKED && id >= IDC_VEX_FIRST && id < IDC_VEX_FIRST + IDC_VEX_COUNT) {
            SetWindowLongPtrA(dialog, GWLP_USERDATA, id);
            PropSheet_Changed(GetParent(dialog), dialog);
        }
        return TRUE;
    }
    case WM_NOTIFY: {
        const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header && header->code == PSN_APPLY) {
            OnApply(dialog);
            SetWindowLongPtrA(dialog, DWLP_MSGRESULT, PSNRET_NOERROR);
            return TRUE;
        }
        return FALSE;
    }
    }
    return FALSE;
}
