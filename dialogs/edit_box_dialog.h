// CEditBoxDialog: one-line text entry with a caller's title and prompt (template 1518). One
// implementation for remblo and zembra: it needs only the window layer and the shared template
// (resources/common/edit_box.rc), so remblo links nothing else of the main program.
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
