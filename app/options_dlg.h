// COptionsDlg: the options dialog (template 136) in e-mail mode (mail server and sender address)
// or work-directory mode (the default folder for new sets). It writes its settings itself.
#pragma once

#include <memory>
#include <string>

#include "platform/settings.h"
#include "winui/dialog.h"

class COptionsDlg : public winui::Dialog {
public:
    // settings: the mail settings file; nullptr opens the suite's own.
    explicit COptionsDlg(bool emailMode = true, ISettings* settings = nullptr);
    ~COptionsDlg() override;

    // Mail server, or the folder in work-directory mode; the sender address.
    std::string first;
    std::string second;
    // Work-directory mode: recovery volumes for this percent of a set's segments (per user).
    int recoveryPercent = 0;

protected:
    bool OnInitDialog() override;
    void Exchange(winui::DataExchange& dx, bool save) override;
    bool OnCommand(int id, int code, HWND control) override;
    void OnOK() override;

private:
    bool emailMode_;
    std::unique_ptr<ISettings> ownSettings_;
    ISettings* settings_;
};
