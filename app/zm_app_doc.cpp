// The project document and its commands.
#include "app/zm_app_doc.h"

#include <commdlg.h>

#include <memory>

#include "app/contents_printer.h"
#include "dialogs/edit_box_dialog.h"
#include "app/main_frame.h"
#include "app/zm_app.h"
#include "dialogs/zm_messages.h"
#include "platform/path_text.h"
#include "platform/text_trim.h"
#include "resources/zembra_res.h"
#include "winui/app.h"
#include "resources/zembra_view_res.h"
#include "model/project_names.h"
#include "view/s_view.h"

namespace {

// The framework's word for a document it could not open.
constexpr const char* kOpenFailed = "Failed to open document.";

// The document joins the frame's command chain when the frame makes it (the first File New).
const bool registered = ZmRegisterDocument([](CMainFrame& frame, CZmView& view) -> std::unique_ptr<IZmDocument> {
    CSView* form = dynamic_cast<CSView*>(&view);
    if (!form) return nullptr;
    return std::make_unique<CZmAppDoc>(frame, *form);
});

}  // namespace

CZmAppDoc::CZmAppDoc(CMainFrame& frame, CSView& view)
    : frame_(frame), view_(view), loader_(frame, view), helpMessage_(::RegisterWindowMessageA(HELPMSGSTRINGA)) {}

bool CZmAppDoc::OnCommand(int id) {
    if (id >= ID_FILE_MRU_FILE1 && id <= ID_FILE_MRU_FILE4) {
        OnOpenRecent(static_cast<size_t>(id - ID_FILE_MRU_FILE1));
        return true;
    }
    switch (id) {
    case ID_NEW_SPLIT:
        OnNewSplit();
        return true;
    case ID_FILE_SAVE_AS:
        OnSaveAs();
        return true;
    case ID_PRINT:
        OnPrint();
        return true;
    case IDC_REJOIN:
        loader_.Rejoin();
        return true;
    case IDC_REVIEW:
        loader_.ReviewResults();
        return true;
    default:
        return false;
    }
}

bool CZmAppDoc::OnFrameMessage(UINT msg, WPARAM, LPARAM, LRESULT& result) {
    if (msg == WM_ZM_OPEN_PROJECT) {
        result = OnOpenProject();
        return true;
    }
    if (helpMessage_ && msg == helpMessage_) {
        // The open dialog's Help button: the help contents, the dialog stays.
        frame_.Post(WM_COMMAND, MAKEWPARAM(ID_HELP_CONTENTS, 0), 0);
        result = 0;
        return true;
    }
    return false;
}

void CZmAppDoc::OnNewSplit() {
    IFileSystem& fs = SystemFileSystem();
    view_.ClearSources();
    view_.Engine().SetListingPath(std::string());
    view_.Engine().ClearItems();
    const std::string work = WithBackslash(ZmApp().WorkDirectory());
    view_.saveLocation = work;
    view_.splitSetName = project_names::NextSetName(fs, view_.saveLocation, view_.splitSetName);
    frame_.SetDocumentTitle(view_.splitSetName);

    ::SendMessageA(view_.Item(IDC_PRESETS), CB_SETCURSEL, 0, 0);
    view_.notFirstPreset = 0;
    view_.maxFileSize = 0;
    ::SendMessageA(view_.Item(IDC_MAX_SIZE), EM_SETREADONLY, TRUE, 0);
    view_.ShowItem(IDC_MAX_SIZE, false);
    view_.ShowItem(IDC_SIZE_DISPLAY, true);
    view_.sizeDisplayText.clear();

    std::string location = !view_.presetLocations.empty() && !view_.presetLocations[0].empty()
                               ? WithBackslash(view_.presetLocations[0])
                               : work;
    if (!location.empty()) view_.saveLocation = location;
    view_.UpdateData(false);
    view_.RefreshStatusText();
    view_.SetButtonStates(true);
    view_.modified = 0;
}

LRESULT CZmAppDoc::OnOpenProject() {
    char file[MAX_PATH] = {0};
    const std::string start = ZmApp().ExeDirectory();
    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = winui::App::OwnerFor(frame_.Handle());
    ofn.lpstrFilter = "Split Files\0*.spj\0";
    ofn.lpstrFile = file;
    ofn.nMaxFile = sizeof file;
    ofn.lpstrInitialDir = start.c_str();
    ofn.lpstrTitle = "Select Zembrator File";
    ofn.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_SHOWHELP |
                OFN_EXPLORER;
    if (!::GetOpenFileNameA(&ofn)) return 1;
    view_.SetButtonStates(false);
    LRESULT status = OpenProject(file);
    // As after an open from the recent-file list: the set that was opened can be rejoined and
    // mailed whichever way it was opened.
    view_.SetButtonStates(false);
    return status;
}

void CZmAppDoc::OnOpenRecent(size_t index) {
    CRecentFileList& recent = frame_.RecentFiles();
    if (index >= recent.Count()) return;
    const std::string path = recent[index];
    // The framework's open step: the file must open for reading; a file gone leaves the view
    // as it was and drops out of the list.
    if (!SystemFileSystem().Open(path, OpenMode::Read, Share::DenyNone)) {
        view_.ViewPrompts().Message(kOpenFailed);
        recent.Remove(index);
        return;
    }
    view_.SetButtonStates(false);
    OpenProject(path);
    view_.SetButtonStates(false);
}

int CZmAppDoc::OpenProject(const std::string& path) {
    int status = loader_.Load(path);
    if (status) frame_.RecentFiles().Add(path);
    return status;
}

void CZmAppDoc::OnSaveAs() {
    CEditBoxDialog dlg("Save As", "Enter Project Name");
    if (dlg.DoModal(view_.Handle()) != IDOK) return;
    std::string name = TrimWhiteSpace(dlg.text);
    if (name.empty()) {
        view_.ViewPrompts().Message("No Split set name");
        return;
    }
    view_.splitSetName = name;
    frame_.SetDocumentTitle(name);
    view_.UpdateData(false);
    ::PostMessageA(view_.Handle(), WM_COMMAND, MAKEWPARAM(IDC_BEGIN_SPLIT, BN_CLICKED),
                   reinterpret_cast<LPARAM>(view_.Item(IDC_BEGIN_SPLIT)));
}

void CZmAppDoc::OnPrint() {
    const std::string& listing = view_.Engine().ListingPath();
    if (listing.empty()) {
        view_.ViewPrompts().Message("You must first Build the 'Zembra' file set.");
        return;
    }
    CContentsPrinter::Print(frame_.Handle(), SystemFileSystem(), listing, view_.ViewPrompts());
}
