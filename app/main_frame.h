// CMainFrame: the main program's fixed-size frame with its toolbar, status bar, menu 128, the
// view that fills it and the command chain frame -> view -> document -> application. It is the
// view's host: the view and the wizard reach the frame and the application only through it.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "model/recent_file_list.h"
#include "app/zm_document.h"
#include "dialogs/zm_view.h"
#include "dialogs/zm_view_host.h"
#include "winui/frame_window.h"

class CMainFrame : public winui::FrameWindow, public IZmViewHost {
public:
    static constexpr int kWidth = 640;
    static constexpr int kHeight = 450;

    CMainFrame();
    ~CMainFrame() override;

    // Creates the window centred on the screen (not yet shown): toolbar, status bar and view.
    // False when any part fails.
    bool CreateMainFrame();

    CZmView* ActiveView() const { return view_.get(); }
    IZmDocument* Document() const { return document_.get(); }
    // The framework's new-document step: makes the document (once) and runs its new step.
    bool NewDocument();

    // Caption "<title> - Zembra".
    void SetDocumentTitle(const std::string& title) override;
    // Status bar pane 0 (message), 1 to 3 (the key panes; a text put there by the view wins).
    void SetStatusText(int pane, const std::string& text) override;
    std::string StatusText(int pane) const;
    HWND ToolBar() const { return toolbar_; }
    // The bitmap strip the toolbar draws from; the frame deletes it when it goes.
    HBITMAP ToolBarStrip() const { return toolbarStrip_; }
    HWND StatusBar() const override { return status_; }

    // Recent-file list (4 entries under "Recent File List"); entries answer 57616..57619.
    CRecentFileList& RecentFiles() { return recent_; }

    // Refreshes the toolbar buttons' enabled state from the command chain.
    void UpdateToolbar() override;
    // Caps, Num and Scroll Lock panes follow the keyboard.
    void UpdateKeyPanes();
    // Runs a command through the chain as a menu would; false when no link handled it.
    bool RouteCommand(int id) override;

    // IZmViewHost: the rest of what the view may ask.
    HWND HostWindow() const override { return Handle(); }
    void AddRecentFile(const std::string& path) override { recent_.Add(path); }
    bool HasDocument() const override { return document_ != nullptr; }
    std::string WorkDirectory() const override;
    const char* PendingCommandLine() const override;
    void ClearPendingCommandLine() override;

protected:
    bool OnCommand(int id, int code, HWND control) override;
    void OnInitMenuPopup(HMENU menu, int index) override;
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

private:
    bool OnCreateFrame();
    bool CreateToolBar();
    bool CreateStatusBar();
    void Layout();
    void ShowBar(HWND bar, bool show);
    bool IsEnabled(int id);
    void ShowPrompt(int id);
    bool OnNotifyMessage(NMHDR* header, LRESULT& result);
    bool OnOwnCommand(int id);
    void EditCommand(int id);

    HWND toolbar_ = nullptr;
    HBITMAP toolbarStrip_ = nullptr;
    HWND status_ = nullptr;
    std::unique_ptr<CZmView> view_;
    std::unique_ptr<IZmDocument> document_;
    std::string viewPaneText_[4];
    std::string title_;
    CRecentFileList recent_;
};
