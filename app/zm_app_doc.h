// CZmAppDoc: the project document. It stores nothing of its own (the project file is the set's
// contents listing, written by the build); it serves the project commands: New, Open (dialog
// and recent files), Save As, Print, and the form's Rejoin and Review Results.
#pragma once

#include <string>

#include "app/project_loader.h"
#include "app/zm_document.h"

class CMainFrame;
class CSView;

class CZmAppDoc : public IZmDocument {
public:
    CZmAppDoc(CMainFrame& frame, CSView& view);

    bool OnCommand(int id) override;
    bool OnFrameMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

    // New (32772): forget the set, pick the next free name, reset the form.
    void OnNewSplit();
    // The open-project message: the "Select Zembrator File" dialog, then the loader.
    LRESULT OnOpenProject();
    // A recent-file entry (0 = newest).
    void OnOpenRecent(size_t index);
    // Save As (57604): asks a name, then builds under it.
    void OnSaveAs();
    // Print (32775): the listing of the open set on the printer.
    void OnPrint();

private:
    // Loads path and keeps it first in the recent-file list.
    int OpenProject(const std::string& path);

    CMainFrame& frame_;
    CSView& view_;
    CProjectLoader loader_;
    UINT helpMessage_;
};
