// Select Destination: drive box and folder list (both owner-drawn), Up, New, Rejoin, Exit.
#include "rejoiner/rejoin_dialog.h"

#include <shellapi.h>

#include <algorithm>
#include <vector>

#include "checksum/segment_check.h"
#include "checksum/set_checksums.h"
#include "platform/file_system.h"
#include "recovery/set_recovery.h"
#include "dialogs/edit_box_dialog.h"
#include "rejoiner/file_exists_dialog.h"
#include "rejoiner/rejoin_indicator.h"
#include "rejoiner/rejoin_paths.h"
#include "rejoiner/repair_indicator.h"
#include "rejoiner/segment_name.h"
#include "rejoiner/segment_reader.h"
#include "resources/remblo_res.h"
#include "winui/app.h"
#include "winui/combo_box.h"
#include "winui/data_exchange.h"
#include "winui/list_box.h"
#include "winui/message_box_prompts.h"

using rejoin_paths::WithBackslash;

CRejoinDialog::CRejoinDialog(std::string programPath, std::string modulePath)
    : Dialog(IDD_REJOIN), programPath_(std::move(programPath)), modulePath_(std::move(modulePath)) {
    char buffer[MAX_PATH + 1] = "";
    DWORD n = ::GetCurrentDirectoryA(sizeof buffer, buffer);
    currentFolder_ = n && n < sizeof buffer ? buffer : "";
}

CRejoinDialog::~CRejoinDialog() {
    if (folderIcon_) ::DestroyIcon(folderIcon_);
}

bool CRejoinDialog::OnInitDialog() {
    SetText("Zembra Rejoin - " + programPath_);
    // A folder icon the shell gives any folder: no disk needs to be touched for it.
    SHFILEINFOA info{};
    if (::SHGetFileInfoA("folder", FILE_ATTRIBUTE_DIRECTORY, &info, sizeof info,
                         SHGFI_ICON | SHGFI_SMALLICON | SHGFI_USEFILEATTRIBUTES))
        folderIcon_ = info.hIcon;
    FillDrives();
    RefreshFolderView();
    icon_ = ::LoadIconA(winui::App::Instance(), MAKEINTRESOURCEA(IDI_REMBLO));
    SetIcon(icon_, true);
    SetIcon(icon_, false);
    // Clicks on the empty part of the list clear the choice: the list must tell us of them.
    HWND list = Item(IDC_FOLDERS);
    ::SetWindowLongPtrA(list, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    listProc_ = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrA(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FolderListProc)));
    return true;
}

void CRejoinDialog::Exchange(winui::DataExchange& dx, bool) { dx.Text(IDC_DESTINATION, selectedDestination_); }

LRESULT CALLBACK CRejoinDialog::FolderListProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto self = reinterpret_cast<CRejoinDialog*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    LRESULT r = ::CallWindowProcA(self->listProc_, hwnd, msg, wp, lp);
    if (msg == WM_LBUTTONDOWN) {
        LRESULT hit = ::SendMessageA(hwnd, LB_ITEMFROMPOINT, 0, lp);
        if (HIWORD(hit) != 0) {  // below the last item
            ::SendMessageA(hwnd, LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
            self->SetDestination(self->currentFolder_);
        }
    }
    return r;
}

void CRejoinDialog::FillDrives() {
    winui::ComboBox drives(Item(IDC_DRIVES));
    drives.ResetContent();
    DWORD mask = ::GetLogicalDrives();
    for (int i = 0; i < 26; ++i)
        if (mask & (1u << i)) drives.AddString(std::string("[-") + char('a' + i) + "-]");
}

void CRejoinDialog::RefreshFolderView(bool selectCurrent) {
    if (currentFolder_.empty()) currentFolder_ = "C:\\";
    winui::ComboBox drives(Item(IDC_DRIVES));
    char letter = static_cast<char>(::tolower(static_cast<unsigned char>(currentFolder_[0])));
    drives.SetCurSel(drives.FindStringExact(std::string("[-") + letter + "-]"));

    // Folders only, no hidden or system ones, as the system's directory list shows them.
    std::vector<std::string> names;
    SystemFileSystem().ListFolder(WithBackslash(currentFolder_) + "*.*", [&](const DirEntry& e) {
        if ((e.attributes & kAttrFolder) && !(e.attributes & (kAttrHidden | kAttrSystem)) && e.name != "." &&
            e.name != "..")
            names.push_back(e.name);
        return true;
    });
    winui::ListBox list(Item(IDC_FOLDERS));
    ::SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    list.ResetContent();
    for (const std::string& name : names) list.AddString("[" + name + "]");
    ::SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(list, nullptr, TRUE);

    bool hasParent = !rejoin_paths::IsDriveRoot(currentFolder_);
    if (!hasParent && ::GetFocus() == Item(IDC_UP)) ::SendMessageA(hwnd_, WM_NEXTDLGCTL, 0, FALSE);
    EnableItem(IDC_UP, hasParent);
    if (selectCurrent) SetDestination(currentFolder_);
}

void CRejoinDialog::SetDestination(const std::string& destination) {
    selectedDestination_ = destination;
    UpdateData(false);
}

std::string CRejoinDialog::FolderName(int index) const {
    std::string item = winui::ListBox(Item(IDC_FOLDERS)).GetItemText(index);
    if (item.size() >= 2 && item.front() == '[' && item.back() == ']') item = item.substr(1, item.size() - 2);
    return item;
}

void CRejoinDialog::ChooseDrive() {
    winui::ComboBox drives(Item(IDC_DRIVES));
    std::string item = drives.GetItemText(drives.GetCurSel());
    if (item.size() < 3) return;
    currentFolder_ = std::string(1, static_cast<char>(::toupper(static_cast<unsigned char>(item[2])))) + ":\\";
    RefreshFolderView();
}

void CRejoinDialog::SelectFolder() {
    int index = winui::ListBox(Item(IDC_FOLDERS)).GetCurSel();
    if (index < 0) return;
    SetDestination(WithBackslash(currentFolder_) + FolderName(index));
}

void CRejoinDialog::OpenFolder() {
    int index = winui::ListBox(Item(IDC_FOLDERS)).GetCurSel();
    if (index < 0) return;
    currentFolder_ = WithBackslash(currentFolder_) + FolderName(index);
    RefreshFolderView();
}

void CRejoinDialog::GoUp() {
    std::string parent;
    if (!rejoin_paths::UpFolder(currentFolder_, parent)) return;
    currentFolder_ = parent;
    RefreshFolderView();
}

void CRejoinDialog::NewFolder() {
    CEditBoxDialog edit("New Directory", "Enter new directory name:");
    if (edit.DoModal(hwnd_) != IDOK) return;
    std::string folder = WithBackslash(currentFolder_) + edit.text;
    IFileSystem& fs = SystemFileSystem();
    uint32_t attributes = 0;
    if (!fs.GetAttributes(folder, attributes)) fs.MakeFolder(folder);
    if (fs.GetAttributes(folder, attributes) && (attributes & kAttrFolder)) {
        currentFolder_ = folder;
        RefreshFolderView();
    }
}

bool CRejoinDialog::OnCommand(int id, int code, HWND) {
    switch (id) {
        case IDC_DRIVES:
            if (code == CBN_SELCHANGE) ChooseDrive();
            return true;
        case IDC_FOLDERS:
            if (code == LBN_SELCHANGE) SelectFolder();
            if (code == LBN_DBLCLK) OpenFolder();
            return true;
        case IDC_UP:
            if (code == BN_CLICKED) GoUp();
            return true;
        case IDC_NEW:
            if (code == BN_CLICKED) NewFolder();
            return true;
        default:
            return false;
    }
}

bool CRejoinDialog::ModuleFileThere() const {
    return ::GetFileAttributesA(modulePath_.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void CRejoinDialog::OnCancel() {
    if (repairing_) repairing_->Cancel();
    else Dialog::OnCancel();
}

void CRejoinDialog::OnOK() {
    if (repairing_) return;  // a message sent while the repair runs: it is not done yet
    std::string destination = WithBackslash(selectedDestination_);
    HCURSOR old = ::SetCursor(::LoadCursor(nullptr, IDC_WAIT));
    IFileSystem& fs = SystemFileSystem();
    winui::MessageBoxPrompts prompts(hwnd_);
    CFileExistsQuestion question(hwnd_);
    HWND arrows = Item(IDC_PROGRESS_ARROWS);
    CRejoinIndicator indicator([arrows](const std::string& text) {
        ::SetWindowTextA(arrows, text.c_str());
        ::UpdateWindow(arrows);  // repaint now: no messages run while the set is read
    });
    if (fs.DriveTypeOf(destination.substr(0, 3)) == DriveType::Removable) {
        ::SetCursor(old);
        prompts.Message("Destination cannot be a removeable diskette.");
        return;
    }
    // Recovery volumes beside the set rebuild what is missing or damaged before it is read:
    // in the set's folder, or in a temporary one when that cannot be written.
    CSetRecovery recovery(fs);
    CRepairIndicator repairing(hwnd_, arrows, Item(IDCANCEL));
    recovery.SetProgress(&repairing);
    repairing_ = &repairing;
    std::string error;
    bool loaded = recovery.Load(programPath_, error);
    repairing_ = nullptr;
    repairing.Hide();
    if (recovery.Cancelled()) {
        ::SetCursor(old);
        return;  // the user stopped it: nothing rejoined, the dialog stays for another try
    }
    if (loaded && !recovery.Whole()) {
        std::vector<std::string> rebuilt;
        std::string where, names;
        repairing_ = &repairing;
        bool repaired = recovery.Repair(true, rebuilt, where, error);
        repairing.Hide();
        repairing_ = nullptr;
        if (!repaired && recovery.Cancelled()) {
            ::SetCursor(old);
            return;
        }
        if (repaired) {
            for (const std::string& n : rebuilt) names += (names.empty() ? "" : ", ") + n;
            prompts.Message(recovery.Damage() + ".\r\nZembra rebuilt " + names + " from the recovery volumes in " +
                            where);
        } else {
            prompts.Message(recovery.Damage() + ".\r\nThe recovery volumes cannot rebuild the set: " + error);
        }
    }
    CSegmentReader reader(programPath_, recovery.ReaderFileSystem(), prompts, question, indicator);
    // NAME.sha256 beside the first segment binds every segment of the set to one digest: a
    // damaged segment, or one of another set that only has the right name and size, is refused.
    CSetChecksums sums;
    std::string sumsPath = CSetChecksums::PathForSegment(programPath_);
    std::unique_ptr<CSegmentCheck> check;
    if (!sumsPath.empty() && fs.Exists(sumsPath)) {
        if (!sums.Read(fs, sumsPath)) {
            ::SetCursor(old);
            prompts.Message("Cannot read " + sumsPath + "\r\n" + fs.LastErrorText());
            return;
        }
        check.reset(new CSegmentCheck(sums, FileNamePart(sumsPath), prompts));
        reader.SetSegmentCheck([&check](IFile& file, const std::string& path, std::string& refusal) {
            return check->Check(file, path, refusal);
        });
    }
    reader.Rejoin(destination);
    ::SetCursor(old);

    // After a set read from diskettes the first one may be out of the drive, but this program
    // runs from it: ask for it back until it is there again.
    bool removableModule = fs.DriveTypeOf(modulePath_.substr(0, 3)) == DriveType::Removable;
    bool askFirst = removableModule && !ModuleFileThere();
    bool told = reader.Stopped() || !reader.NotRestored().empty();
    // The walk ended at a segment flagged last, but the checksum file names more: the set's end
    // was lost, and a forged flag must not make it look whole.
    std::string base = FileNamePart(programPath_);
    base = base.substr(0, base.rfind('_'));
    if (check && !told && reader.ReachedLastSegment() && sums.SegmentsListed(base) > reader.SegmentCount()) {
        prompts.Message(FileNamePart(sumsPath) + " lists " + std::to_string(sums.SegmentsListed(base)) +
                        " segments, the set has " + std::to_string(reader.SegmentCount()) +
                        ": the end of the set is missing.");
        told = true;
    }
    std::string missing;
    if (!reader.Stopped() && !reader.ReachedLastSegment())
        missing = reader.MissingSegment().empty() ? "after " + reader.CurrentSegmentPath() : reader.MissingSegment();
    std::string text = rejoin_paths::CompletionMessage(askFirst, told, programPath_, destination, missing,
                                                       reader.IncompleteFile());
    if (!text.empty()) prompts.Message(text);
    while (askFirst && !ModuleFileThere()) prompts.Message(text);
    EndDialog(1);
}

bool CRejoinDialog::OnMeasureItem(int id, MEASUREITEMSTRUCT* item) {
    if (id != IDC_DRIVES && id != IDC_FOLDERS) return false;
    item->itemHeight = static_cast<UINT>(std::max(::GetSystemMetrics(SM_CYSMICON) + 2, 16));
    return true;
}

bool CRejoinDialog::OnDrawItem(int id, DRAWITEMSTRUCT* item) {
    if (id != IDC_DRIVES && id != IDC_FOLDERS) return false;
    HDC dc = item->hDC;
    RECT r = item->rcItem;
    bool selected = (item->itemState & ODS_SELECTED) != 0;
    ::FillRect(dc, &r, ::GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    if (item->itemID == static_cast<UINT>(-1)) return true;  // empty box: background only
    std::string text;
    HICON icon = nullptr;
    SHFILEINFOA info{};
    if (id == IDC_DRIVES) {
        text = winui::ComboBox(item->hwndItem).GetItemText(static_cast<int>(item->itemID));
        if (text.size() >= 3) {
            std::string root = std::string(1, text[2]) + ":\\";
            if (::SHGetFileInfoA(root.c_str(), 0, &info, sizeof info, SHGFI_ICON | SHGFI_SMALLICON)) icon = info.hIcon;
        }
    } else {
        text = FolderName(static_cast<int>(item->itemID));
        icon = folderIcon_;
    }
    int iconSize = ::GetSystemMetrics(SM_CXSMICON);
    if (icon)
        ::DrawIconEx(dc, r.left + 2, r.top + (r.bottom - r.top - iconSize) / 2, icon, iconSize, iconSize, 0,
                     nullptr, DI_NORMAL);
    if (info.hIcon) ::DestroyIcon(info.hIcon);
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, ::GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    RECT textRect = r;
    textRect.left += iconSize + 6;
    ::DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &textRect,
                DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    if (item->itemState & ODS_FOCUS) ::DrawFocusRect(dc, &r);
    return true;
}
