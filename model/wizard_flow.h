// The wizard's page loop as a state machine: the states are the ids of the buttons that lead to
// a page, and every page ends with the id of the button pressed, which is the next state.
#pragma once

// States: "Back" and "Next" of every page carry the id of the page they go to.
enum WizardState : int {
    kWizardSizePage = 1053,
    kWizardFilesPage = 1052,
    kWizardNamePage = 1054,
    kWizardResultsPage = 1055,
};

// What the loop does for the current state.
enum class WizardStep {
    RunSizePage,
    RunFilesPage,
    SkipFilesPage,  // started with files: page 2 keeps them, the loop goes on to page 3
    RunNamePage,
    RunResultsPage,
    End,            // Cancel, "Done" or anything else a page ended with
};

class CWizardFlow {
public:
    // fromCommandLine: the sources came from the command line, so the files page is skipped in
    // both directions and the end of the wizard is the end of the program.
    explicit CWizardFlow(bool fromCommandLine) : fromCommandLine_(fromCommandLine) {}

    int State() const { return state_; }
    bool FromCommandLine() const { return fromCommandLine_; }
    WizardStep Step() const;
    // Takes the id the page ended with (ignored for SkipFilesPage) and moves to the next state.
    void Advance(int pageResult);

private:
    bool fromCommandLine_;
    int state_ = kWizardSizePage;
};
