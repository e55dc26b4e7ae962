// CZmView: the contract between the main frame and the one view that fills it.
//
// Life: the frame calls CreateZmView() once while it is created, then CreateView(host), the
// host being the frame's IZmViewHost (dialogs/zm_view_host.h); the view
// makes its window a WS_CHILD of the frame (a modeless dialog on its form template is the usual
// way; register it with winui::MessageLoop::AddModeless so Tab and Enter work). The frame owns the
// object, places the window in the band between the toolbar and the status bar (and again
// whenever either is shown or hidden) and shows it. After the first File New has created the
// document, the application calls OnInitialUpdate() once; the pending command line
// (IZmViewHost::PendingCommandLine) is there to be taken at that moment.
//
// Commands: a command travels frame -> view -> document -> application. The frame handles its
// own (options, help, home page, toolbar and status bar toggles, exit, Save 32776 and Ctrl+S),
// then calls OnCommand of the view (IZmCommandTarget); menu and toolbar states ask QueryCommand
// in the same order. Messages reach the view's window directly:
//   WM_ZM_VIEW_FORWARD  (WM_APP+1) sent by the frame on behalf of the engine;
//   WM_ZM_PROJECT_LOADED(WM_APP+2) sent by the document;
//   WM_ZM_EDIT_PRESET   (WM_APP+3) the view's own; it never reaches the frame;
//   WM_ZM_CONTEXT_HELP  (WM_APP+5) posted for Shift+F1: the view calls
//                       ZmShowContextHelp(frame, focused id, kViewHelpIds) (dialogs/help.h).
// Key messages go to PreTranslateMessage before the frame's accelerators (after the F1 rule),
// so the view can take Tab, Enter, Delete and the right button as it needs.
// The status bar's message pane (pane 0; the view's size text goes to pane 1 and the frame
// leaves it alone) is written with IZmViewHost::SetStatusText.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "dialogs/zm_command_target.h"
#include "dialogs/zm_messages.h"
#include "dialogs/zm_view_host.h"

class CZmView : public IZmCommandTarget {
public:
    // Creates the view's window as a child of the frame. False makes the frame's creation fail.
    virtual bool CreateView(IZmViewHost& host) = 0;
    virtual HWND ViewWindow() const = 0;
    // Once, after the first document exists.
    virtual void OnInitialUpdate() = 0;
    // A queued message before accelerators and dialog handling; true when consumed.
    virtual bool PreTranslateMessage(MSG& /*msg*/) { return false; }
    // Options > Default Work Directory chose folder: the frame has added it to the destination
    // combo (1012) and selected it there when preset 0 is chosen; the view makes it the save
    // location and exchanges its fields into the controls.
    virtual void SetSaveLocation(const std::string& /*folder*/) {}
};

// Defined once in view/ (the main form); the frame calls it while it is created.
std::unique_ptr<CZmView> CreateZmView();
