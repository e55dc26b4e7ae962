// GUI driver: polling searches over top-level windows and posted input, so a test never blocks
// on the program it drives.
#include "gui/driver/gui_driver.h"

namespace gui {

namespace {
constexpr int kPollMs = 30;
constexpr UINT kSendTimeoutMs = 5000;
constexpr int kMessageBoxTextId = 0xFFFF;

struct EnumState {
    const WindowQuery* query;
    std::vector<HWND> found;
};

bool Matches(HWND hwnd, const WindowQuery& q) {
    if (q.visibleOnly && !::IsWindowVisible(hwnd)) return false;
    if (q.pid) {
        DWORD pid = 0;
        ::GetWindowThreadProcessId(hwnd, &pid);
        if (pid != q.pid) return false;
    }
    if (!q.className.empty() && lstrcmpiA(ClassName(hwnd).c_str(), q.className.c_str()) != 0)
        return false;
    if (!q.title.empty()) {
        std::string title = Text(hwnd);
        if (q.titlePrefix ? title.compare(0, q.title.size(), q.title) != 0 : title != q.title)
            return false;
    }
    return true;
}

struct ChildSearch {
    int id;
    HWND hit;
};

BOOL CALLBACK FindById(HWND hwnd, LPARAM lp) {
    auto* s = reinterpret_cast<ChildSearch*>(lp);
    if (::GetDlgCtrlID(hwnd) != s->id) return TRUE;
    s->hit = hwnd;
    return FALSE;
}

BOOL CALLBACK NoteProp(HWND, LPSTR name, HANDLE, ULONG_PTR found) {
    if (reinterpret_cast<ULONG_PTR>(name) > 0xFFFF && lstrcmpA(name, "WINE_MSGBOX_HELPCALLBACK") == 0) {
        *reinterpret_cast<bool*>(found) = true;
        return FALSE;
    }
    return TRUE;
}

bool UnderWine() {
    static const bool wine = ::GetProcAddress(::GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
    return wine;
}

struct Shape {
    int textStatics = 0;
    bool onlyStaticsAndStandardButtons = true;
};

BOOL CALLBACK NoteChild(HWND hwnd, LPARAM lp) {
    auto* shape = reinterpret_cast<Shape*>(lp);
    int id = ::GetDlgCtrlID(hwnd);
    std::string cls = ClassName(hwnd);
    if (id == kMessageBoxTextId) ++shape->textStatics;
    bool isStatic = lstrcmpiA(cls.c_str(), "Static") == 0;
    bool standardButton = lstrcmpiA(cls.c_str(), "Button") == 0 && id >= IDOK && id <= IDCONTINUE;
    if (!isStatic && !standardButton) shape->onlyStaticsAndStandardButtons = false;
    return TRUE;
}

BOOL CALLBACK CollectTop(HWND hwnd, LPARAM lp) {
    auto* state = reinterpret_cast<EnumState*>(lp);
    if (Matches(hwnd, *state->query)) state->found.push_back(hwnd);
    return TRUE;
}
}  // namespace

Program::~Program() {
    if (Running()) Terminate();
    if (process_) ::CloseHandle(process_);
}

bool Program::Start(const std::string& commandLine, const std::string& workFolder) {
    if (process_) return false;
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    std::string line = commandLine;  // CreateProcessA may write into it
    if (!::CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr,
                          workFolder.empty() ? nullptr : workFolder.c_str(), &si, &pi))
        return false;
    ::CloseHandle(pi.hThread);
    process_ = pi.hProcess;
    pid_ = pi.dwProcessId;
    // Windows appear only after the program's first message loop turn.
    ::WaitForInputIdle(process_, 5000);
    return true;
}

bool Program::Running() const {
    return process_ && ::WaitForSingleObject(process_, 0) == WAIT_TIMEOUT;
}

bool Program::WaitExit(int timeoutMs, DWORD* exitCode) {
    if (!process_) return false;
    if (::WaitForSingleObject(process_, static_cast<DWORD>(timeoutMs)) != WAIT_OBJECT_0) return false;
    if (exitCode) ::GetExitCodeProcess(process_, exitCode);
    return true;
}

void Program::Terminate() {
    if (!process_) return;
    ::TerminateProcess(process_, 255);
    ::WaitForSingleObject(process_, 5000);
}

bool WaitUntil(const std::function<bool()>& cond, int timeoutMs) {
    DWORD start = ::GetTickCount();
    for (;;) {
        if (cond()) return true;
        if (static_cast<int>(::GetTickCount() - start) >= timeoutMs) return cond();
        ::Sleep(kPollMs);
    }
}

std::vector<HWND> TopWindows(const WindowQuery& query) {
    EnumState state{&query, {}};
    ::EnumWindows(CollectTop, reinterpret_cast<LPARAM>(&state));
    return state.found;
}

HWND FindTop(const WindowQuery& query, int timeoutMs) {
    HWND found = nullptr;
    WaitUntil([&] {
        auto all = TopWindows(query);
        found = all.empty() ? nullptr : all.front();
        return found != nullptr;
    }, timeoutMs);
    return found;
}

HWND FindTop(const std::string& className, const std::string& title, int timeoutMs, DWORD pid) {
    WindowQuery q;
    q.className = className;
    q.title = title;
    q.pid = pid;
    return FindTop(q, timeoutMs);
}

HWND FindChild(HWND parent, int id, int timeoutMs) {
    HWND found = nullptr;
    WaitUntil([&] {
        found = ::GetDlgItem(parent, id);
        if (!found) {
            // Controls inside a group or a child dialog: search the whole tree.
            ChildSearch s{id, nullptr};
            ::EnumChildWindows(parent, FindById, reinterpret_cast<LPARAM>(&s));
            found = s.hit;
        }
        return found != nullptr || !::IsWindow(parent);
    }, timeoutMs);
    return found;
}

bool WaitGone(HWND hwnd, int timeoutMs) {
    return WaitUntil([&] { return !::IsWindow(hwnd); }, timeoutMs);
}

bool WaitHidden(HWND hwnd, int timeoutMs) {
    return WaitUntil([&] { return !::IsWindow(hwnd) || !::IsWindowVisible(hwnd); }, timeoutMs);
}

bool WaitVisible(HWND hwnd, int timeoutMs) {
    return WaitUntil([&] { return ::IsWindowVisible(hwnd) != FALSE; }, timeoutMs);
}

std::string ClassName(HWND hwnd) {
    char name[256] = "";
    ::GetClassNameA(hwnd, name, sizeof name);
    return name;
}

std::string Text(HWND hwnd) {
    DWORD_PTR n = 0;
    // WM_GETTEXT, not GetWindowText: the latter does not read another process's controls.
    if (!::SendMessageTimeoutA(hwnd, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &n))
        return std::string();
    std::string text(n + 1, '\0');
    DWORD_PTR got = 0;
    if (!::SendMessageTimeoutA(hwnd, WM_GETTEXT, n + 1, reinterpret_cast<LPARAM>(&text[0]),
                               SMTO_ABORTIFHUNG, kSendTimeoutMs, &got))
        return std::string();
    text.resize(got);
    return text;
}

bool SetText(HWND control, const std::string& text) {
    DWORD_PTR r = 0;
    return control && ::SendMessageTimeoutA(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                                            SMTO_ABORTIFHUNG, kSendTimeoutMs, &r) && r;
}

bool SetText(HWND dialog, int id, const std::string& text) {
    return SetText(FindChild(dialog, id), text);
}

bool Click(HWND button) {
    if (!button || !::IsWindowVisible(button) || !::IsWindowEnabled(button)) return false;
    HWND parent = ::GetParent(button);
    int id = ::GetDlgCtrlID(button);
    return parent && ::PostMessageA(parent, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                                    reinterpret_cast<LPARAM>(button));
}

bool Click(HWND dialog, int id) { return Click(FindChild(dialog, id)); }

bool PostChar(HWND hwnd, char ch) {
    return ::PostMessageA(hwnd, WM_CHAR, static_cast<unsigned char>(ch), 1) != FALSE;
}

// Dialogs often give their labels the id 0xFFFF too, so the text static alone does not tell
// a message box from an ordinary dialog.
bool IsMessageBox(HWND hwnd) {
    if (ClassName(hwnd) != "#32770" || !::GetDlgItem(hwnd, kMessageBoxTextId)) return false;
    if (UnderWine()) {
        bool found = false;
        ::EnumPropsExA(hwnd, NoteProp, reinterpret_cast<LPARAM>(&found));
        return found;
    }
    Shape shape;
    ::EnumChildWindows(hwnd, NoteChild, reinterpret_cast<LPARAM>(&shape));
    return shape.textStatics == 1 && shape.onlyStaticsAndStandardButtons;
}

HWND FindMessageBox(DWORD pid, int timeoutMs) {
    WindowQuery q;
    q.className = "#32770";
    q.pid = pid;
    HWND found = nullptr;
    WaitUntil([&] {
        for (HWND h : TopWindows(q))
            if (IsMessageBox(h)) { found = h; return true; }
        return false;
    }, timeoutMs);
    return found;
}

std::string MessageBoxText(HWND box) {
    HWND text = ::GetDlgItem(box, kMessageBoxTextId);
    return text ? Text(text) : std::string();
}

bool Answer(HWND box, int buttonId) {
    if (!box || !::PostMessageA(box, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED),
                                reinterpret_cast<LPARAM>(::GetDlgItem(box, buttonId))))
        return false;
    return WaitGone(box);
}

std::string AnswerNextMessageBox(int buttonId, DWORD pid, int timeoutMs) {
    HWND box = FindMessageBox(pid, timeoutMs);
    if (!box) return std::string();
    std::string text = MessageBoxText(box);
    Answer(box, buttonId);
    return text;
}

}  // namespace gui
