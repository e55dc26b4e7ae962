// CSView::OnBuild: Begin Split (1008) and "&Build Split File(s)". The steps are CBuildRun's,
// shared with the wizard's BuildFromWizard; this binds them to the form and the frame.
#include "model/build_run.h"
#include "model/recovery_setting.h"
#include "model/profile_names.h"
#include "platform/settings.h"
#include "resources/zembra_view_res.h"
#include "view/s_view.h"

int CSView::OnBuild() {
    BuildRequest rq;
    rq.modified = modified != 0;
    rq.includeHidden = OpenAppProfile(kZmRegistryKey, kZmAppName)
                           ->GetInt(build_setting::kSection, build_setting::kIncludeHidden, 0) != 0;
    rq.takeValues = [this](BuildRequest& r) {
        if (!mailing && !UpdateData(true)) return false;  // a refused value has been shown
        r.notFirstPreset = notFirstPreset != 0;
        r.maxFileSize = maxFileSize;
        r.items.clear();
        for (const CSourceList::Entry& entry : Sources().Entries()) r.items.push_back(entry.path);
        r.saveLocation = saveLocation;
        r.setName = splitSetName;
        r.totalSize = TotalSize();
        r.recoveryPercent = recovery_setting::LoadForUser();
        return true;
    };
    rq.sizeRaised = [this, &rq] {
        maxFileSize = rq.maxFileSize;
        ::SetDlgItemInt(Handle(), IDC_MAX_SIZE, static_cast<UINT>(maxFileSize), TRUE);
    };
    rq.beforeRun = [this, &rq] {
        bytesDone = 0;
        saveLocation = rq.saveLocation;
        UpdateData(false);
    };

    CBuildRun run(Engine(), SystemFileSystem(), prompts_, *rejoinerImage_);
    BuildOutcome outcome;
    bool ok = run.Run(rq, outcome);
    if (!rq.saveLocation.empty()) saveLocation = rq.saveLocation;  // with its trailing backslash
    if (!ok) return 0;

    modified = 0;
    SetButtonStates(false);
    // A listing the run could not write whole (it has said so) is no project to reopen or review.
    const bool listed = Engine().ListingWritten();
    if (listed) {
        // The listing names what went in; how it was cut and where it went is kept beside it.
        ProjectBuild build;
        build.automatic = !rq.notFirstPreset;
        build.sizeK = rq.maxFileSize;
        build.presetName = currentPresetName;
        build.destination = saveLocation;
        RememberBuild(outcome.listingPath, build);
    }
    if (host_) {
        host_->SetDocumentTitle(splitSetName);
        if (!outcome.removable && listed) host_->AddRecentFile(outcome.listingPath);
    }
    if (listed)
        ::PostMessageA(Handle(), WM_COMMAND, MAKEWPARAM(IDC_REVIEW, BN_CLICKED), reinterpret_cast<LPARAM>(Item(IDC_REVIEW)));
    return 1;
}
