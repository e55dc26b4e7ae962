// CEditBoxDialog: one-line text entry with a caller's title and prompt (remblo's own copy).
#pragma once

#include <string>

#include "winui/dialog.h"

class CEditBoxDialog : public winui::Dialog {
public:
    CEditBoxDialog(std::string title, std::string prompt);
    // The text entered; read it after DoModal returned IDOK.
    std::string text;

protected:
    bool OnInitDialog() override;
    void Exchange(winui::DataExchange& dx, bool save) override;

private:
    std::string title_, prompt_;
};
