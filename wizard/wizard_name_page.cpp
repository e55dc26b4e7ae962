// CWizardNamePage: Browse, Back and the build behind Next.
#include "wizard/wizard_name_page.h"

#include "resources/zembra_wizard_res.h"
#include "model/wizard_flow.h"
#include "winui/data_exchange.h"

CWizardNamePage::CWizardNamePage() : CWizardPage(IDD_WIZARD_NAME) {}

bool CWizardNamePage::OnInitDialog() {
    removable = false;
    return CWizardPage::OnInitDialog();
}

void CWizardNamePage::Exchange(winui::DataExchange& dx, bool) {
    dx.Text(IDC_WIZ_LOCATION, saveLocation);
    dx.Text(IDC_WIZ_SET_NAME, setName);
}

bool CWizardNamePage::OnCommand(int id, int code, HWND) {
    if (code != BN_CLICKED) return false;
    switch (id) {
    case IDC_WIZ_BROWSE: {
        if (!UpdateData(true)) return true;
        std::string chosen;
        if (chooseFolder && chooseFolder(saveLocation, chosen) && !chosen.empty()) {
            if (chosen.back() != '\\') chosen += '\\';
            saveLocation = chosen;
            UpdateData(false);
        }
        return true;
    }
    case kWizardFilesPage:
        EndWith(kWizardFilesPage);
        return true;
    case kWizardResultsPage:
        if (UpdateData(true) && build && build(*this)) EndDialog(kWizardResultsPage);
        return true;
    default:
        return false;
    }
}
