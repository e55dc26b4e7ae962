// Frame commands served by the options dialog, the help and the browser launch.
#include "app/frame_commands.h"

#include "app/browser.h"
#include "dialogs/help.h"
#include "app/main_frame.h"
#include "app/options_dlg.h"
#include "app/wizard_command.h"
#include "app/zm_app.h"
#include "platform/fallback_settings.h"
#include "model/build_run.h"
#include "platform/settings.h"
#include "resources/zembra_res.h"
#include "view/s_view.h"
#include "winui/message_box_prompts.h"

namespace {
// The main form's destination combo and preset list.
constexpr int kDestinationCombo = 1012;
constexpr int kPresetList = 1026;

// The new work directory becomes the view's destination: listed in the combo, selected there
// while the first preset is chosen, and the save location.
void ApplyWorkDirectory(CMainFrame& frame, const std::string& folder) {
    CZmView* view = frame.ActiveView();
    if (!view || folder.empty()) return;
    HWND form = view->ViewWindow();
    HWND combo = ::GetDlgItem(form, kDestinationCombo);
    if (combo) {
        LRESULT at = ::SendMessageA(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                    reinterpret_cast<LPARAM>(folder.c_str()));
        if (at == CB_ERR) at = ::SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(folder.c_str()));
        HWND presets = ::GetDlgItem(form, kPresetList);
        if (presets && ::SendMessageA(presets, CB_GETCURSEL, 0, 0) == 0 && at >= 0)
            ::SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(at), 0);
    }
    view->SetSaveLocation(folder);
}
}  // namespace

bool ZmFrameCommand(CMainFrame& frame, int id) {
    switch (id) {
    case ID_OPTIONS_EMAIL: {
        COptionsDlg dialog(true);
        dialog.DoModal(frame.Handle());
        return true;
    }
    case ID_OPTIONS_WORKDIR: {
        COptionsDlg dialog(false);
        if (dialog.DoModal(frame.Handle()) == IDOK) ApplyWorkDirectory(frame, dialog.first);
        return true;
    }
    case ID_OPTIONS_HIDDEN: {
        auto profile = OpenAppProfile(CZmApp::kRegistryKey, CZmApp::kAppName);
        bool include = profile->GetInt(build_setting::kSection, build_setting::kIncludeHidden, 0) != 0;
        profile->WriteInt(build_setting::kSection, build_setting::kIncludeHidden, include ? 0 : 1);
        return true;
    }
    case ID_WIZARD: {
        // Wizard mode runs on the main form's presets and sources; another view passes it on.
        CSView* form = dynamic_cast<CSView*>(frame.ActiveView());
        if (!form) return false;
        RunWizardMode(frame, *form);
        return true;
    }
    case ID_HELP_CONTENTS:
        ZmShowHelp(frame.Handle(), 0);
        return true;
    case ID_HOME_PAGE: {
        auto mail = OpenMailSettings();
        winui::MessageBoxPrompts prompts(frame.Handle());
        OpenHomePage(frame.Handle(), ZmApp().ExeDirectory(), *mail, prompts);
        return true;
    }
    default:
        return false;
    }
}
