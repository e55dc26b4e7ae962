// Dialog: a modal or modeless dialog made from a resource template, with virtual handlers and
// one Exchange function that moves fields to and from the controls.
//
// Usage: derive, list the fields in Exchange, and override only the handlers you need.
//
//     class CEditBoxDialog : public winui::Dialog {
//     public:
//         CEditBoxDialog(std::string title, std::string prompt)
//             : Dialog(1518), title_(std::move(title)), prompt_(std::move(prompt)) {}
//         std::string text;
//     protected:
//         bool OnInitDialog() override {
//             SetText(title_);
//             SetItemText(1050, prompt_);
//             Dialog::OnInitDialog();           // pushes the fields (Exchange, save = false)
//             ::SetFocus(Item(1011));
//             return false;                     // we set the focus ourselves
//         }
//         void Exchange(winui::DataExchange& dx, bool /*save*/) override {
//             dx.Text(1011, text);              // dx.Int(id, n), dx.IntRange(id, n, 1, 99) ...
//         }
//         bool OnCommand(int id, int code, HWND control) override;  // other buttons
//     private:
//         std::string title_, prompt_;
//     };
//
//     CEditBoxDialog dlg("New Directory", "Enter new directory name:");
//     if (dlg.DoModal(ownerHwnd) == IDOK) use(dlg.text);
//
// OK pulls the fields (Exchange with save = true); a refused value shows its message, focuses
// the control and keeps the dialog open. Cancel ends without pulling. A program whose main
// window is a dialog: winui::App::SetCaption("Zembra"); CMailDialog dlg; dlg.DoModal();
// the first dialog becomes App::MainWindow() while no other window holds that role.
// Messages the fixed handlers don't cover (registered messages, WM_SYSCOMMAND, WM_HELP, timers)
// go to OnMessage first.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "platform/prompts.h"
#include "winui/window.h"

namespace winui {

class DataExchange;

class Dialog : public Window {
public:
    explicit Dialog(int templateId, HINSTANCE resources = nullptr)
        : templateId_(templateId), resources_(resources) {}
    ~Dialog() override;

    // Runs the dialog modally, owned by App::OwnerFor(owner) (nullptr: the main window, or the
    // modal dialog running over it). Returns the code given to
    // EndDialog, or -1 when the template could not be loaded.
    INT_PTR DoModal(HWND owner = nullptr);
    // Creates the dialog modeless (shown if its template says WS_VISIBLE). False on failure.
    bool Create(HWND owner = nullptr);
    // Ends a modal dialog with the code, or destroys a modeless one (keeping the code).
    void EndDialog(INT_PTR code);
    INT_PTR Result() const { return result_; }
    bool IsModal() const { return modal_; }

    // Moves every field of Exchange into the controls (save = false) or back (save = true).
    // False when a value was refused (its message has been shown, the control focused).
    bool UpdateData(bool save);

    // Where data-exchange refusals are shown; default: message boxes owned by this dialog.
    void SetPrompts(IPrompts* prompts) { prompts_ = prompts; }
    IPrompts& Prompts();

    bool SetItemText(int id, const std::string& text) { return ::SetDlgItemTextA(hwnd_, id, text.c_str()) != FALSE; }
    std::string ItemText(int id) const;
    // A long text (a listing of many megabytes) into a control, emptying text: it is converted
    // to the control's UTF-16 here and the caller's copy is released before the control makes
    // its own, instead of the system converting a further copy while the caller's still stands.
    bool HandOverItemText(int id, std::string& text);
    bool ShowItem(int id, bool show) { return ::ShowWindow(Item(id), show ? SW_SHOW : SW_HIDE) != FALSE; }
    bool EnableItem(int id, bool enable) { return ::EnableWindow(Item(id), enable) != FALSE; }
    bool FocusItem(int id) { return ::SetFocus(Item(id)) != nullptr; }

protected:
    // Return true to let the system put the focus on the first control; false when the
    // handler set the focus itself. The default pushes the fields into the controls.
    virtual bool OnInitDialog();
    virtual void Exchange(DataExchange& dx, bool save);
    // A command other than IDOK and IDCANCEL; return true when handled.
    virtual bool OnCommand(int id, int code, HWND control);
    virtual bool OnNotify(int id, NMHDR* header, LRESULT& result);
    // Default: UpdateData(true), then EndDialog(IDOK) when nothing was refused.
    virtual void OnOK();
    // Default: EndDialog(IDCANCEL).
    virtual void OnCancel();
    virtual bool OnDrawItem(int id, DRAWITEMSTRUCT* item);
    virtual bool OnMeasureItem(int id, MEASUREITEMSTRUCT* item);
    // Sees every message first; return true when handled, with the message's result.
    virtual bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);
    // Called when the window is being destroyed (still valid).
    virtual void OnDestroy() {}

private:
    static INT_PTR CALLBACK StaticDialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    INT_PTR DialogProc(UINT msg, WPARAM wp, LPARAM lp);
    HWND OwnerOrMain(HWND owner) const;

    int templateId_;
    HINSTANCE resources_;
    bool modal_ = false;
    bool tookMainRole_ = false;
    INT_PTR result_ = 0;
    IPrompts* prompts_ = nullptr;
    std::unique_ptr<IPrompts> ownPrompts_;
};

}  // namespace winui
