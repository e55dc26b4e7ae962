// CWizardResultsPage: the results text read from the project file, Back, Done and EMail.
#include "wizard/wizard_results_page.h"

#include "platform/file_system.h"
#include "resources/zembra_wizard_res.h"
#include "model/wizard_flow.h"
#include "model/wizard_rules.h"

CWizardResultsPage::CWizardResultsPage() : CWizardPage(IDD_WIZARD_RESULTS) {}

bool CWizardResultsPage::OnInitDialog() {
    CWizardPage::OnInitDialog();
    // A listing that cannot be opened leaves the text empty. The control holds the only copy:
    // a listing of many megabytes is not kept beside it, nor read back when the page ends.
    {
        std::string text;
        wizard_rules::ReadResultsText(SystemFileSystem(), projectPath, text);
        HandOverItemText(IDC_WIZ_RESULTS, text);
    }
    // The dialog manager would focus the text, select all of it and scroll to its end: the
    // listing would open highlighted and showing its last lines. It starts at its top instead.
    FocusItem(IDOK);
    return false;
}

bool CWizardResultsPage::OnCommand(int id, int code, HWND) {
    if (code != BN_CLICKED) return false;
    if (id == kWizardNamePage) {
        EndDialog(kWizardNamePage);
        return true;
    }
    if (id == IDC_WIZ_EMAIL) {
        if (startMailer && startMailer())
            EndDialog(IDCANCEL);
        else
            Prompts().Message("Failed to execute the Mailer!");
        return true;
    }
    return false;
}
