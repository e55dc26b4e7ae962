// The file list of the folder chosen in the tree.
#include "view/file_list.h"

#include <algorithm>

#include "engine/split_engine.h"
#include "platform/text_case.h"

bool CFileList::CreateInPlaceOf(HWND dialog, int id) {
    return Window::CreateInPlaceOf(dialog, id, WC_LISTVIEWA,
                                   WS_CHILD | WS_VISIBLE | WS_DLGFRAME | WS_TABSTOP | LVS_LIST | LVS_SHAREIMAGELISTS |
                                       LVS_AUTOARRANGE | LVS_EDITLABELS | LVS_ALIGNLEFT);
}

void CFileList::SetImageList(HIMAGELIST images) { ListView_SetImageList(hwnd_, images, LVSIL_SMALL); }

void CFileList::Clear() {
    ListView_DeleteAllItems(hwnd_);  // the records go through LVN_DELETEITEM
    if (shown_) shown_->Release();
    shown_ = nullptr;
}

void CFileList::Fill(const FolderRecord& folderNode, const std::string& pattern) {
    Clear();
    IShellFolder* folder = BindToRecordFolder(folderNode);
    if (!folder) return;
    shown_ = folder;
    IEnumIDList* items = nullptr;
    if (folder->EnumObjects(hwnd_, SHCONTF_FOLDERS | SHCONTF_NONFOLDERS | SHCONTF_INCLUDEHIDDEN, &items) != S_OK ||
        !items)
        return;
    const std::string upperPattern = UpperCase(pattern);
    ::SendMessageA(hwnd_, WM_SETREDRAW, FALSE, 0);
    LPITEMIDLIST relative = nullptr;
    ULONG fetched = 0;
    int index = 0;
    while (items->Next(1, &relative, &fetched) == S_OK && fetched == 1) {
        ULONG attributes = SFGAO_LINK | SFGAO_SHARE | SFGAO_READONLY | SFGAO_GHOSTED | SFGAO_FOLDER | SFGAO_HASSUBFOLDER;
        LPCITEMIDLIST one = relative;
        bool keep = SUCCEEDED(folder->GetAttributesOf(1, &one, &attributes));
        if (keep && !(attributes & (SFGAO_FOLDER | SFGAO_HASSUBFOLDER))) {
            // Files are matched by their own name (parsing form, within the folder).
            std::string name = ShellDisplayName(folder, relative, SHGDN_INFOLDER | SHGDN_FORPARSING);
            keep = !name.empty() && CSplitEngine::MatchPattern(upperPattern, UpperCase(name));
        }
        FolderRecord* record = keep ? NewFolderRecord(folder, folderNode.absolute, relative, attributes) : nullptr;
        if (record) {
            LVITEMA item{};
            item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM | LVIF_STATE;
            item.iItem = index;
            // The shortcut arrow is a state, which the list asks the owner for only under a
            // callback mask; set once here it is simply kept.
            item.stateMask = LVIS_OVERLAYMASK;
            item.state = (attributes & SFGAO_LINK) ? INDEXTOOVERLAYMASK(2) : 0;
            item.pszText = LPSTR_TEXTCALLBACKA;
            item.iImage = I_IMAGECALLBACK;
            item.lParam = reinterpret_cast<LPARAM>(record);
            if (::SendMessageA(hwnd_, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)) < 0)
                FreeFolderRecord(record);
            else
                ++index;
        }
        ::CoTaskMemFree(relative);
        relative = nullptr;
    }
    items->Release();
    ListView_SortItems(hwnd_, CompareFolderRecords, reinterpret_cast<LPARAM>(folder));
    ::SendMessageA(hwnd_, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(hwnd_, nullptr, TRUE);
}

bool CFileList::HandleNotify(NMHDR* header, LRESULT& result) {
    switch (header->code) {
    case LVN_GETDISPINFOA:
        OnGetDispInfo(reinterpret_cast<NMLVDISPINFOA*>(header));
        return true;
    case LVN_DELETEITEM:
        OnDeleteItem(reinterpret_cast<NMLISTVIEW*>(header));
        return true;
    case LVN_ENDLABELEDITA:
    case LVN_ENDLABELEDITW:
        result = FALSE;  // the list shows the shell's names; it renames nothing
        return true;
    default:
        return false;
    }
}

void CFileList::OnGetDispInfo(NMLVDISPINFOA* info) {
    auto* record = reinterpret_cast<FolderRecord*>(info->item.lParam);
    if (!record) return;
    if (info->item.mask & LVIF_TEXT) {
        std::string name = ShellDisplayName(record->parent, record->relative, SHGDN_NORMAL);
        lstrcpynA(info->item.pszText, name.c_str(), info->item.cchTextMax);
    }
    if (info->item.mask & LVIF_IMAGE) info->item.iImage = ShellIconIndex(record->absolute, false);
}

void CFileList::OnDeleteItem(NMLISTVIEW* info) { FreeFolderRecord(reinterpret_cast<FolderRecord*>(info->lParam)); }

FolderRecord* CFileList::Record(int index) const {
    LVITEMA item{};
    item.mask = LVIF_PARAM;
    item.iItem = index;
    if (!::SendMessageA(hwnd_, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item))) return nullptr;
    return reinterpret_cast<FolderRecord*>(item.lParam);
}

std::string CFileList::FullPath(int index, bool forAddressBar) const {
    FolderRecord* record = Record(index);
    if (!record) return std::string();
    return ShellDisplayName(record->parent, record->relative,
                            SHGDN_FORPARSING | (forAddressBar ? SHGDN_FORADDRESSBAR : 0));
}

int CFileList::HitTest(POINT client) const {
    LVHITTESTINFO hit{};
    hit.pt = client;
    return ListView_HitTest(hwnd_, &hit);
}
