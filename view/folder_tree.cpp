// The folder tree over the shell name space.
#include "view/folder_tree.h"

// Ahead of <shlobj.h>, whose DriveType() function would hide the platform's DriveType type.
#include "model/tree_rules.h"

#include <shlobj.h>

bool CFolderTree::CreateInPlaceOf(HWND dialog, int id) {
    return Window::CreateInPlaceOf(dialog, id, WC_TREEVIEWA,
                                   WS_CHILD | WS_VISIBLE | WS_DLGFRAME | WS_TABSTOP | TVS_HASBUTTONS | TVS_HASLINES |
                                       TVS_LINESATROOT | TVS_TRACKSELECT | TVS_SHOWSELALWAYS);
}

void CFolderTree::SetImageList(HIMAGELIST images) { TreeView_SetImageList(hwnd_, images, TVSIL_NORMAL); }

void CFolderTree::FillTopLevel() {
    IShellFolder* desktop = nullptr;
    if (FAILED(::SHGetDesktopFolder(&desktop))) return;
    FillChildren(desktop, nullptr, TVI_ROOT);
    desktop->Release();
}

void CFolderTree::FillChildren(IShellFolder* folder, LPCITEMIDLIST folderAbsolute, HTREEITEM parent) {
    IEnumIDList* items = nullptr;
    // S_FALSE means "nothing to enumerate" and leaves items null.
    if (folder->EnumObjects(hwnd_, SHCONTF_FOLDERS, &items) != S_OK || !items) return;
    LPITEMIDLIST relative = nullptr;
    ULONG fetched = 0;
    while (items->Next(1, &relative, &fetched) == S_OK && fetched == 1) {
        ULONG attributes = SFGAO_FOLDER | SFGAO_HASSUBFOLDER | SFGAO_FILESYSTEM;
        LPCITEMIDLIST one = relative;
        if (SUCCEEDED(folder->GetAttributesOf(1, &one, &attributes)) &&
            (attributes & (SFGAO_FOLDER | SFGAO_HASSUBFOLDER))) {
            std::string name = ShellDisplayName(folder, relative, SHGDN_NORMAL);
            FolderRecord* record = name.empty() ? nullptr : NewFolderRecord(folder, folderAbsolute, relative, attributes);
            if (record) {
                TVINSERTSTRUCTA insert{};
                insert.hParent = parent;
                insert.hInsertAfter = TVI_LAST;
                insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM | TVIF_CHILDREN;
                insert.item.pszText = &name[0];
                insert.item.iImage = ShellIconIndex(record->absolute, false);
                insert.item.iSelectedImage = ShellIconIndex(record->absolute, true);
                bool subfolders = (attributes & SFGAO_HASSUBFOLDER) != 0;
                if (subfolders && (attributes & SFGAO_FILESYSTEM)) {
                    // The shell says "has subfolders" of nearly every folder; a look inside
                    // spares the user empty expand buttons, where looking costs nothing.
                    std::string path = ShellDisplayName(folder, relative, SHGDN_FORPARSING);
                    auto type = path.size() > 3 ? SystemFileSystem().DriveTypeOf(path.substr(0, 3))
                                                     : DriveType::Unknown;
                    if (tree_rules::MayProbeForSubfolders(path, type)) subfolders = MayHaveSubfolders(path);
                }
                insert.item.cChildren = subfolders ? 1 : 0;
                insert.item.lParam = reinterpret_cast<LPARAM>(record);
                if (!Send(TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert))) FreeFolderRecord(record);
            }
        }
        ::CoTaskMemFree(relative);
        relative = nullptr;
    }
    items->Release();
    TVSORTCB sort{};
    sort.hParent = parent;
    sort.lpfnCompare = CompareFolderRecords;
    sort.lParam = reinterpret_cast<LPARAM>(folder);
    TreeView_SortChildrenCB(hwnd_, &sort, 0);
}

bool CFolderTree::HandleNotify(NMHDR* header, LRESULT& result) {
    // The W forms carry the same structure; only the text pointers differ, and none is read.
    switch (header->code) {
    case TVN_ITEMEXPANDINGA:
    case TVN_ITEMEXPANDINGW:
        result = OnItemExpanding(reinterpret_cast<NMTREEVIEWA*>(header)) ? TRUE : FALSE;
        return true;
    case TVN_DELETEITEMA:
    case TVN_DELETEITEMW:
        OnDeleteItem(reinterpret_cast<NMTREEVIEWA*>(header));
        return true;
    default:
        return false;
    }
}

bool CFolderTree::OnItemExpanding(NMTREEVIEWA* info) {
    if (info->action != TVE_EXPAND) return false;
    TVITEMA item{};
    item.mask = TVIF_STATE | TVIF_PARAM;
    item.hItem = info->itemNew.hItem;
    item.stateMask = TVIS_EXPANDEDONCE;
    if (!Send(TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item))) return false;
    if (item.state & TVIS_EXPANDEDONCE) return false;  // filled on the first opening
    auto* record = reinterpret_cast<FolderRecord*>(item.lParam);
    if (!record) return false;
    IShellFolder* folder = BindToRecordFolder(*record);
    if (!folder) return false;
    ::SetCursor(::LoadCursor(nullptr, IDC_WAIT));
    FillChildren(folder, record->absolute, info->itemNew.hItem);
    folder->Release();
    if (!TreeView_GetChild(hwnd_, info->itemNew.hItem)) {
        // Nothing to show after all: drop the button rather than open an empty node.
        TVITEMA none{};
        none.mask = TVIF_CHILDREN;
        none.hItem = info->itemNew.hItem;
        none.cChildren = 0;
        Send(TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&none));
    }
    return false;
}

void CFolderTree::OnDeleteItem(NMTREEVIEWA* info) {
    FreeFolderRecord(reinterpret_cast<FolderRecord*>(info->itemOld.lParam));
}

FolderRecord* CFolderTree::Record(HTREEITEM node) const {
    if (!node) return nullptr;
    TVITEMA item{};
    item.mask = TVIF_PARAM;
    item.hItem = node;
    if (!Send(TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item))) return nullptr;
    return reinterpret_cast<FolderRecord*>(item.lParam);
}

std::string CFolderTree::ItemText(HTREEITEM node) const {
    char text[MAX_PATH * 2] = "";
    TVITEMA item{};
    item.mask = TVIF_TEXT;
    item.hItem = node;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    if (!Send(TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item))) return std::string();
    return text;
}
