// CWizardNamePage: wizard page 3, the set's name and where it goes; its Next builds the set.
#pragma once

#include <functional>
#include <string>

#include "wizard/wizard_page.h"

class CWizardNamePage : public CWizardPage {
public:
    CWizardNamePage();

    std::string saveLocation = "C:\\";
    std::string setName = "Zemb";
    bool removable = false;  // the last build went to a removable drive

    // The folder chooser, starting from `start`; false when the user cancelled.
    std::function<bool(const std::string& start, std::string& chosen)> chooseFolder;
    // Builds the set from the wizard's pages; true when it was written.
    std::function<bool(CWizardNamePage& page)> build;

protected:
    bool OnInitDialog() override;
    void Exchange(winui::DataExchange& dx, bool save) override;
    bool OnCommand(int id, int code, HWND control) override;
    void OnOK() override {}  // no OK button: Enter presses the default, Next
};
