// Private window messages of the main program, shared by the frame, the view, the document and
// the split engine. Their numbers are part of the program's contract; keep them.
#pragma once

#include <windows.h>

// Engine -> main frame -> active view, once per entry added to a set: the frame sends the same
// message with the same parameters to the view and returns 1 whatever the view answers.
constexpr UINT WM_ZM_VIEW_FORWARD = WM_APP + 1;
// Document -> view after a project was read: exchange fields, set modified and button states.
constexpr UINT WM_ZM_PROJECT_LOADED = WM_APP + 2;
// View -> itself (right button released over the preset list): edit preset wParam.
constexpr UINT WM_ZM_EDIT_PRESET = WM_APP + 3;
// Posted to the main frame by File Open (0, 0) and by File New after start-up (1, 0): show the
// open-project dialog. The document's handler ignores both parameters.
constexpr UINT WM_ZM_OPEN_PROJECT = WM_APP + 4;
// Shift+F1 -> active view (posted, both parameters 0): context help for the focused control.
constexpr UINT WM_ZM_CONTEXT_HELP = WM_APP + 5;
