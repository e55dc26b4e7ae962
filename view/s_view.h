// CSView: the main form (template 101) that fills the main frame. The user composes a split set
// here: a shell folder tree and the file list of the chosen folder, the "Files To Split" list,
// the set's name, its save location and segment size, and the commands that build, rejoin,
// review and e-mail it.
//
// The view is a modeless child dialog of the frame and the frame's link to it in the command
// chain. Its fields are public: the build command, the wizard and the project loader read and
// set them (they go through Exchange like the form's own handlers).
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "dialogs/zm_view.h"
#include "engine/split_engine.h"
#include "view/file_list.h"
#include "view/folder_tree.h"
#include "model/preset_rules.h"
#include "model/project_memory.h"
#include "model/source_list.h"
#include "winui/dialog.h"
#include "winui/list_box.h"
#include "winui/message_box_prompts.h"

class CProgressPanel;

class CSView : public CZmView, public winui::Dialog {
public:
    static constexpr int kTemplate = 101;
    static constexpr const char* kDefaultSetName = "Kestrin";

    CSView();
    ~CSView() override;

    // CZmView: the frame's side.
    bool CreateView(IZmViewHost& host) override;
    HWND ViewWindow() const override { return Handle(); }
    void OnInitialUpdate() override;
    bool PreTranslateMessage(MSG& msg) override;
    bool OnCommand(int id) override;
    bool QueryCommand(int id, bool& enabled) override;
    void SetSaveLocation(const std::string& folder) override;

    // Operations other rooms call.
    // Status bar pane 1: the total size and, with a segment size, the segments it needs.
    void RefreshStatusText();
    // modified: set the modified flag and disable Email and Rejoin; else enable both. A save
    // location on a removable drive keeps both disabled either way.
    void SetButtonStates(bool modified);
    // The "Files To Split" list and its total (sizes as they were when each path was added).
    const CSourceList& Sources() const { return sources_; }
    uint64_t TotalSize() const { return sources_.Total(); }
    // Adds a path by the Add rules (the project loader refills the view this way).
    SourceAdd AddSource(const std::string& path);
    // Many paths at once (a project's sources): the list is measured once, not per path.
    void AddSources(const std::vector<std::string>& paths);
    void ClearSources();
    // Brings back the preset, size and destination a project was built with.
    void RestoreBuild(const ProjectBuild& build, const std::string& destination);
    // Keeps how a set was built under its listing's path; false when the settings refused it.
    bool RememberBuild(const std::string& listingPath, const ProjectBuild& build);
    bool RecallBuild(const std::string& listingPath, ProjectBuild& build);
    CSplitEngine& Engine() { return *engine_; }
    CProgressPanel& Progress() { return *progress_; }
    IPrompts& ViewPrompts() { return prompts_; }
    HIMAGELIST SystemImageList() const { return systemImages_; }

    // ---- Fields, exchanged with the form by Exchange -----------------------------------------
    std::string splitSetName;            // 1014
    int maxFileSize = 0;                 // 1011, K of 1000 bytes; 0 leaves it to the build
    std::string fileFilter = "*.*";      // 1019 "Show files"
    std::string currentPresetName = "Custom";
    std::string saveLocation;            // 1012 (the box's text), trailing backslash
    std::string sizeDisplayText;         // 1061
    int fromCommandLine = 0;             // started with files: start-up goes to wizard mode
    std::vector<std::string> commandLineSources;
    int mailing = 0;                     // 1 while Email builds and mails
    int userPresetCounter = 0;
    int notFirstPreset = 0;              // the build uses maxFileSize only when this is 1
    std::string exeDirectory;            // the program's folder, trailing backslash
    uint64_t bytesDone = 0;              // sum of the engine's per-entry reports (64-bit)
    int modified = 0;                    // changed since last built or opened

    // ==== Presets, save location and build ======================================================
    // Declared here, defined with the presets and the build command (s_view_presets.cpp,
    // s_view_build.cpp, custom_size*, build*). Their wiring goes where s_view.cpp marks it:
    // the commands in OnCommand (the form's and the frame's: 1008 comes from both), LoadPresets
    // in OnInitialUpdate, OnEditPreset in OnMessage (WM_ZM_EDIT_PRESET). The Delete key sends
    // the "-" command; Email runs the build through the frame's chain as the menu does.
    std::vector<std::string> presetNames;      // preset box 1026, same order
    std::vector<int32_t> presetSizes;          // K; -1 typed by the user, -2 defines a new one
    std::vector<std::string> presetLocations;  // "" stands for the work directory
    void LoadPresets(bool fillBox);            // custom.dat, at first update
    bool SavePresets();
    void OnPresetSelected();                   // 1026 selection changed
    void OnAddPreset();                        // "+" 1031
    void OnRemovePreset();                     // "-" 1032 and Delete on the preset box
    void OnEditPreset();                       // WM_APP+3
    void OnBrowseSaveLocation();               // "Browse" 1013
    void OnSaveLocationSelected();             // 1012 selection changed
    void OnSaveLocationEdited();               // 1012 text edited
    int OnBuild();                             // 1008 "Begin Split"; nonzero on success
    // The rules behind the preset box, working on the three lists above.
    CPresetRules& PresetRules();
    // Preset index applied for the wizard's size page: a preset defined there joins the box too;
    // the form's own fields stay as they are.
    PresetOutcome ApplyPresetForWizard(int index);

private:
    std::string WorkDirectory() const;
    bool AskCustomSize(CustomSizeValues& values);
    void TakePresetOutcome(const PresetOutcome& out);
    void UseSaveLocation(const std::string& location, bool remember);
    std::unique_ptr<ISettings> appProfile_;
    std::unique_ptr<CCustomDataFile> customData_;
    std::unique_ptr<CPresetList> presetList_;
    std::unique_ptr<CPresetRules> presetRules_;

public:
    // ============================================================================================

protected:
    bool OnInitDialog() override;
    void Exchange(winui::DataExchange& dx, bool save) override;
    bool OnCommand(int id, int code, HWND control) override;
    bool OnNotify(int id, NMHDR* header, LRESULT& result) override;
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;
    bool OnDrawItem(int id, DRAWITEMSTRUCT* item) override;
    void OnOK() override {}      // Enter and Escape never close the form
    void OnCancel() override {}
    void OnDestroy() override;

private:
    // s_view.cpp: creation, first update, layout, paint.
    void CreateShellControls();
    void TakeCommandLine();
    void Paint();

    // s_view_sources.cpp: the tree, the file list and the "Files To Split" list.
    void OnAdd();
    void OnRemove();
    void OnFileListDoubleClick(const NMITEMACTIVATE* click);
    void OnSourcesDoubleClick();
    void RefillFileList();
    bool AppendSource(const std::string& path);
    void RemoveSourceAt(int index);

    // s_view_commands.cpp: Email, keys, context help.
    void OnEmail();
    // The set named by the engine's listing lies in the save location as its listing says and
    // its sources have not changed since it was built.
    bool SetIsCurrent();
    bool RunBuild();
    bool OnKey(MSG& msg);
    void OnContextHelp();
    bool IsRemovable(const std::string& location);

    IZmViewHost* host_ = nullptr;
    winui::MessageBoxPrompts prompts_;
    std::unique_ptr<CProgressPanel> progress_;
    std::unique_ptr<IRejoinerImage> rejoinerImage_;
    std::unique_ptr<CSplitEngine> engine_;
    CSourceList sources_;
    winui::ListBox sourcesBox_;
    CFolderTree folderTree_;
    CFileList fileList_;
    HICON icons_[3] = {nullptr, nullptr, nullptr};
    HIMAGELIST systemImages_ = nullptr;
    bool comStarted_ = false;
};
