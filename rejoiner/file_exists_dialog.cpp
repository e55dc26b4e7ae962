// The "File Exists" question: each button ends the dialog with its own code.
#include "rejoiner/file_exists_dialog.h"

#include "resources/remblo_res.h"

CFileExistsDialog::CFileExistsDialog(std::string text) : Dialog(IDD_FILE_EXISTS), text_(std::move(text)) {}

bool CFileExistsDialog::OnInitDialog() {
    SetItemText(IDC_EXISTS_TEXT, text_);
    // As in a message box the question's default answer has the focus; the text, focused
    // first, would open all selected.
    FocusItem(IDOK);
    return false;
}

bool CFileExistsDialog::OnCommand(int id, int code, HWND) {
    if (code != BN_CLICKED || (id != IDC_YES_TO_ALL && id != IDC_NO_TO_ALL)) return false;
    EndDialog(id);
    return true;
}

void CFileExistsDialog::OnOK() { EndDialog(kOverwriteYes); }

int CFileExistsQuestion::Ask(const std::string& text) {
    CFileExistsDialog dialog(text);
    // "&No", Escape and the close box all end with IDCANCEL, which is the No code.
    return static_cast<int>(dialog.DoModal(owner_));
}
