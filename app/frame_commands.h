// The main frame's commands that open a dialog or another program: Options > Email and Default
// Work Directory, Wizard, Help, the home page. Kept apart from the frame's window handling.
#pragma once

class CMainFrame;

// True when the id is one of these commands (and it has run).
bool ZmFrameCommand(CMainFrame& frame, int id);
