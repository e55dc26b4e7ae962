// CZmApp: the main program's application object: start-up (single instance, folders, settings,
// browser detection, the first File New), the application's commands and the F1 rule.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "model/profile_names.h"

class CMainFrame;

class CZmApp {
public:
    // The program's registry profile: HKCU\Software\<kRegistryKey>\<kAppName>.
    static constexpr const char* kRegistryKey = kZmRegistryKey;
    static constexpr const char* kAppName = kZmAppName;
    // Longest WIN.INI [Zembra] WorkDirectory read (the longest path Windows takes).
    static constexpr size_t kWinIniValueMax = 32767;

    CZmApp();
    ~CZmApp();

    // Start-up in its fixed order; false ends the process at once (a copy already runs, or the
    // frame could not be made).
    bool InitInstance(HINSTANCE instance, const char* commandLine);
    int Run();

    // The program's folder, with a trailing backslash.
    const std::string& ExeDirectory() const { return exeDirectory_; }
    // Where new sets go by default: the exe directory, WIN.INI's override, or the options' choice.
    const std::string& WorkDirectory() const { return workDirectory_; }
    void SetWorkDirectory(const std::string& folder) { workDirectory_ = folder; }
    // The command line kept for the view (nullptr when none); the view clears it once taken.
    const char* PendingCommandLine() const { return hasPending_ ? pending_.c_str() : nullptr; }
    void ClearPendingCommandLine() { hasPending_ = false; pending_.clear(); }

    UINT InstanceMessage() const { return instanceMessage_; }
    CMainFrame* Frame() const { return frame_.get(); }

    // Last link of the command chain: File New, File Open, About, context help.
    bool OnCommand(int id);
    // Before accelerators: the F1 rule, then the view's keys. True when consumed.
    bool PreTranslateMessage(MSG& msg);

private:
    bool OtherInstanceAnswered();
    void OnFileNew();
    void ShowFocusedControlHelp();

    UINT instanceMessage_ = 0;
    bool firstNewDone_ = false;
    std::string exeDirectory_;
    std::string workDirectory_;
    std::string pending_;
    bool hasPending_ = false;
    std::unique_ptr<CMainFrame> frame_;
};

// The one application object.
CZmApp& ZmApp();
