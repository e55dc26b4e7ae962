// IZmViewHost: what the main form and the wizard may ask of the frame and the application that
// hold them. The frame implements it and hands it to the view in CreateView, so nothing below
// app/ includes the frame or the application.
#pragma once

#include <windows.h>

#include <string>

class IZmViewHost {
public:
    virtual ~IZmViewHost() = default;
    // The frame's window: owner of the view's messages and prompts.
    virtual HWND HostWindow() const = 0;
    // Status bar pane 0 (message), 1 (the view's size text), 2 and 3 (the key panes).
    virtual void SetStatusText(int pane, const std::string& text) = 0;
    // Null while the frame has no status bar.
    virtual HWND StatusBar() const = 0;
    // Refreshes the toolbar buttons' enabled state from the command chain.
    virtual void UpdateToolbar() = 0;
    // Caption "<title> - Zembra".
    virtual void SetDocumentTitle(const std::string& title) = 0;
    virtual void AddRecentFile(const std::string& path) = 0;
    // True once File New has made the document.
    virtual bool HasDocument() const = 0;
    // Runs a command through the chain as a menu would; false when no link handled it.
    virtual bool RouteCommand(int id) = 0;
    // Where new sets go by default.
    virtual std::string WorkDirectory() const = 0;
    // The command line kept for the view (nullptr when none); cleared once taken.
    virtual const char* PendingCommandLine() const = 0;
    virtual void ClearPendingCommandLine() = 0;
};
