// The wizard's page loop.
#include "model/wizard_flow.h"

namespace {

struct Row {
    int state;
    WizardStep step;             // opened from the menu
    WizardStep stepWithFiles;    // started with files on the command line
    int backWithFiles;           // where this page's Back leads when page 2 is skipped, 0: as pressed
};

const Row kRows[] = {
    {kWizardSizePage, WizardStep::RunSizePage, WizardStep::RunSizePage, 0},
    {kWizardFilesPage, WizardStep::RunFilesPage, WizardStep::SkipFilesPage, 0},
    {kWizardNamePage, WizardStep::RunNamePage, WizardStep::RunNamePage, kWizardSizePage},
    {kWizardResultsPage, WizardStep::RunResultsPage, WizardStep::RunResultsPage, 0},
};

const Row* Find(int state) {
    for (const Row& row : kRows)
        if (row.state == state) return &row;
    return nullptr;
}

}  // namespace

WizardStep CWizardFlow::Step() const {
    const Row* row = Find(state_);
    if (!row) return WizardStep::End;
    return fromCommandLine_ ? row->stepWithFiles : row->step;
}

void CWizardFlow::Advance(int pageResult) {
    const Row* row = Find(state_);
    if (!row) return;  // ended: stays ended
    if (Step() == WizardStep::SkipFilesPage) {
        state_ = kWizardNamePage;
        return;
    }
    if (fromCommandLine_ && row->backWithFiles != 0 && pageResult == kWizardFilesPage) {
        state_ = row->backWithFiles;
        return;
    }
    state_ = pageResult;
}
