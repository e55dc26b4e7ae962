// CFileExistsDialog: asks whether a file that exists may be overwritten, with sticky answers.
#pragma once

#include <string>

#include "rejoiner/rejoin_ui.h"
#include "winui/dialog.h"

class CFileExistsDialog : public winui::Dialog {
public:
    explicit CFileExistsDialog(std::string text);

protected:
    bool OnInitDialog() override;
    bool OnCommand(int id, int code, HWND control) override;
    void OnOK() override;  // "&Yes": nothing to pull, the code is the answer

private:
    std::string text_;
};

// The reader's overwrite question shown as CFileExistsDialog over owner.
class CFileExistsQuestion : public IOverwriteQuestion {
public:
    explicit CFileExistsQuestion(HWND owner) : owner_(owner) {}
    int Ask(const std::string& text) override;

private:
    HWND owner_;
};
