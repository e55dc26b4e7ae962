// CWizardResultsPage: wizard page 4, the listing of the set just built, and EMail.
#pragma once

#include <functional>
#include <string>

#include "wizard/wizard_page.h"

class CWizardResultsPage : public CWizardPage {
public:
    CWizardResultsPage();

    std::string projectPath;
    // Starts the mailer on the set; false when it could not start.
    std::function<bool()> startMailer;

protected:
    bool OnInitDialog() override;
    bool OnCommand(int id, int code, HWND control) override;
    void OnOK() override { EndDialog(IDOK); }  // "Done"
};
