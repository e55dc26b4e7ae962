// CNewDirFileDlg: a folder chooser on the system's old-style open dialog (template 1536), whose
// file controls are hidden and whose "&New Dir" button makes a new folder. Callers use
// ChooseFolder.
#pragma once

#include <windows.h>

#include <string>

class CNewDirFileDlg {
public:
    explicit CNewDirFileDlg(const std::string& startFolder);
    // True when the user pressed OK (or New Dir gave a name); PathName() is then the dummy file's path.
    bool DoModal(HWND owner);
    const std::string& PathName() const { return path_; }

    // The folder shown when New Dir was used, with a trailing backslash.
    const std::string& CurrentFolder() const { return currentFolder_; }
    // The name entered in New Dir, trimmed; "" when none is pending.
    static const std::string& NewFolderName();

private:
    static UINT_PTR CALLBACK Hook(HWND dialog, UINT msg, WPARAM wp, LPARAM lp);
    void OnInit(HWND dialog);
    void OnNewDir(HWND dialog);

    std::string startFolder_;
    std::string path_;
    std::string currentFolder_;
};

// Shows the chooser starting in folder (owner: the window it belongs to). On OK folder holds the
// chosen folder (no trailing backslash unless the system gives one) or the New Dir folder, and
// the result is true, even when that folder could not be made (the user has been told).
bool ChooseFolder(std::string& folder, HWND owner);
