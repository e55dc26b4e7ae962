// progress-demo: runs the progress panel through endless passes until Cancel or Escape, so the
// panel can be seen and driven before the main program exists.
//   progress-demo.exe [--passes N] [--delay MS] [--company KEY]
// Ends with 0 after N passes (0 = until cancelled), or 2 after a Cancel and its message.
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "dialogs/progress_panel.h"
#include "platform/settings.h"
#include "winui/app.h"
#include "winui/message_box_prompts.h"

namespace {
// Waits for the delay while still answering the window system.
void Idle(CProgressPanel& panel, DWORD ms) {
    DWORD start = ::GetTickCount();
    for (;;) {
        panel.PumpMessages(true);
        DWORD spent = ::GetTickCount() - start;
        if (panel.Cancelled() || spent >= ms) return;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, ms - spent, QS_ALLINPUT);
    }
}
}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    winui::App::SetInstance(instance);
    winui::App::SetCaption("Zembra");
    int passes = 0;
    DWORD delay = 80;
    std::string company = CProgressPanel::kCompany;
    for (int i = 1; i + 1 < __argc; i += 2) {
        if (std::strcmp(__argv[i], "--passes") == 0) passes = std::atoi(__argv[i + 1]);
        else if (std::strcmp(__argv[i], "--delay") == 0) delay = static_cast<DWORD>(std::atoi(__argv[i + 1]));
        else if (std::strcmp(__argv[i], "--company") == 0) company = __argv[i + 1];
    }
    auto settings = OpenAppProfile(company, CProgressPanel::kApplication);
    CProgressPanel panel(nullptr, "Building split set", true, settings.get());
    if (!panel.Exists()) return 1;
    panel.Hide();  // as the engine does: shown again by the first position
    const int steps = 40;
    for (int pass = 1; passes == 0 || pass <= passes; ++pass) {
        panel.SetRange(0, steps);
        panel.SetStep(1);
        for (int i = 1; i <= steps && !panel.Cancelled(); ++i) {
            panel.SetTextFormat("zembra.exe is not built yet: this is the progress window.\n"
                                "Pass %d, step %d of %d\n"
                                "Press Cancel (or Escape) to stop.", pass, i, steps);
            panel.StepIt();
            Idle(panel, delay);
        }
        if (panel.Cancelled()) {
            winui::MessageBoxPrompts().Message("Progress demo cancelled.");
            return 2;
        }
    }
    panel.Hide();
    return 0;
}
