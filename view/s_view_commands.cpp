// CSView: the Email command, the form's keyboard rules and context help.
#include "dialogs/help.h"
#include "model/project_listing.h"
#include "platform/fallback_settings.h"
#include "platform/process.h"
#include "platform/settings.h"
#include "platform/text_format.h"
#include "resources/zembra_view_res.h"
#include "view/s_view.h"

namespace {

const char kNoProject[] = "No project file created or opened to email.";
const char kNoServer[] = "Options, Email Server, must be set before using Email.";
const char kMailerFailed[] = "Failed to execute the Mailer!";
// Said after "Overwrite existing Split Set!" when Email has to build first.
const char kRebuildNote[] = "\n\nEmail builds the set again before mailing it: the set there now is replaced.";

}  // namespace

void CSView::OnEmail() {
    if (engine_->ListingPath().empty()) {
        prompts_.Message(kNoProject);
        return;
    }
    const std::string keptLocation = saveLocation;
    // Where Options and korvo read it: the per-user copy first, then the Windows folder's.
    std::string server;
    if (std::unique_ptr<ISettings> mail = OpenMailSettings())
        server = mail->GetString("EMailSetup", "IEMailSMTP", "").substr(0, 300);
    if (server.empty()) {
        prompts_.Message(kNoServer);
        return;
    }
    // A set that is built and whose sources have not changed since goes as it is: building it
    // again would only replace it, with whatever size the form holds now.
    if (host_ && host_->HasDocument() && (modified || !SetIsCurrent())) {
        // Built because it must be: no "Not Modified" question first.
        modified = 1;
        mailing = 1;
        engine_->SetOverwriteNote(kRebuildNote);
        const bool built = RunBuild();
        engine_->SetOverwriteNote(std::string());
        if (!built) {
            mailing = 0;
            saveLocation = keptLocation;
            return;
        }
    }
    const int segments = CSplitEngine::CountSegments(SystemFileSystem(), saveLocation, splitSetName);
    // The program is quoted: in a folder with spaces ("Program Files") the system would
    // otherwise try "C:\Program.exe" and the like first.
    const std::string line = FormatText("\"%skorvo.exe\" &Segmented %s%s %d", exeDirectory.c_str(),
                                        saveLocation.c_str(), splitSetName.c_str(), segments);
    if (!StartProcess(line)) prompts_.Message(kMailerFailed);
    saveLocation = keptLocation;
    mailing = 0;
}

bool CSView::SetIsCurrent() {
    IFileSystem& fs = SystemFileSystem();
    return CProjectListing::SetIsCurrent(fs, engine_->ListingPath(), saveLocation, splitSetName);
}

bool CSView::RunBuild() {
    // Through the command chain, as the menu runs it: a written set clears the modified flag.
    return host_ && host_->RouteCommand(IDC_BEGIN_SPLIT) && !modified;
}

bool CSView::PreTranslateMessage(MSG& msg) {
    if (!Exists() || (msg.hwnd != Handle() && !::IsChild(Handle(), msg.hwnd))) return false;
    if (msg.message == WM_RBUTTONUP) {
        // Consumed everywhere on the form; over the preset box it edits the chosen preset.
        HWND presets = Item(IDC_PRESETS);
        HWND focus = ::GetFocus();
        if (focus && (focus == presets || ::IsChild(presets, focus)))
            Post(WM_ZM_EDIT_PRESET, static_cast<WPARAM>(::SendMessageA(presets, CB_GETCURSEL, 0, 0)));
        return true;
    }
    if (msg.message == WM_KEYDOWN) return OnKey(msg);
    return false;
}

bool CSView::OnKey(MSG& msg) {
    HWND focus = ::GetFocus();
    const bool shift = ::GetKeyState(VK_SHIFT) < 0;
    auto focusList = [this] {
        fileList_.SetFocus();
        if (fileList_.Count() > 0)
            ListView_SetItemState(fileList_.Handle(), 0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    };
    switch (msg.wParam) {
    case VK_TAB:
        if (focus == Item(IDC_SHOW_FILES) && !shift) {
            folderTree_.SetFocus();
            return true;
        }
        if (focus == folderTree_.Handle()) {
            if (shift)
                FocusItem(IDC_SHOW_FILES);
            else
                focusList();
            return true;
        }
        if (focus == fileList_.Handle()) {
            if (shift)
                folderTree_.SetFocus();
            else
                FocusItem(IDC_ADD);
            return true;
        }
        if (focus == Item(IDC_ADD) && shift) {
            focusList();
            return true;
        }
        return false;
    case VK_RETURN:
        if (focus != Item(IDC_SHOW_FILES)) return false;
        // Leaving the box applies the filter; the text stays selected for the next pattern.
        ::SetFocus(Handle());
        FocusItem(IDC_SHOW_FILES);
        ::SendMessageA(Item(IDC_SHOW_FILES), EM_SETSEL, 0, -1);
        return true;
    case VK_DELETE:
        // First press on the preset box: remove the chosen preset, as "-" does.
        if (focus != Item(IDC_PRESETS) || (msg.lParam & (1 << 30))) return false;
        Send(WM_COMMAND, MAKEWPARAM(IDC_PRESET_REMOVE, BN_CLICKED), reinterpret_cast<LPARAM>(Item(IDC_PRESET_REMOVE)));
        return true;
    default:
        return false;
    }
}

void CSView::OnContextHelp() {
    HWND focus = ::GetFocus();
    if (!focus) return;
    // The save location's edit is a child of its combo box.
    if (::GetParent(focus) == Item(IDC_SAVE_LOCATION)) focus = Item(IDC_SAVE_LOCATION);
    // The shell's help, at the control's topic (controls without one show nothing).
    ZmShowContextHelp(host_ ? host_->HostWindow() : Handle(), ::GetDlgCtrlID(focus), kViewHelpIds);
}
