// CWizardFilesPage: the tree, the file list, Add, Remove and the total.
#include "wizard/wizard_files_page.h"

#include "platform/file_system.h"
#include "platform/text_case.h"
#include "resources/zembra_wizard_res.h"
#include "model/wizard_flow.h"
#include "model/wizard_rules.h"

namespace {

constexpr char kNoSize[] = "Selected file has no size.\nCannot be added to archive.";

}  // namespace

CWizardFilesPage::CWizardFilesPage() : CWizardPage(IDD_WIZARD_FILES), sources(SystemFileSystem()) {}

std::vector<std::string> CWizardFilesPage::Paths() const {
    std::vector<std::string> paths;
    for (const CSourceList::Entry& e : sources.Entries()) paths.push_back(e.path);
    return paths;
}

bool CWizardFilesPage::OnInitDialog() {
    CWizardPage::OnInitDialog();
    tree_.CreateInPlaceOf(hwnd_, IDC_WIZ_TREE);
    fileList_.CreateInPlaceOf(hwnd_, IDC_WIZ_FILE_LIST);
    tree_.SetImageList(systemImages);
    fileList_.SetImageList(systemImages);
    tree_.FillTopLevel();
    box_.Attach(Item(IDC_WIZ_SOURCES));
    for (const CSourceList::Entry& e : sources.Entries()) box_.AddString(e.path);
    MeasureExtent();
    if (box_.GetCount() > 0) SetItemText(IDC_WIZ_TOTAL, wizard_rules::TotalText(sources.Total()));
    EnableItem(kWizardNamePage, box_.GetCount() > 0);
    return true;
}

bool CWizardFilesPage::OnCommand(int id, int code, HWND) {
    if (id == IDC_WIZ_SOURCES && code == LBN_DBLCLK) {
        OnSourcesDoubleClick();
        return true;
    }
    if (code != BN_CLICKED) return false;
    switch (id) {
    case kWizardSizePage:
    case kWizardNamePage:
        EndDialog(id);
        return true;
    case IDC_WIZ_ADD:
        OnAdd();
        return true;
    case IDC_WIZ_REMOVE:
        OnRemove();
        return true;
    default:
        return false;
    }
}

bool CWizardFilesPage::OnNotify(int id, NMHDR* header, LRESULT& result) {
    if (id == IDC_WIZ_TREE) {
        if (header->code == TVN_SELCHANGEDA) {
            FolderRecord* record = tree_.Record(reinterpret_cast<NMTREEVIEWA*>(header)->itemNew.hItem);
            if (record) fileList_.Fill(*record, "*.*");
            return true;
        }
        return tree_.HandleNotify(header, result);
    }
    if (id == IDC_WIZ_FILE_LIST) {
        if (header->code == NM_DBLCLK) {
            OnFileListDoubleClick();
            return true;
        }
        return fileList_.HandleNotify(header, result);
    }
    return false;
}

void CWizardFilesPage::OnAdd() {
    bool added = false;
    for (int i = ListView_GetNextItem(fileList_, -1, LVNI_SELECTED); i >= 0;
         i = ListView_GetNextItem(fileList_, i, LVNI_SELECTED)) {
        std::string path = fileList_.FullPath(i, false);
        if (!path.empty()) added = AddPath(path) || added;
    }
    Refresh(added);
}

bool CWizardFilesPage::AddPath(const std::string& path) {
    switch (sources.Add(path)) {
    case SourceAdd::Added:
        box_.AddString(path);
        MeasureExtent();
        return true;
    case SourceAdd::NoSize:
        Prompts().Message(kNoSize);
        return false;
    default:  // already listed, or an empty folder: nothing to say
        return false;
    }
}

void CWizardFilesPage::OnRemove() {
    int count = box_.GetCount();
    bool any = false;
    for (int i = count - 1; i >= 0; --i) {
        if (box_.Send(LB_GETSEL, static_cast<WPARAM>(i)) > 0) {
            RemoveAt(i);
            any = true;
        }
    }
    if (any) Refresh(false);
}

void CWizardFilesPage::OnSourcesDoubleClick() {
    int i = box_.GetCurSel();
    if (i < 0) return;
    RemoveAt(i);
    Refresh(false);
}

void CWizardFilesPage::RemoveAt(int index) {
    sources.RemoveAt(static_cast<size_t>(index));
    box_.DeleteString(index);
    MeasureExtent();
}

void CWizardFilesPage::OnFileListDoubleClick() {
    POINT at;
    ::GetCursorPos(&at);
    ::ScreenToClient(fileList_, &at);
    int index = fileList_.HitTest(at);
    if (index < 0) return;
    std::string path = fileList_.FullPath(index, true);
    if (path.empty() || sources.Contains(path)) return;
    FileStatus status;
    if (SystemFileSystem().GetStatus(path, status) && !(status.attributes & kAttrFolder)) {
        if (CSourceList::PathSize(SystemFileSystem(), path) == 0) return;
        Refresh(AddPath(path));
        return;
    }
    OpenInTree(path, index);
}

void CWizardFilesPage::OpenInTree(const std::string& path, int listIndex) {
    HTREEITEM node = tree_.Selected();
    if (!node) return;
    TreeView_Expand(tree_, node, TVE_EXPAND);
    TreeView_EnsureVisible(tree_, node);
    size_t cut = path.find_last_of('\\');
    std::string name = UpperCase(cut == std::string::npos ? path : path.substr(cut + 1));
    int position = 0;
    for (HTREEITEM child = TreeView_GetChild(tree_, node); child; child = TreeView_GetNextSibling(tree_, child)) {
        if (UpperCase(tree_.ItemText(child)) == name || position == listIndex) {
            TreeView_SelectItem(tree_, child);
            return;
        }
        ++position;
    }
}

void CWizardFilesPage::Refresh(bool added) {
    SetItemText(IDC_WIZ_TOTAL, wizard_rules::TotalText(sources.Total()));
    ShowItem(IDC_WIZ_TOTAL, true);
    // Next needs something to split; a list of empty files is still a set.
    if (added) EnableItem(kWizardNamePage, true);
    if (box_.GetCount() == 0) EnableItem(kWizardNamePage, false);
}

void CWizardFilesPage::MeasureExtent() { box_.FitHorizontalExtent(8); }
