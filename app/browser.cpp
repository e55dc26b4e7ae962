// Browser detection from the local machine's registry and the home page command.
#include "app/browser.h"

#include <commdlg.h>

#include "platform/process.h"
#include "platform/prompts.h"
#include "platform/settings.h"
#include "winui/app.h"

const char kHomePageAddress[] = "http://www.orlaq.com/shop/redirect.htm?product=ZEMBRA10";

namespace {
const char kSection[] = "EMailSetup";
const char kKey[] = "BROWSER";
const char kNetscapeKey[] = "software\\Netscape\\Netscape Navigator";

// A string value read into a zero-filled 390-byte buffer, as the stored settings are; a value
// that does not fit or is not a string reads as empty.
std::string ReadValue(HKEY key, const char* name) {
    char buffer[390] = {0};
    DWORD size = sizeof buffer - 1, type = 0;
    if (::RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ))
        return std::string();
    buffer[sizeof buffer - 1] = '\0';
    return buffer;
}

bool OpenKey(const std::string& name, HKEY& key) {
    return ::RegOpenKeyExA(HKEY_LOCAL_MACHINE, name.c_str(), 0, KEY_QUERY_VALUE, &key) == ERROR_SUCCESS;
}
}  // namespace

bool FindInternetExplorer(std::string& path) {
    HKEY key;
    if (!OpenKey("software\\Microsoft\\IE4\\setup", key)) return false;
    std::string folder = ReadValue(key, "Path");
    ::RegCloseKey(key);
    path = folder + "\\iexplore.exe";
    return true;
}

bool FindNetscape(std::string& path) {
    HKEY key;
    if (!OpenKey(kNetscapeKey, key)) return false;
    std::string version = ReadValue(key, "CurrentVersion");
    ::RegCloseKey(key);
    if (version.empty()) return false;
    if (!OpenKey(std::string(kNetscapeKey) + "\\" + version + "\\main", key)) return false;
    std::string folder = ReadValue(key, "Install Directory");
    ::RegCloseKey(key);
    if (folder.empty()) return false;
    path = folder + "\\netscape.exe";
    return true;
}

void DetectBrowser(ISettings& mail) {
    if (!mail.GetString(kSection, kKey, "").empty()) return;
    std::string path;
    FindInternetExplorer(path);
    if (path.empty()) FindNetscape(path);
    if (!path.empty()) mail.WriteString(kSection, kKey, path);
}

void OpenHomePage(HWND owner, const std::string& exeDirectory, ISettings& mail, IPrompts& prompts) {
    std::string browser = mail.GetString(kSection, kKey, "");
    if (browser.empty()) {
        char file[MAX_PATH * 2] = {0};
        OPENFILENAMEA ofn{};
        ofn.lStructSize = sizeof ofn;
        ofn.hwndOwner = winui::App::OwnerFor(owner);
        ofn.lpstrFilter = "Browser\0*.exe\0";
        ofn.lpstrFile = file;
        ofn.nMaxFile = sizeof file;
        ofn.lpstrInitialDir = exeDirectory.c_str();
        ofn.lpstrTitle = "Select Browser";
        ofn.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
        if (!::GetOpenFileNameA(&ofn)) return;
        browser = file;
        if (browser.empty()) {
            prompts.Show("No Browser Selected.", PromptButtons::Ok);
            return;
        }
        if (!mail.WriteString(kSection, kKey, browser))
            prompts.Show("The settings could not be saved.", PromptButtons::Ok);  // asked again next time
    }
    // The path is quoted: unquoted, the system tries its spaces in turn and would start
    // "C:\Program.exe" before "C:\Program Files\...". A stored value quoted already stays so.
    std::string program = browser.front() == '"' ? browser : "\"" + browser + "\"";
    if (!StartProcess(program + " " + kHomePageAddress)) {
        mail.WriteString(kSection, kKey, "");
        prompts.Show("Failed to start the Browser!", PromptButtons::Ok);
    }
}
