// CRejoinDialog: remblo's "Select Destination" window: a small folder browser, the Rejoin
// button that runs the reader, and the ">" indicator while it reads.
#pragma once

#include <string>

#include "winui/dialog.h"

class CRejoinDialog : public winui::Dialog {
public:
    // programPath: the first segment (this program's file); modulePath: as the system gave it.
    CRejoinDialog(std::string programPath, std::string modulePath);
    ~CRejoinDialog() override;

    const std::string& SelectedDestination() const { return selectedDestination_; }

protected:
    bool OnInitDialog() override;
    void Exchange(winui::DataExchange& dx, bool save) override;
    bool OnCommand(int id, int code, HWND control) override;
    void OnOK() override;  // "&Rejoin"
    void OnCancel() override;  // "&Exit"; while a repair runs, it stops the repair
    bool OnDrawItem(int id, DRAWITEMSTRUCT* item) override;
    bool OnMeasureItem(int id, MEASUREITEMSTRUCT* item) override;

private:
    void FillDrives();
    void RefreshFolderView(bool selectCurrent = true);
    void ChooseDrive();
    void SelectFolder();
    void OpenFolder();
    void GoUp();
    void NewFolder();
    std::string FolderName(int index) const;
    void SetDestination(const std::string& destination);
    bool ModuleFileThere() const;
    static LRESULT CALLBACK FolderListProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

    HICON icon_ = nullptr;
    HICON folderIcon_ = nullptr;
    std::string selectedDestination_;
    std::string programPath_;
    std::string modulePath_;
    std::string currentFolder_;
    WNDPROC listProc_ = nullptr;
    class CRepairIndicator* repairing_ = nullptr;  // set while recovery volumes are at work
};
