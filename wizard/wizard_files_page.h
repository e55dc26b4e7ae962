// CWizardFilesPage: wizard page 2, the files and folders to split, chosen from the folder tree
// and file list the main view uses.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <string>
#include <vector>

#include "wizard/wizard_page.h"

class CWizardFilesPage : public CWizardPage {
public:
    CWizardFilesPage();

    std::vector<std::string> sources;
    uint64_t totalSize = 0;
    HIMAGELIST systemImages = nullptr;

protected:
    bool OnInitDialog() override;
    bool OnCommand(int id, int code, HWND control) override;
    void OnOK() override {}  // no OK button: Enter presses the default, Next

private:
    void ShowTotal();
};
