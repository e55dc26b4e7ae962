// BuildFromWizard: the wizard's side of the one build path.
#include "wizard/build_command.h"

#include <memory>

#include "model/build_run.h"
#include "model/recovery_setting.h"
#include "model/profile_names.h"
#include "platform/settings.h"
#include "winui/wait_cursor.h"

bool BuildFromWizard(WizardBuild& b, CSplitEngine& engine, IPrompts& prompts, IRejoinerImage& image) {
    BuildRequest rq;
    rq.fromWizard = true;
    rq.notFirstPreset = b.notFirstPreset;
    rq.maxFileSize = b.sizeKb;
    rq.items = b.sources;
    rq.saveLocation = b.saveLocation;
    rq.setName = b.setName;
    rq.totalSize = b.totalSize;
    rq.recoveryPercent = recovery_setting::LoadForUser();
    rq.includeHidden = OpenAppProfile(kZmRegistryKey, kZmAppName)
                           ->GetInt(build_setting::kSection, build_setting::kIncludeHidden, 0) != 0;
    std::unique_ptr<winui::WaitCursor> wait;
    rq.beforeRun = [&] {
        if (b.wizardWindow) ::ShowWindow(b.wizardWindow, SW_HIDE);
        wait = std::make_unique<winui::WaitCursor>();
    };
    rq.afterRun = [&] {
        wait.reset();
        if (b.wizardWindow) ::ShowWindow(b.wizardWindow, SW_SHOW);
    };
    CBuildRun run(engine, SystemFileSystem(), prompts, image);
    BuildOutcome outcome;
    bool ok = run.Run(rq, outcome);
    b.saveLocation = rq.saveLocation;
    b.removable = outcome.removable;
    if (ok) b.lastSegment = engine.SegmentCount();
    return ok;
}
