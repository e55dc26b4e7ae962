// Help: the HTML help beside the program ("Zembra.html", one anchor per context topic), opened
// with the system's handler for HTML. A WinHelp file "Zembra.hlp" in the program's folder is used
// instead when the system still has a WinHelp viewer that starts.
#pragma once

#include <windows.h>

#include <string>

#include "model/help_topics.h"

// Topic 0 is the contents.
void ZmShowHelp(HWND owner, unsigned long topic);
// Context help for a control through a control-to-topic table; false (nothing shown) when the
// control has no topic.
bool ZmShowContextHelp(HWND owner, int controlId, const HelpIdPair* table);
// The file: URL of the HTML help at a topic's anchor (exposed for the tests' expectations).
std::string HelpUrl(const std::string& htmlPath, unsigned long topic);
