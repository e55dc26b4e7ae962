// CContentsDlg: the read-only viewer of a split set's contents listing, with a Print button
// that posts the Print command to the main window and leaves the viewer open.
#pragma once

#include <string>

#include "winui/dialog.h"

class CContentsDlg : public winui::Dialog {
public:
    explicit CContentsDlg(std::string text);
    // Runs the viewer modally over owner; returns the code it ended with (IDCANCEL from Close).
    static INT_PTR ShowContents(const std::string& text, HWND owner = nullptr);

protected:
    bool OnInitDialog() override;
    void Exchange(winui::DataExchange& dx, bool save) override;
    bool OnCommand(int id, int code, HWND control) override;

private:
    std::string text_;
};
