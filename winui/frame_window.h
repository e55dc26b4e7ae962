// FrameWindow: a program's main overlapped window with its menu, icon and accelerators from the
// resources, and one view (a child dialog from a template, a form) filling the client area.
#pragma once

#include <windows.h>

#include <string>

#include "winui/window.h"

namespace winui {

class Dialog;

class FrameWindow : public Window {
public:
    // Registers the class (once) and creates the window with the menu, icon and accelerator
    // table of resource id resourceId (each optional). Becomes App::MainWindow().
    bool CreateFrame(const char* className, const std::string& title, int resourceId,
                     DWORD style = WS_OVERLAPPEDWINDOW, int x = CW_USEDEFAULT, int y = CW_USEDEFAULT,
                     int width = CW_USEDEFAULT, int height = CW_USEDEFAULT);
    // The view fills the client area and receives the commands the frame does not handle.
    // It must be created modeless, as a child of this frame (a WS_CHILD template).
    void SetView(Dialog* view);
    Dialog* View() const { return view_; }

protected:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    // A menu, accelerator or control command; false passes it on to the view.
    virtual bool OnCommand(int id, int code, HWND control);
    // Before a menu drops down: enable and check its items.
    virtual void OnInitMenuPopup(HMENU /*menu*/, int /*index*/) {}
    // Return false to stay open (unsaved work the user wants to keep).
    virtual bool OnClose() { return true; }
    // Anything else; return true when handled, with the result.
    virtual bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);

private:
    void FitView();

    Dialog* view_ = nullptr;
    HACCEL accelerators_ = nullptr;
};

}  // namespace winui
