// CNewDirFileDlg: the old-style open dialog as a folder chooser with New Dir.
#include "dialogs/new_dir_file_dlg.h"

#include <commdlg.h>

#include "dialogs/edit_box_dialog.h"
#include "model/shell_rules.h"
#include "platform/file_system.h"
#include "platform/text_trim.h"
#include "resources/zembra_res.h"
#include "winui/app.h"
#include "winui/message_box_prompts.h"

namespace {
// Process-wide, reset each time the chooser starts: the New Dir name and the dialog shown.
std::string g_newFolderName;
CNewDirFileDlg* g_shownDialog = nullptr;

std::string ControlText(HWND dialog, int id) {
    char buffer[MAX_PATH * 2] = {0};
    ::GetDlgItemTextA(dialog, id, buffer, sizeof buffer);
    return buffer;
}
}  // namespace

CNewDirFileDlg::CNewDirFileDlg(const std::string& startFolder) : startFolder_(startFolder) {}

const std::string& CNewDirFileDlg::NewFolderName() { return g_newFolderName; }

bool CNewDirFileDlg::DoModal(HWND owner) {
    char file[MAX_PATH * 2] = "Junk";
    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner ? owner : winui::App::MainWindow();
    ofn.hInstance = winui::App::Instance();
    ofn.lpstrFilter = "All Files (*.*)\0*.*\0";
    ofn.lpstrFile = file;
    ofn.nMaxFile = sizeof file;
    ofn.lpstrInitialDir = startFolder_.empty() ? nullptr : startFolder_.c_str();
    ofn.lpstrTitle = "Open";  // the template's caption; some systems would put their own
    // Old style (no OFN_EXPLORER): the template holds the system's own controls.
    ofn.Flags = OFN_ENABLETEMPLATE | OFN_ENABLEHOOK | OFN_SHOWHELP | OFN_HIDEREADONLY |
                OFN_OVERWRITEPROMPT | OFN_NOCHANGEDIR;
    ofn.lpTemplateName = MAKEINTRESOURCEA(IDD_NEWDIR_FILE);
    ofn.lpfnHook = Hook;
    ofn.lCustData = reinterpret_cast<LPARAM>(this);
    g_newFolderName.clear();
    g_shownDialog = this;
    BOOL ok = ::GetOpenFileNameA(&ofn);
    g_shownDialog = nullptr;
    if (!ok) return false;
    path_ = file;
    return true;
}

void CNewDirFileDlg::OnInit(HWND dialog) {
    winui::Window(dialog).Center();
    for (int id : {IDC_FD_TYPE_LABEL, IDC_FD_NAME_LABEL, IDC_FD_NAME, IDC_FD_FILES, IDC_FD_TYPES, IDC_FD_HELP})
        ::ShowWindow(::GetDlgItem(dialog, id), SW_HIDE);
    // The dialog returns this dummy name in the chosen folder; only the folder is kept.
    ::SetDlgItemTextA(dialog, IDC_FD_NAME, "Junk");
    ::SetFocus(::GetDlgItem(dialog, IDC_FD_FOLDERS));
}

void CNewDirFileDlg::OnNewDir(HWND dialog) {
    CEditBoxDialog ask("New Directory", "Enter new directory name:");
    if (ask.DoModal(dialog) != IDOK) return;
    currentFolder_ = ControlText(dialog, IDC_FD_FOLDER);
    if (currentFolder_.empty() || currentFolder_.back() != '\\') currentFolder_ += '\\';
    g_newFolderName = TrimSpaces(ask.text);
    if (!g_newFolderName.empty()) ::PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
}

UINT_PTR CALLBACK CNewDirFileDlg::Hook(HWND dialog, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_INITDIALOG) {
        auto* ofn = reinterpret_cast<OPENFILENAMEA*>(lp);
        auto* self = reinterpret_cast<CNewDirFileDlg*>(ofn->lCustData);
        if (self) self->OnInit(dialog);
        return FALSE;  // the focus is set
    }
    if (msg == WM_COMMAND && LOWORD(wp) == IDC_FD_NEW_DIR && g_shownDialog) {
        g_shownDialog->OnNewDir(dialog);
        return TRUE;
    }
    return FALSE;
}

bool ChooseFolder(std::string& folder, HWND owner) {
    CNewDirFileDlg dialog(folder);
    if (!dialog.DoModal(owner)) return false;
    folder = FolderOfDummyPath(dialog.PathName());
    if (!CNewDirFileDlg::NewFolderName().empty()) {
        folder = NewFolderPath(folder, CNewDirFileDlg::NewFolderName());
        if (!MakeNewFolder(folder, SystemFileSystem())) {
            winui::MessageBoxPrompts prompts(owner);
            prompts.Show("Problems creating the new directory.", PromptButtons::Ok);
        }
    }
    return true;
}
