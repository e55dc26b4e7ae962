// FolderRecord: what a node of the folder tree or an item of the file list keeps of the shell
// item it shows. Allocated with the shell's allocator and freed with it when the node or item
// goes away.
#pragma once

#include <windows.h>
// Not <shlobj.h>: it declares a function DriveType that hides the file system's enum of that
// name in files that use both.
#include <shobjidl.h>

#include <string>

struct FolderRecord {
    IShellFolder* parent = nullptr;   // the folder that holds the item (a counted reference)
    LPITEMIDLIST absolute = nullptr;  // from the desktop down
    LPITEMIDLIST relative = nullptr;  // the item's own id list, within parent
    ULONG attributes = 0;             // shell attribute bits (file list items)
};

// parentAbsolute nullptr: the parent is the desktop. Takes its own reference and copies of the
// id lists; nullptr when memory runs out.
FolderRecord* NewFolderRecord(IShellFolder* parent, LPCITEMIDLIST parentAbsolute, LPCITEMIDLIST relative,
                              ULONG attributes);
void FreeFolderRecord(FolderRecord* record);

// The shell folder object of the record's item itself; nullptr when it can't be bound.
IShellFolder* BindToRecordFolder(const FolderRecord& record);

// The item's name in one of the shell's forms (SHGDN_*); "" when the shell gives none.
std::string ShellDisplayName(IShellFolder* folder, LPCITEMIDLIST relative, DWORD flags);

// For a file system folder: false only when it surely holds no folder the tree would show
// (hidden ones are not shown). The shell's "has subfolders" bit is a guess on some systems.
bool MayHaveSubfolders(const std::string& folderPath);

// Sort callback of the tree and the list (lParam: the shell folder that holds both records): the
// folder orders its own items, drives by letter and so on.
int CALLBACK CompareFolderRecords(LPARAM a, LPARAM b, LPARAM folder);

// True when two absolute id lists name the same item.
bool SameShellItem(LPCITEMIDLIST a, LPCITEMIDLIST b);

// Small system icon index of an item, open-folder form when asked.
int ShellIconIndex(LPCITEMIDLIST absolute, bool open);
