// Custom size dialog: the checks are the model's (CheckCustomSize); this binds them to 133.
#include "view/custom_size_dlg.h"

#include "dialogs/new_dir_file_dlg.h"
#include "resources/zembra_view_res.h"
#include "winui/data_exchange.h"
#include "winui/edit.h"

namespace {
// custom.dat keeps 499 characters a line; a path 259.
constexpr int kMaxName = 499;
constexpr int kMaxLocation = 259;
}  // namespace

CCustomSizeDlg::CCustomSizeDlg() : Dialog(IDD_CUSTOM_SIZE) {}

bool CCustomSizeDlg::OnInitDialog() {
    Dialog::OnInitDialog();
    winui::Edit name(Item(IDC_CUSTOM_NAME));
    name.LimitText(kMaxName);
    winui::Edit(Item(IDC_CUSTOM_LOCATION)).LimitText(kMaxLocation);
    ::SetFocus(name.Handle());
    name.SelectAll();
    name.Send(EM_SCROLLCARET);
    return false;  // the focus is set
}

void CCustomSizeDlg::Exchange(winui::DataExchange& dx, bool /*save*/) {
    dx.Text(IDC_CUSTOM_NAME, values.name);
    int size = values.size;
    if (dx.Int(IDC_CUSTOM_SIZE, size)) values.size = size;
    dx.Text(IDC_CUSTOM_LOCATION, values.location);
}

bool CCustomSizeDlg::OnCommand(int id, int code, HWND control) {
    if (id == IDC_CUSTOM_BROWSE && code == BN_CLICKED) {
        OnBrowse();
        return true;
    }
    return Dialog::OnCommand(id, code, control);
}

void CCustomSizeDlg::OnOK() {
    if (!UpdateData(true)) return;
    CustomSizeValues checked = values;
    const char* refusal = CheckCustomSize(checked);
    values.name = checked.name;
    if (refusal) {
        Prompts().Message(refusal);
        return;
    }
    values = checked;
    EndDialog(IDOK);
}

// The chooser starts where the location stood before the typed text was taken; the typed text
// is replaced only when a folder is chosen.
void CCustomSizeDlg::OnBrowse() {
    std::string folder = values.location;
    UpdateData(true);
    if (!ChooseFolder(folder, Handle())) return;
    values.location = folder;
    UpdateData(false);
}
