// CWizardFilesPage: wizard page 2, the files and folders to split, chosen from the folder tree
// and file list of the main view (the same classes; the list shows every file, "*.*").
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <string>
#include <vector>

#include "view/file_list.h"
#include "view/folder_tree.h"
#include "model/source_list.h"
#include "wizard/wizard_page.h"
#include "winui/list_box.h"

class CWizardFilesPage : public CWizardPage {
public:
    CWizardFilesPage();

    // The sources and their total, kept between runs of the page.
    CSourceList sources;
    HIMAGELIST systemImages = nullptr;

    std::vector<std::string> Paths() const;

protected:
    bool OnInitDialog() override;
    bool OnCommand(int id, int code, HWND control) override;
    bool OnNotify(int id, NMHDR* header, LRESULT& result) override;
    void OnOK() override {}  // no OK button: Enter presses the default, Next
    void OnDestroy() override { fileList_.Clear(); }

private:
    void OnAdd();
    void OnRemove();
    void OnSourcesDoubleClick();
    void OnFileListDoubleClick();
    // One path by the main view's Add rule; false when it was not added.
    bool AddPath(const std::string& path);
    // A folder of the file list opened in the tree, which lists it in turn.
    void OpenInTree(const std::string& path, int listIndex);
    void RemoveAt(int index);
    void Refresh(bool added);
    void MeasureExtent();

    CFolderTree tree_;
    CFileList fileList_;
    winui::ListBox box_;
};
