// The text entry dialog: remblo's and zembra's New Directory, zembra's Save As.
#include "dialogs/edit_box_dialog.h"

#include "resources/common/edit_box_res.h"
#include "winui/data_exchange.h"

CEditBoxDialog::CEditBoxDialog(std::string title, std::string prompt)
    : Dialog(IDD_EDIT_BOX), title_(std::move(title)), prompt_(std::move(prompt)) {}

bool CEditBoxDialog::OnInitDialog() {
    SetText(title_);
    SetItemText(IDC_EDIT_PROMPT, prompt_);
    Dialog::OnInitDialog();
    // Typing starts in the field; without it the system picks the first control.
    HWND edit = Item(IDC_EDIT_TEXT);
    if (!edit) return true;
    ::SetFocus(edit);
    return false;
}

void CEditBoxDialog::Exchange(winui::DataExchange& dx, bool) { dx.Text(IDC_EDIT_TEXT, text); }
