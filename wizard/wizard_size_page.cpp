// CWizardSizePage: page 1 applies a preset to its own name, size and flag.
#include "wizard/wizard_size_page.h"

#include "resources/zembra_wizard_res.h"
#include "model/wizard_flow.h"
#include "model/wizard_rules.h"
#include "winui/combo_box.h"
#include "winui/data_exchange.h"
#include "winui/edit.h"

CWizardSizePage::CWizardSizePage() : CWizardPage(IDD_WIZARD_SIZE) {}

bool CWizardSizePage::OnInitDialog() {
    CWizardPage::OnInitDialog();
    winui::ComboBox box(Item(IDC_WIZ_PRESET));
    box.ResetContent();
    if (names)
        for (const std::string& name : *names) box.AddString(name);
    int pick = presetName.empty() ? CB_ERR : box.FindStringExact(presetName);
    bool named = pick != CB_ERR;
    if (!named) pick = chosen >= 0 && chosen < box.GetCount() ? chosen : 0;
    box.SetCurSel(pick);
    // A name no entry carries (the "Custom" left by a cancelled new preset) stays as it was,
    // and so does its typed size.
    if (!named && !presetName.empty()) SetItemText(IDC_WIZ_PRESET, presetName);
    SetSizeWritable(false);
    if (!names || names->empty())
        Prompts().Message("Missing custom.dat file.");
    else if ((isTypedSize && isTypedSize(pick)) || (!named && sizeTyped_))
        SetSizeWritable(true);
    return true;
}

void CWizardSizePage::Exchange(winui::DataExchange& dx, bool save) {
    dx.Text(IDC_WIZ_PRESET, presetName);
    dx.IntRange(IDC_WIZ_SIZE, size, 0, wizard_rules::kMaxSizeKb);
    (void)save;
}

bool CWizardSizePage::OnCommand(int id, int code, HWND) {
    if (id == IDC_WIZ_PRESET && code == CBN_SELCHANGE) {
        ApplyPreset(winui::ComboBox(Item(IDC_WIZ_PRESET)).GetCurSel());
        return true;
    }
    if (id == IDC_WIZ_PRESET && code == CBN_DROPDOWN) {
        winui::ComboBox(Item(IDC_WIZ_PRESET)).FitDroppedWidth();
        return true;
    }
    if (id == kWizardFilesPage && code == BN_CLICKED) {
        chosen = winui::ComboBox(Item(IDC_WIZ_PRESET)).GetCurSel();
        EndWith(kWizardFilesPage);
        return true;
    }
    return false;
}

void CWizardSizePage::ApplyPreset(int index) {
    if (!choosePreset) return;
    Choice c = choosePreset(index);
    if (!c.valid) return;
    presetName = c.presetName;
    size = c.size;
    notFirstPreset = c.notFirstPreset ? 1 : 0;
    if (!c.appendName.empty()) winui::ComboBox(Item(IDC_WIZ_PRESET)).AddString(c.appendName);
    sizeTyped_ = c.sizeTyped;
    SetSizeWritable(c.sizeTyped);
    UpdateData(false);
}

void CWizardSizePage::SetSizeWritable(bool writable) {
    winui::Edit(Item(IDC_WIZ_SIZE)).SetReadOnly(!writable);
}
