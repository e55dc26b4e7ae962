// Help: WinHelp when present and working, else the HTML help through the system's HTML handler,
// else the same help in the program's own window.
#include "dialogs/help.h"

#include <shellapi.h>
#include <shlwapi.h>

#include "dialogs/help_window.h"
#include "platform/file_system.h"
#include "platform/process.h"
#include "winui/message_box_prompts.h"
#include "winui/wait_cursor.h"

namespace {
// Through the platform's files, as the help window reads the file: the ANSI call is held to
// MAX_PATH and called a help file beside a program in a deeper folder missing.
bool FileExists(const std::string& path) {
    uint32_t attributes = 0;
    return SystemFileSystem().GetAttributes(path, attributes) && !(attributes & (kAttrFolder | kAttrDevice));
}

// The handler's command for .html with the URL in place of %1 (quoted by the template, or by us
// when the template has no placeholder). "" when no handler is registered.
std::string HandlerCommand(const std::string& url) {
    char command[2048] = {0};
    DWORD size = sizeof command;
    if (::AssocQueryStringA(ASSOCF_NOTRUNCATE, ASSOCSTR_COMMAND, ".html", "open", command, &size) != S_OK ||
        command[0] == '\0')
        return std::string();
    std::string line = command;
    for (const char* placeholder : {"%1", "%L", "%l"}) {
        size_t at = line.find(placeholder);
        if (at != std::string::npos) return line.replace(at, 2, url);
    }
    return line + " \"" + url + "\"";
}

// A handler that ends at once with a failure code found no browser to hand the page to (Wine's
// launcher on a machine without one): that is no help shown. One still running, or ended well,
// has done its part.
bool StartHandler(const std::string& commandLine) {
    STARTUPINFOA si;
    ::GetStartupInfoA(&si);
    PROCESS_INFORMATION pi{};
    std::string line = commandLine;  // CreateProcessA may write into its command line
    if (!::CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return false;
    ::CloseHandle(pi.hThread);
    // Launchers end within a moment; a browser that keeps running costs this wait once.
    winui::WaitCursor wait;
    DWORD code = 0;
    bool failed = ::WaitForSingleObject(pi.hProcess, 2000) == WAIT_OBJECT_0 &&
                  ::GetExitCodeProcess(pi.hProcess, &code) && code != 0;
    ::CloseHandle(pi.hProcess);
    return !failed;
}

bool TryWinHelp(HWND owner, unsigned long topic) {
    std::string hlp = ModuleFolder() + "Zembra.hlp";
    if (!FileExists(hlp)) return false;
    return topic == 0 ? ::WinHelpA(owner, hlp.c_str(), HELP_CONTENTS, 0) != FALSE
                      : ::WinHelpA(owner, hlp.c_str(), HELP_CONTEXTPOPUP, topic) != FALSE;
}
}  // namespace

std::string HelpUrl(const std::string& htmlPath, unsigned long topic) {
    std::string url = "file:///";
    for (char c : htmlPath) {
        if (c == '\\') url += '/';
        else if (c == ' ') url += "%20";
        else if (c == '#') url += "%23";
        else if (c == '%') url += "%25";
        else url += c;
    }
    std::string anchor = HelpAnchor(topic);
    return anchor.empty() ? url : url + "#" + anchor;
}

void ZmShowHelp(HWND owner, unsigned long topic) {
    if (TryWinHelp(owner, topic)) return;
    std::string html = ModuleFolder() + "Zembra.html";
    winui::MessageBoxPrompts prompts(owner);
    if (!FileExists(html)) {
        prompts.Show("The help file " + html + " cannot be found.", PromptButtons::Ok);
        return;
    }
    // The handler gets the URL with the topic's anchor; without a handler the shell opens the
    // file (at its top) as it can; without either, our own window shows it.
    std::string command = HandlerCommand(HelpUrl(html, topic));
    if (!command.empty()) {
        if (StartHandler(command)) return;
    } else if (reinterpret_cast<INT_PTR>(::ShellExecuteA(owner, "open", html.c_str(), nullptr, nullptr,
                                                         SW_SHOWNORMAL)) > 32) {
        return;
    }
    std::string why;
    if (CHelpWindow::Open(html, HelpAnchor(topic), why)) return;
    prompts.Show(why, PromptButtons::Ok);
}

bool ZmShowContextHelp(HWND owner, int controlId, const HelpIdPair* table) {
    unsigned long topic = HelpTopicFor(table, controlId);
    if (topic == 0) return false;
    ZmShowHelp(owner, topic);
    return true;
}
