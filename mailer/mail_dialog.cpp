// CMailDialog: field exchange, Send, the system-menu About box, F1 help, single instance.
#include "mailer/mail_dialog.h"

#include "dialogs/progress_panel.h"
#include "mailer/mime_encoding.h"
#include "platform/process.h"
#include "resources/korvo_res.h"
#include "winui/app.h"
#include "winui/data_exchange.h"

UINT CMailDialog::InstanceMessage() {
    static UINT message = ::RegisterWindowMessageA("ZEMBRAM");
    return message;
}

CMailDialog::CMailDialog(CMailSettings& settings, IPrompts& prompts)
    : Dialog(IDD_MAIL), settings_(settings), prompts_(prompts) {}

bool CMailDialog::OnInitDialog() {
    icon_ = ::LoadIconA(winui::App::Instance(), MAKEINTRESOURCEA(IDR_KORVO));
    SetIcon(icon_, true);
    SetIcon(icon_, false);
    HMENU menu = ::GetSystemMenu(hwnd_, FALSE);
    if (menu) {
        ::AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
        ::AppendMenuA(menu, MF_STRING, IDM_ABOUTBOX, "&About Zembra...");
    }
    return Dialog::OnInitDialog();
}

void CMailDialog::Exchange(winui::DataExchange& dx, bool) {
    dx.Text(IDC_MAIL_TO, toAddress);
    dx.Text(IDC_MAIL_FROM, fromAddress);
    dx.Text(IDC_MAIL_TEXT, messageText);
    dx.Text(IDC_MAIL_SUBJECT, subject);
}

void CMailDialog::OnOK() {
    if (sending_ || !UpdateData(true)) return;
    MailForm form{server, fromAddress, toAddress, subject, messageText};
    if (!CMailSender::CheckForm(form, prompts_)) return;
    server = form.server;
    fromAddress = form.fromAddress;
    toAddress = form.toAddress;
    settings_.server = server;
    settings_.fromAddress = fromAddress;
    settings_.toAddress = toAddress;
    settings_.SaveAll();

    sending_ = true;
    Show(SW_HIDE);
    // Created hidden; the sender shows it once a segment is on its way.
    auto progress = std::make_unique<CProgressPanel>(hwnd_, "Emailing files....");
    progress->Hide();
    CMailSender sender(prompts_, SystemFileSystem(), progress.get(), &settings_);
    sender.SetTimeout(timeoutMs);
    sender.SetCharset(mime::CharsetForCodePage(static_cast<int>(::GetACP())));
    HWND self = hwnd_;
    sender.OnDialogueEnd([self] {
        ::EnableWindow(self, TRUE);
        if (::IsWindowVisible(self)) ::SetFocus(self);
    });
    sender.MailSet(segmentPrefix, segmentCount, form);
    progress.reset();
    sending_ = false;
    // One Send per run: the dialog closes whatever the outcome.
    EndDialog(IDOK);
}

bool CMailDialog::OnMessage(UINT msg, WPARAM wp, LPARAM, LRESULT& result) {
    if (msg == InstanceMessage()) {
        // Another mailer is starting and waits for this answer: give it at once, and come
        // to the front afterwards (hiding and showing can take a while).
        Post(kBringToFront);
        result = 1;
        return true;
    }
    if (msg == kBringToFront) {
        // A run hides the dialog; it stays hidden until the run ends.
        if (!sending_) {
            ::SetForegroundWindow(hwnd_);
            Show(SW_HIDE);
            Show(SW_SHOW);
        }
        result = 0;
        return true;
    }
    if (msg == WM_SYSCOMMAND && (wp & 0xFFF0) == IDM_ABOUTBOX) {
        ShowAbout();
        result = 0;
        return true;
    }
    if (msg == WM_HELP) {
        ShowHelp();
        result = TRUE;
        return true;
    }
    return false;
}

void CMailDialog::ShowAbout() {
    winui::Dialog about(IDD_ABOUTBOX);
    about.DoModal(hwnd_);
}

void CMailDialog::ShowHelp() {
    std::string help = ModuleFolder() + "Zembra.hlp";
    ::WinHelpA(hwnd_, help.c_str(), HELP_CONTENTS, 0);
}
