// CWizard: the page loop.
#include "wizard/wizard.h"

#include "engine/split_state.h"
#include "platform/process.h"
#include "model/wizard_flow.h"
#include "model/wizard_rules.h"

namespace {
constexpr int kExitCommand = 57665;
}

CWizard::CWizard(WizardHost host, std::function<bool(WizardBuild&)> build)
    : host_(std::move(host)), build_(std::move(build)) {
    sizePage.names = host_.presetNames;
    sizePage.isTypedSize = host_.isTypedSize;
    sizePage.choosePreset = host_.choosePreset;
    filesPage.systemImages = host_.systemImages;
    if (host_.fromCommandLine)
        for (const std::string& path : host_.commandLineSources) filesPage.sources.AddFromCommandLine(path);
    namePage.chooseFolder = host_.chooseFolder;
    namePage.build = [this](CWizardNamePage& page) { return Build(page); };
    resultsPage.startMailer = [this] { return StartMailer(); };
}

void CWizard::Run() {
    if (host_.fromCommandLine && host_.frame) ::ShowWindow(host_.frame, SW_HIDE);
    SplitSharedState::Default().wizardRunning = true;

    CWizardFlow flow(host_.fromCommandLine);
    for (WizardStep step; (step = flow.Step()) != WizardStep::End;) {
        int result = 0;
        switch (step) {
        case WizardStep::RunSizePage:
            result = static_cast<int>(sizePage.DoModal(host_.frame));
            break;
        case WizardStep::RunFilesPage:
            result = static_cast<int>(filesPage.DoModal(host_.frame));
            break;
        case WizardStep::SkipFilesPage:
            break;  // the sources stay those of the command line, with their total
        case WizardStep::RunNamePage:
            if (location_.empty()) {
                bool anyPreset = host_.presetNames && !host_.presetNames->empty();
                if (anyPreset && host_.presetLocation) location_ = host_.presetLocation(sizePage.chosen);
                if (location_.empty()) location_ = host_.workDirectory;
            }
            namePage.saveLocation = location_;
            result = static_cast<int>(namePage.DoModal(host_.frame));
            location_ = namePage.saveLocation;
            break;
        case WizardStep::RunResultsPage:
            resultsPage.projectPath = wizard_rules::ProjectPath(namePage.removable, host_.exeDirectory,
                                                                namePage.saveLocation, namePage.setName);
            result = static_cast<int>(resultsPage.DoModal(host_.frame));
            break;
        case WizardStep::End:
            break;
        }
        flow.Advance(result);
    }

    if (!host_.fromCommandLine) {
        SplitSharedState::Default().wizardRunning = false;
        if (host_.frame) {
            ::ShowWindow(host_.frame, SW_SHOW);
            ::SetForegroundWindow(host_.frame);
            ::BringWindowToTop(host_.frame);
        }
    } else if (host_.frame) {
        ::PostMessageA(host_.frame, WM_COMMAND, kExitCommand, 0);
    }
}

bool CWizard::Build(CWizardNamePage& page) {
    if (!build_) return false;
    std::vector<std::string> paths = filesPage.Paths();
    WizardBuild b{paths, filesPage.sources.Total(), sizePage.size, sizePage.notFirstPreset != 0,
                  page.saveLocation, page.setName, page.Handle()};
    bool ok = build_(b);
    page.UpdateData(false);  // the location may have gained its backslash
    page.removable = b.removable;
    if (ok) lastSegment_ = b.lastSegment;
    return ok;
}

bool CWizard::StartMailer() {
    return StartProcess(wizard_rules::MailerCommandLine(ModulePath(), namePage.saveLocation, namePage.setName,
                                                        lastSegment_));
}
