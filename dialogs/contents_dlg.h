// CContentsDlg: the read-only viewer of a split set's contents listing, with a Print button
// that posts the Print command to the main window and leaves the viewer open.
#pragma once

#include <string>

#include "winui/dialog.h"

class CContentsDlg : public winui::Dialog {
public:
    // offerOk shows an OK button beside Close, for a caller that acts on OK.
    explicit CContentsDlg(std::string text, bool offerOk = false);
    // Runs the viewer modally over owner; returns IDOK from OK, IDCANCEL from Close. The text is
    // moved in (pass it with std::move): a listing of many megabytes is held once, by the control.
    static INT_PTR ShowContents(std::string text, HWND owner = nullptr, bool offerOk = false);

protected:
    bool OnInitDialog() override;
    bool OnCommand(int id, int code, HWND control) override;

private:
    std::string text_;
    bool offerOk_;
};
