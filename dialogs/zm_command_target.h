// IZmCommandTarget: one link of the main program's command chain. A command (menu, toolbar,
// accelerator or one posted as WM_COMMAND to the frame) travels frame -> view -> document ->
// application, and the first link that answers true has handled it.
#pragma once

#include <windows.h>

class IZmCommandTarget {
public:
    virtual ~IZmCommandTarget() = default;
    // True when handled; false passes the command to the next link.
    virtual bool OnCommand(int id) = 0;
    // Menu and toolbar state: set enabled and return true to decide for the id; false leaves it
    // to the next link (an id nobody decides stays enabled).
    virtual bool QueryCommand(int /*id*/, bool& /*enabled*/) { return false; }
};
