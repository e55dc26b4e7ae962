// CCustomSizeDlg: the "Custom" dialog (template 133) that defines or edits one size preset:
// display name, size in K and location. The caller fills values to edit an existing preset and
// reads them after OK.
#pragma once

#include "model/custom_size_rules.h"
#include "winui/dialog.h"

class CCustomSizeDlg : public winui::Dialog {
public:
    CCustomSizeDlg();
    CustomSizeValues values;

protected:
    bool OnInitDialog() override;
    void Exchange(winui::DataExchange& dx, bool save) override;
    bool OnCommand(int id, int code, HWND control) override;
    void OnOK() override;

private:
    void OnBrowse();
};
