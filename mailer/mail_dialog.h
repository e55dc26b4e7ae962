// CMailDialog: the mailer's one dialog (template 102): addresses, subject and text, Send.
#pragma once

#include <windows.h>

#include <string>

#include "mailer/mail_sender.h"
#include "mailer/mail_settings.h"
#include "winui/dialog.h"

class CMailDialog : public winui::Dialog {
public:
    // The registered message a second mailer sends to find this one.
    static UINT InstanceMessage();

    CMailDialog(CMailSettings& settings, IPrompts& prompts);

    std::string segmentPrefix;
    int segmentCount = 0;
    std::string server;
    std::string toAddress, fromAddress, messageText, subject;

    // Longest wait for each socket call (the default is the client's 60 s).
    int timeoutMs = 60000;

protected:
    bool OnInitDialog() override;
    void Exchange(winui::DataExchange& dx, bool save) override;
    void OnOK() override;
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

private:
    static constexpr UINT kBringToFront = WM_APP + 1;

    void ShowAbout();
    void ShowHelp();

    CMailSettings& settings_;
    IPrompts& prompts_;
    HICON icon_ = nullptr;
    bool sending_ = false;
};
