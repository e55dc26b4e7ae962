// The contents viewer (template 134).
#include "dialogs/contents_dlg.h"

#include "resources/zembra_project_res.h"
#include "winui/app.h"

namespace {
constexpr int kPrintCommand = 32775;
}

CContentsDlg::CContentsDlg(std::string text, bool offerOk)
    : Dialog(IDD_CONTENTS), text_(std::move(text)), offerOk_(offerOk) {}

INT_PTR CContentsDlg::ShowContents(std::string text, HWND owner, bool offerOk) {
    CContentsDlg dlg(std::move(text), offerOk);
    return dlg.DoModal(owner);
}

bool CContentsDlg::OnInitDialog() {
    // Text set through the window is not bound by the edit's typing limit; lift it anyway so a
    // long listing is never cut when the control re-measures.
    ::SendMessageA(Item(IDC_CONTENTS_TEXT), EM_SETLIMITTEXT, 0, 0);
    // The control keeps its own copy: ours goes before it makes it. The text is read-only, so it
    // is never exchanged back either (OK would copy it out again).
    HandOverItemText(IDC_CONTENTS_TEXT, text_);
    ShowItem(IDOK, offerOk_);
    // Without OK, Close is the default: Enter in the text and the default frame go to a
    // button the user can see.
    if (!offerOk_) ::SendMessageA(Handle(), DM_SETDEFID, IDCANCEL, 0);
    Dialog::OnInitDialog();
    // The focus starts on a button: Enter in the text must not be taken for OK unnoticed.
    FocusItem(offerOk_ ? IDOK : IDCANCEL);
    return false;
}

bool CContentsDlg::OnCommand(int id, int /*code*/, HWND /*control*/) {
    if (id != IDC_CONTENTS_PRINT) return false;
    // The main window prints the listing of its set; the viewer stays open meanwhile.
    if (HWND main = winui::App::MainWindow()) ::PostMessageA(main, WM_COMMAND, kPrintCommand, 0);
    return true;
}
