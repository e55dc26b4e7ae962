// Wizard mode bound to the main view: presets through the view's preset rules, the build through
// BuildFromWizard (the build command's one path), the options' folder chooser.
#include "app/wizard_command.h"

#include "app/main_frame.h"
#include "dialogs/new_dir_file_dlg.h"
#include "dialogs/progress_panel.h"
#include "app/zm_app.h"
#include "engine/rejoiner_image.h"
#include "wizard/build_command.h"
#include "model/preset_list.h"
#include "view/s_view.h"
#include "winui/message_box_prompts.h"
#include "wizard/wizard.h"

namespace {
bool g_endedProgram = false;
}  // namespace

bool WizardEndedProgram() { return g_endedProgram; }

void RunWizardMode(CMainFrame& frame, CSView& view) {
    WizardHost host;
    host.frame = frame.Handle();
    host.fromCommandLine = view.fromCommandLine != 0;
    host.presetNames = &view.presetNames;
    host.isTypedSize = [&view](int i) {
        return i >= 0 && i < static_cast<int>(view.presetSizes.size()) && view.presetSizes[i] == CPresetList::kTypedSize;
    };
    host.choosePreset = [&view](int i) {
        // The view's rules; a preset defined here joins the form's box as well as its lists.
        PresetOutcome o = view.ApplyPresetForWizard(i);
        CWizardSizePage::Choice c;
        c.valid = o.setPreset;
        c.presetName = o.presetName;
        c.size = o.maxFileSize;
        c.sizeTyped = o.sizeTyped;
        c.notFirstPreset = o.notFirstPreset == 1;
        c.appendName = o.appendName;
        return c;
    };
    host.presetLocation = [&view](int i) {
        return i >= 0 && i < static_cast<int>(view.presetLocations.size()) ? view.presetLocations[i] : std::string();
    };
    host.commandLineSources = view.commandLineSources;
    host.exeDirectory = view.exeDirectory;
    host.workDirectory = ZmApp().WorkDirectory();
    host.systemImages = view.SystemImageList();
    host.chooseFolder = [](const std::string& start, std::string& chosen) {
        chosen = start;
        return ChooseFolder(chosen, ::GetActiveWindow());
    };

    // The wizard's own engine beside the view's, showing the same progress window.
    winui::MessageBoxPrompts prompts;
    ResourceRejoinerImage image;
    CSplitEngine engine(SystemFileSystem(), prompts, view.Progress(), image);
    engine.SetExeFolder(view.exeDirectory);

    CWizard wizard(host, [&](WizardBuild& b) { return BuildFromWizard(b, engine, prompts, image); });
    wizard.Run();
    g_endedProgram = host.fromCommandLine;
}
