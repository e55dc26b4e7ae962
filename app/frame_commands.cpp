// Frame commands served by the options dialog, the help and the browser launch.
#include "app/frame_commands.h"

#include "app/main_frame.h"
#include "resources/zembra_res.h"

bool ZmFrameCommand(CMainFrame&, int id) {
    switch (id) {
    default:
        return false;
    }
}
