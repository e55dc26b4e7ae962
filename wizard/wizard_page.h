// CWizardPage: what the four wizard pages share: a modal dialog that ends with the id of the
// button pressed, and the picture 146 painted scaled into the hidden placeholder 1048.
#pragma once

#include <windows.h>

#include "winui/dialog.h"

class CWizardPage : public winui::Dialog {
public:
    explicit CWizardPage(int templateId) : Dialog(templateId) {}
    ~CWizardPage() override;

protected:
    // Loads the picture (once per page object) and pushes the fields into the controls.
    bool OnInitDialog() override;
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;
    // Ends the page with `next` once the controls' values are taken over; false (page stays)
    // when a value was refused.
    bool EndWith(int next);

private:
    void PaintPicture();

    HBITMAP picture_ = nullptr;
};
