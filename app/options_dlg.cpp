// COptionsDlg: both modes, their checks and the keys they write to the mail settings file.
#include "app/options_dlg.h"

#include "model/profile_names.h"
#include "model/recovery_setting.h"
#include "model/shell_rules.h"
#include "dialogs/new_dir_file_dlg.h"
#include "app/zm_app.h"
#include "platform/fallback_settings.h"
#include "platform/file_system.h"
#include "platform/settings.h"
#include "resources/zembra_res.h"
#include "winui/data_exchange.h"

namespace {
const char kSection[] = "EMailSetup";
// Both the Windows folder and the per-user copy refused the write.
const char kNotSaved[] = "The settings could not be saved.";
}  // namespace

COptionsDlg::COptionsDlg(bool emailMode, ISettings* settings)
    : Dialog(IDD_OPTIONS), emailMode_(emailMode), settings_(settings) {
    if (!settings_) {
        ownSettings_ = OpenMailSettings();
        settings_ = ownSettings_.get();
    }
}

COptionsDlg::~COptionsDlg() = default;

bool COptionsDlg::OnInitDialog() {
    std::string server = settings_->GetString(kSection, "IEMailSMTP", "");
    second = settings_->GetString(kSection, "IEMailAddress", "");
    if (emailMode_) {
        ShowItem(IDC_OPT_BROWSE, false);
        for (int id : {IDC_OPT_RECOVERY_LABEL, IDC_OPT_RECOVERY, IDC_OPT_RECOVERY_NOTE}) ShowItem(id, false);
        first = server;
    } else {
        ShowItem(IDC_OPT_SECOND_LABEL, false);
        ShowItem(IDC_OPT_SECOND, false);
        SetText("Default Work Directory");
        first = settings_->GetString(kSection, "WorkDirectory", "").substr(0, 500);
        if (first.empty()) first = ZmApp().ExeDirectory();
        SetItemText(IDC_OPT_FIRST_LABEL, "Directory");
        recoveryPercent = recovery_setting::LoadForUser();
    }
    Dialog::OnInitDialog();
    FocusItem(IDC_OPT_FIRST);
    return false;
}

void COptionsDlg::Exchange(winui::DataExchange& dx, bool) {
    dx.Text(IDC_OPT_FIRST, first);
    dx.Text(IDC_OPT_SECOND, second);
    if (!emailMode_) dx.Int(IDC_OPT_RECOVERY, recoveryPercent);
}

bool COptionsDlg::OnCommand(int id, int, HWND) {
    if (id != IDC_OPT_BROWSE || emailMode_) return false;
    UpdateData(true);
    std::string folder = first;
    if (ChooseFolder(folder, Handle())) {
        first = folder;
        UpdateData(false);
    }
    return true;
}

void COptionsDlg::OnOK() {
    if (!UpdateData(true)) return;
    std::string refused = CheckOptions(emailMode_, first, SystemFileSystem());
    if (!refused.empty()) {
        Prompts().Show(refused, PromptButtons::Ok);
        FocusItem(IDC_OPT_FIRST);
        return;
    }
    bool saved;
    if (emailMode_) {
        saved = settings_->WriteString(kSection, "IEMailSMTP", first);
        saved = settings_->WriteString(kSection, "IEMailAddress", second) && saved;
    } else {
        saved = settings_->WriteString(kSection, "WorkDirectory", first);
        // Per user, beside the program's other settings (not in the shared mail settings).
        std::unique_ptr<ISettings> profile = OpenAppProfile(kZmRegistryKey, kZmAppName);
        saved = profile && recovery_setting::Save(*profile, recoveryPercent) && saved;
    }
    if (!saved) {
        // Nothing changes, in memory either: Cancel after this leaves the old folder in use.
        Prompts().Show(kNotSaved, PromptButtons::Ok);
        return;
    }
    if (!emailMode_) ZmApp().SetWorkDirectory(first);
    EndDialog(IDOK);
}
