// Folder records and the shell name lookups the tree and the list share.
#include "view/folder_record.h"

#include <shellapi.h>
#include <shlobj.h>
#include <shlwapi.h>

FolderRecord* NewFolderRecord(IShellFolder* parent, LPCITEMIDLIST parentAbsolute, LPCITEMIDLIST relative,
                              ULONG attributes) {
    auto* record = static_cast<FolderRecord*>(::CoTaskMemAlloc(sizeof(FolderRecord)));
    if (!record) return nullptr;
    *record = FolderRecord();
    record->relative = ::ILClone(relative);
    record->absolute = parentAbsolute ? ::ILCombine(parentAbsolute, relative) : ::ILClone(relative);
    if (!record->relative || !record->absolute) {
        FreeFolderRecord(record);
        return nullptr;
    }
    record->parent = parent;
    parent->AddRef();
    record->attributes = attributes;
    return record;
}

int CALLBACK CompareFolderRecords(LPARAM a, LPARAM b, LPARAM folder) {
    auto* ra = reinterpret_cast<FolderRecord*>(a);
    auto* rb = reinterpret_cast<FolderRecord*>(b);
    if (!ra || !rb) return 0;
    HRESULT hr = reinterpret_cast<IShellFolder*>(folder)->CompareIDs(0, ra->relative, rb->relative);
    return static_cast<short>(HRESULT_CODE(hr));
}

void FreeFolderRecord(FolderRecord* record) {
    if (!record) return;
    if (record->parent) record->parent->Release();
    if (record->absolute) ::ILFree(record->absolute);
    if (record->relative) ::ILFree(record->relative);
    ::CoTaskMemFree(record);
}

IShellFolder* BindToRecordFolder(const FolderRecord& record) {
    IShellFolder* folder = nullptr;
    if (FAILED(record.parent->BindToObject(record.relative, nullptr, IID_IShellFolder,
                                           reinterpret_cast<void**>(&folder))))
        return nullptr;
    return folder;
}

std::string ShellDisplayName(IShellFolder* folder, LPCITEMIDLIST relative, DWORD flags) {
    STRRET ret;
    ret.uType = STRRET_CSTR;
    if (FAILED(folder->GetDisplayNameOf(relative, flags, &ret))) return std::string();
    char name[MAX_PATH * 2] = "";
    // StrRetToBuf frees the wide string the shell may have allocated.
    if (FAILED(::StrRetToBufA(&ret, relative, name, sizeof name))) return std::string();
    return name;
}

int ShellIconIndex(LPCITEMIDLIST absolute, bool open) {
    SHFILEINFOA info{};
    UINT flags = SHGFI_PIDL | SHGFI_SYSICONINDEX | SHGFI_SMALLICON | (open ? SHGFI_OPENICON : 0);
    if (!::SHGetFileInfoA(reinterpret_cast<LPCSTR>(absolute), 0, &info, sizeof info, flags)) return 0;
    return info.iIcon;
}

bool SameShellItem(LPCITEMIDLIST a, LPCITEMIDLIST b) {
    IShellFolder* desktop = nullptr;
    if (FAILED(::SHGetDesktopFolder(&desktop))) return false;
    bool same = HRESULT_CODE(desktop->CompareIDs(0, a, b)) == 0;
    desktop->Release();
    return same;
}

bool MayHaveSubfolders(const std::string& folderPath) {
    std::string pattern = folderPath;
    if (!pattern.empty() && pattern.back() != '\\') pattern += '\\';
    pattern += '*';
    WIN32_FIND_DATAA found;
    HANDLE find = ::FindFirstFileExA(pattern.c_str(), FindExInfoStandard, &found, FindExSearchLimitToDirectories,
                                     nullptr, 0);
    if (find == INVALID_HANDLE_VALUE) return ::GetLastError() != ERROR_FILE_NOT_FOUND;
    bool any = false;
    do {
        const bool dots = lstrcmpA(found.cFileName, ".") == 0 || lstrcmpA(found.cFileName, "..") == 0;
        any = !dots && (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
              !(found.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN);
    } while (!any && ::FindNextFileA(find, &found));
    ::FindClose(find);
    return any;
}
