// CFileList: the items of one shell folder in a list control (list mode, small system icons,
// the shortcut overlay), files filtered by a wildcard pattern, folders always listed.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "view/folder_record.h"
#include "winui/window.h"

class CFileList : public winui::Window {
public:
    // Creates the list control in place of a template item (same rectangle and id).
    bool CreateInPlaceOf(HWND dialog, int id);
    void SetImageList(HIMAGELIST images);

    // Lists the items of the folder a tree node shows; pattern as typed ("*.txt").
    void Fill(const FolderRecord& folderNode, const std::string& pattern);
    void Clear();

    // The list's own notifications, passed on by the owner: item texts and icons, an item going
    // (its record freed), a label edit (refused). False for the others (clicks are the owner's).
    bool HandleNotify(NMHDR* header, LRESULT& result);

    int Count() const { return ListView_GetItemCount(hwnd_); }
    FolderRecord* Record(int index) const;
    // The item's full path: the plain parsing form (Add) or the one for an address bar
    // (double-click); "" when the shell gives none.
    std::string FullPath(int index, bool forAddressBar) const;
    int HitTest(POINT client) const;

private:
    void OnGetDispInfo(NMLVDISPINFOA* info);
    void OnDeleteItem(NMLISTVIEW* info);

    IShellFolder* shown_ = nullptr;  // the folder listed, kept for sorting
};
