// CWizardFilesPage: the page's own sources, total and Next.
#include "wizard/wizard_files_page.h"

#include "resources/zembra_wizard_res.h"
#include "view/model/wizard_flow.h"
#include "view/model/wizard_rules.h"
#include "winui/list_box.h"

CWizardFilesPage::CWizardFilesPage() : CWizardPage(IDD_WIZARD_FILES) {}

bool CWizardFilesPage::OnInitDialog() {
    CWizardPage::OnInitDialog();
    winui::ListBox box(Item(IDC_WIZ_SOURCES));
    for (const std::string& path : sources) box.AddString(path);
    EnableItem(kWizardNamePage, box.GetCount() > 0);
    return true;
}

bool CWizardFilesPage::OnCommand(int id, int code, HWND) {
    if (code != BN_CLICKED) return false;
    if (id == kWizardSizePage || id == kWizardNamePage) {
        EndDialog(id);
        return true;
    }
    return false;
}

void CWizardFilesPage::ShowTotal() {
    SetItemText(IDC_WIZ_TOTAL, wizard_rules::TotalText(totalSize));
}
