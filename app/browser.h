// Browser launch: finding an installed browser in the registry (stored as "BROWSER" in the mail
// settings file) and the home page command that starts it with the publisher's page.
#pragma once

#include <windows.h>

#include <string>

class IPrompts;
class ISettings;

// The publisher's shop page, passed to the browser.
extern const char kHomePageAddress[];

// Internet Explorer 4's setup key: its "Path" followed by "\iexplore.exe" (also when "Path" is
// missing). True when the key exists; path is unchanged otherwise.
bool FindInternetExplorer(std::string& path);
// Netscape Navigator's current version's "Install Directory" followed by "\netscape.exe".
bool FindNetscape(std::string& path);

// At start-up, only while "BROWSER" is empty: Internet Explorer, else Netscape; a path found is
// written as "BROWSER". Nothing is reported when none is found.
void DetectBrowser(ISettings& mail);

// The home page command: the stored browser, or one the user picks ("Select Browser"), started
// with the page address. A browser that cannot start is forgotten so the user is asked again.
void OpenHomePage(HWND owner, const std::string& exeDirectory, ISettings& mail, IPrompts& prompts);
