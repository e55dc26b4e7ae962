// CZmApp: start-up in its stated order, the last link of the command chain and the F1 rule.
#include "app/zm_app.h"

#include <vector>

#include "app/browser.h"
#include "dialogs/help.h"
#include "app/main_frame.h"
#include "platform/fallback_settings.h"
#include "platform/settings.h"
#include "resources/zembra_res.h"
#include "winui/app.h"
#include "winui/dialog.h"
#include "winui/message_loop.h"
#include "app/wizard_command.h"

namespace {
struct InstanceSearch {
    UINT message;
    bool answered;
};

BOOL CALLBACK AskWindow(HWND hwnd, LPARAM lp) {
    auto* search = reinterpret_cast<InstanceSearch*>(lp);
    DWORD_PTR answer = 0;
    // A hung window must not hold this start up for ever; it cannot be the running copy's
    // frame, which answers at once.
    if (::SendMessageTimeoutA(hwnd, search->message, 0, 0, SMTO_NORMAL | SMTO_ABORTIFHUNG, 5000, &answer) &&
        answer != 0)
        search->answered = true;
    return TRUE;  // every window is asked
}

bool PreTranslate(MSG& msg) { return ZmApp().PreTranslateMessage(msg); }
}  // namespace

CZmApp& ZmApp() {
    static CZmApp app;
    return app;
}

CZmApp::CZmApp() = default;
CZmApp::~CZmApp() = default;

bool CZmApp::OtherInstanceAnswered() {
    InstanceSearch search{instanceMessage_, false};
    ::EnumWindows(AskWindow, reinterpret_cast<LPARAM>(&search));
    return search.answered;
}

bool CZmApp::InitInstance(HINSTANCE instance, const char* commandLine) {
    winui::App::SetInstance(instance);
    winui::App::SetCaption(kAppName);

    // 1-3. One copy only: the running one answers the registered message and comes to the top.
    instanceMessage_ = ::RegisterWindowMessageA("ZEMBRA");
    if (instanceMessage_ != 0 && OtherInstanceAnswered()) return false;

    // 4. The program's folder.
    char path[MAX_PATH + 1] = {0};
    DWORD n = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    exeDirectory_.assign(path, n < MAX_PATH ? n : MAX_PATH);
    exeDirectory_.erase(exeDirectory_.rfind('\\') + 1);

    // 5. Common controls; the registry profile with its recent-file list is read by the frame.
    winui::App::InitCommonControls();

    // 7. The command line waits for the view's first update.
    hasPending_ = commandLine != nullptr && *commandLine != '\0';
    pending_ = hasPending_ ? commandLine : "";

    // 8. Work directory: the program's folder unless WIN.INI's [Zembra] names another.
    // Read whole: a folder cut after a fixed count of characters is another folder, and sets
    // would be written there.
    std::vector<char> winIni(kWinIniValueMax + 1, '\0');
    ::GetProfileStringA("Zembra", "WorkDirectory", "", winIni.data(), static_cast<DWORD>(winIni.size()));
    workDirectory_ = exeDirectory_;
    if (winIni[0] != '\0') workDirectory_ = winIni.data();

    // 10. A browser for the home page, found once.
    DetectBrowser(*OpenMailSettings());

    // 11-12. File New makes the frame, the document and the view.
    OnFileNew();
    if (!frame_ || !frame_->Exists()) return false;
    // Started with files, the program is the wizard alone: once it has ended the frame is
    // closing and is never shown.
    if (!WizardEndedProgram()) {
        ::ShowWindow(frame_->Handle(), SW_SHOWNORMAL);
        ::UpdateWindow(frame_->Handle());
    }
    winui::MessageLoop::SetPreTranslate(PreTranslate);
    return true;
}

int CZmApp::Run() { return winui::MessageLoop::Run(); }

void CZmApp::OnFileNew() {
    if (!firstNewDone_) {
        // The framework's new-document step: frame, document, view, then the view's first update.
        firstNewDone_ = true;
        auto frame = std::make_unique<CMainFrame>();
        if (!frame->CreateMainFrame()) return;
        if (!frame->NewDocument()) {
            frame->Destroy();
            return;
        }
        frame_ = std::move(frame);
        if (frame_->ActiveView()) frame_->ActiveView()->OnInitialUpdate();
        return;
    }
    // After start-up File New (Ctrl+N) asks for a project to open, as File Open does.
    if (frame_) frame_->Post(WM_ZM_OPEN_PROJECT, 1, 0);
}

bool CZmApp::OnCommand(int id) {
    switch (id) {
    case ID_FILE_NEW:
        OnFileNew();
        return true;
    case ID_FILE_OPEN:
        if (frame_) frame_->Post(WM_ZM_OPEN_PROJECT, 0, 0);
        return true;
    case ID_APP_ABOUT: {
        winui::Dialog about(IDD_ABOUTBOX);
        about.DoModal(frame_ ? frame_->Handle() : nullptr);
        return true;
    }
    case ID_CONTEXT_HELP:
        ShowFocusedControlHelp();
        return true;
    default:
        return false;
    }
}

void CZmApp::ShowFocusedControlHelp() {
    // The focused control of the main form (or the form's child that holds the focus).
    CZmView* view = frame_ ? frame_->ActiveView() : nullptr;
    HWND form = view ? view->ViewWindow() : nullptr;
    HWND focus = ::GetFocus();
    while (focus && form && ::GetParent(focus) != form) focus = ::GetParent(focus);
    if (focus && form) ZmShowContextHelp(frame_->Handle(), ::GetDlgCtrlID(focus), kFrameHelpIds);
}

bool CZmApp::PreTranslateMessage(MSG& msg) {
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_F1 && !(msg.lParam & (1L << 30)) &&
        (::GetKeyState(VK_F1) & 0x8000)) {
        // F1: help contents, posted to the frame; Shift+F1: the view's context help. Either way
        // the accelerators never see it.
        if (::GetKeyState(VK_SHIFT) & 0x8000) {
            CZmView* view = frame_ ? frame_->ActiveView() : nullptr;
            if (view && view->ViewWindow()) ::PostMessageA(view->ViewWindow(), WM_ZM_CONTEXT_HELP, 0, 0);
        } else if (frame_) {
            frame_->Post(WM_COMMAND, MAKEWPARAM(ID_HELP_CONTENTS, 0), 0);
        }
        return true;
    }
    if (msg.message == WM_KEYUP && frame_ &&
        (msg.wParam == VK_CAPITAL || msg.wParam == VK_NUMLOCK || msg.wParam == VK_SCROLL))
        frame_->UpdateKeyPanes();
    CZmView* view = frame_ ? frame_->ActiveView() : nullptr;
    return view && view->PreTranslateMessage(msg);
}
