// CWizardSizePage: wizard page 1, the preset and the maximum file size.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "wizard/wizard_page.h"

class CWizardSizePage : public CWizardPage {
public:
    CWizardSizePage();

    // Fields, kept between runs of the page.
    std::string presetName;
    int size = 0;  // KB
    int chosen = 0;
    int notFirstPreset = 0;

    // What choosing a preset does to the page (the preset rules of the main view, the location
    // and the size display aside).
    struct Choice {
        bool valid = false;
        std::string presetName;
        int size = 0;
        bool sizeTyped = false;      // the size edit is writable
        bool notFirstPreset = false;
        std::string appendName;      // a preset defined just now: appended to the box
    };
    // The view's preset names, whether a preset's size is typed, and the view's rules applied to
    // preset `index`.
    const std::vector<std::string>* names = nullptr;
    std::function<bool(int index)> isTypedSize;
    std::function<Choice(int index)> choosePreset;

protected:
    bool OnInitDialog() override;
    void Exchange(winui::DataExchange& dx, bool save) override;
    bool OnCommand(int id, int code, HWND control) override;
    // Enter has no "Back" to press here (IDOK is the disabled Back): Next is the default.
    void OnOK() override {}

private:
    void ApplyPreset(int index);
    void SetSizeWritable(bool writable);

    bool sizeTyped_ = false;  // the last preset applied leaves the size to the user
};
