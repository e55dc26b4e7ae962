// Resource and command ids of the main program's frame, menu, dialogs and strings.
#pragma once
