// Wizard mode bound to the main view: presets through the preset rules on the view's own lists,
// the build through BuildFromWizard (the build command's one path), the options' folder chooser.
#include "wizard/wizard_command.h"

#include <memory>

#include "app/main_frame.h"
#include "app/new_dir_file_dlg.h"
#include "app/progress_panel.h"
#include "app/zm_app.h"
#include "engine/rejoiner_image.h"
#include "platform/settings.h"
#include "view/build_command.h"
#include "view/custom_size_dlg.h"
#include "view/model/custom_data_file.h"
#include "view/model/preset_rules.h"
#include "view/s_view.h"
#include "winui/combo_box.h"
#include "winui/message_box_prompts.h"
#include "wizard/wizard.h"

namespace {

bool g_endedProgram = false;
constexpr int kViewPresetBox = 1026;

// The preset rules on the view's lists and user-preset counter, as page 1 applies them.
// custom.dat is not written by applying a preset; a preset defined here reaches it with the
// view's next save.
class ViewPresets {
public:
    explicit ViewPresets(CSView& view)
        : view_(view),
          list_(view.presetNames, view.presetSizes, view.presetLocations),
          file_(SystemFileSystem(), view.exeDirectory, std::string()),
          profile_(OpenAppProfile(CZmApp::kRegistryKey, CZmApp::kAppName)),
          prompts_(view.Handle()),
          rules_(list_, file_, *profile_, prompts_, view.userPresetCounter) {}

    CWizardSizePage::Choice Choose(int index) {
        PresetOutcome o = rules_.Apply(index, ZmApp().WorkDirectory(), [](CustomSizeValues& values) {
            CCustomSizeDlg dlg;
            dlg.values = values;
            if (dlg.DoModal(::GetActiveWindow()) != IDOK) return false;
            values = dlg.values;
            return true;
        });
        // A preset defined here joins the form's box too, so box and lists stay in step.
        if (!o.appendName.empty()) winui::ComboBox(::GetDlgItem(view_.Handle(), kViewPresetBox)).AddString(o.appendName);
        CWizardSizePage::Choice c;
        c.valid = o.setPreset;
        c.presetName = o.presetName;
        c.size = o.maxFileSize;
        c.sizeTyped = o.sizeTyped;
        c.notFirstPreset = o.notFirstPreset == 1;
        c.appendName = o.appendName;
        return c;
    }

private:
    CSView& view_;
    CPresetList list_;
    CCustomDataFile file_;
    std::unique_ptr<ISettings> profile_;
    winui::MessageBoxPrompts prompts_;
    CPresetRules rules_;
};

}  // namespace

bool WizardEndedProgram() { return g_endedProgram; }

void RunWizardMode(CSView& view) {
    CMainFrame* frame = view.Frame();
    ViewPresets presets(view);

    WizardHost host;
    host.frame = frame ? frame->Handle() : nullptr;
    host.fromCommandLine = view.fromCommandLine != 0;
    host.presetNames = &view.presetNames;
    host.isTypedSize = [&view](int i) {
        return i >= 0 && i < static_cast<int>(view.presetSizes.size()) && view.presetSizes[i] == CPresetList::kTypedSize;
    };
    host.choosePreset = [&presets](int i) { return presets.Choose(i); };
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
