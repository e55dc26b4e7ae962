// CFolderTree: the shell name space as a tree of folders: the desktop's folders at the top,
// children filled the first time a node opens, expand buttons only where there are subfolders.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "view/folder_record.h"
#include "winui/window.h"

class CFolderTree : public winui::Window {
public:
    // The nodes' records are freed with their nodes (TVN_DELETEITEM), the window's end included.
    CFolderTree() = default;

    // Creates the tree control in place of a template item (same rectangle and id).
    bool CreateInPlaceOf(HWND dialog, int id);
    void SetImageList(HIMAGELIST images);
    // The desktop's folders as the top level.
    void FillTopLevel();

    // The tree's own notifications, passed on by the owner: a node opening (filled the first
    // time), a node going (its record freed). False for the others (the selection is the owner's).
    bool HandleNotify(NMHDR* header, LRESULT& result);

    FolderRecord* Record(HTREEITEM item) const;
    HTREEITEM Selected() const { return TreeView_GetSelection(hwnd_); }
    std::string ItemText(HTREEITEM item) const;

private:
    bool OnItemExpanding(NMTREEVIEWA* info);
    void OnDeleteItem(NMTREEVIEWA* info);
    // The folder's subfolders under parent, sorted by the folder's own comparison.
    void FillChildren(IShellFolder* folder, LPCITEMIDLIST folderAbsolute, HTREEITEM parent);
};
