// Runs a first segment as a user would: starts it in the destination folder, presses Rejoin,
// reads the completion message and answers it. Exit 0 when the rejoiner said it rejoined.
// Usage: cli_first_segment_driver FIRST_SEGMENT DEST_FOLDER
#include <windows.h>

#include <cstdio>
#include <string>

#include "gui/driver/gui_driver.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: cli_first_segment_driver FIRST_SEGMENT DEST_FOLDER\n");
        return 2;
    }
    std::string first = argv[1], dest = argv[2];
    gui::Program rejoiner;
    if (!rejoiner.Start("\"" + first + "\"", dest)) {
        std::fprintf(stderr, "cannot start %s\n", first.c_str());
        return 1;
    }
    HWND dialog = gui::FindTop({"#32770", "Zembra Rejoin - ", true, rejoiner.Pid()});
    if (!dialog) {
        std::fprintf(stderr, "no Select Destination dialog appeared\n");
        rejoiner.Terminate();
        return 1;
    }
    if (!gui::Click(dialog, IDOK)) {  // &Rejoin
        std::fprintf(stderr, "cannot press Rejoin\n");
        rejoiner.Terminate();
        return 1;
    }
    HWND box = gui::FindMessageBox(rejoiner.Pid());
    if (!box) {
        std::fprintf(stderr, "no message after the rejoin\n");
        rejoiner.Terminate();
        return 1;
    }
    std::string text = gui::MessageBoxText(box);
    gui::Answer(box, IDOK);
    DWORD code = 0;
    rejoiner.WaitExit(gui::kTimeoutMs, &code);
    std::printf("%s\n", text.c_str());
    return text.rfind("Zembra has Rejoined ", 0) == 0 ? 0 : 1;
}
