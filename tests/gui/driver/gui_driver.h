// GUI driver for end-to-end tests: start a program, find its windows with a time-out, type into
// controls, click buttons, read and answer message boxes, wait for the program to end.
// Works across processes and from a second thread of the process that shows the windows.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace gui {

constexpr int kTimeoutMs = 15000;

// A program started for a test; terminated by the destructor if it is still running.
class Program {
public:
    Program() = default;
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // commandLine: program first, quoted as needed. False when it could not start.
    bool Start(const std::string& commandLine, const std::string& workFolder = std::string());
    DWORD Pid() const { return pid_; }
    bool Running() const;
    // True when the program ended within the time-out; exitCode receives its code.
    bool WaitExit(int timeoutMs = kTimeoutMs, DWORD* exitCode = nullptr);
    void Terminate();

private:
    HANDLE process_ = nullptr;
    DWORD pid_ = 0;
};

// What a top-level window must match; empty strings and pid 0 match anything.
struct WindowQuery {
    std::string className;
    std::string title;
    bool titlePrefix = false;  // title only has to start with the given text
    DWORD pid = 0;
    bool visibleOnly = true;
};

// Polls until cond() holds or the time-out passes; returns the last cond().
bool WaitUntil(const std::function<bool()>& cond, int timeoutMs = kTimeoutMs);

std::vector<HWND> TopWindows(const WindowQuery& query);
HWND FindTop(const WindowQuery& query, int timeoutMs = kTimeoutMs);
HWND FindTop(const std::string& className, const std::string& title, int timeoutMs = kTimeoutMs,
             DWORD pid = 0);
// Child control by id (direct or deeper), waiting for it to appear.
HWND FindChild(HWND parent, int id, int timeoutMs = kTimeoutMs);
bool WaitGone(HWND hwnd, int timeoutMs = kTimeoutMs);
bool WaitHidden(HWND hwnd, int timeoutMs = kTimeoutMs);
bool WaitVisible(HWND hwnd, int timeoutMs = kTimeoutMs);

std::string ClassName(HWND hwnd);
// Text of any window or control, in this process or another.
std::string Text(HWND hwnd);
bool SetText(HWND control, const std::string& text);
bool SetText(HWND dialog, int id, const std::string& text);
// Clicks a visible, enabled button: its parent gets BN_CLICKED, as from a mouse click.
// False when the button is missing, hidden or disabled.
bool Click(HWND button);
bool Click(HWND dialog, int id);
// Types a character into a window (WM_CHAR posted), e.g. 27 for Escape.
bool PostChar(HWND hwnd, char ch);

// Message boxes: #32770 dialogs whose text is the static with id 0xFFFF.
// A message box, not a dialog whose labels happen to carry the id 0xFFFF as well.
bool IsMessageBox(HWND hwnd);
HWND FindMessageBox(DWORD pid = 0, int timeoutMs = kTimeoutMs);
std::string MessageBoxText(HWND box);
// Presses IDOK, IDCANCEL, IDYES or IDNO in the box and waits for it to close.
bool Answer(HWND box, int buttonId);
// Finds the next message box, answers it and returns its text ("" when none came).
std::string AnswerNextMessageBox(int buttonId, DWORD pid = 0, int timeoutMs = kTimeoutMs);

}  // namespace gui
