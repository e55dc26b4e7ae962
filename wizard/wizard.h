// CWizard: wizard mode, the four pages run one after the other by the page loop, which goes
// where each page's Back or Next leads. The pages live as long as the run, so a page shown
// again shows its last values.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "wizard/wizard_files_page.h"
#include "wizard/wizard_name_page.h"
#include "wizard/wizard_results_page.h"
#include "wizard/wizard_size_page.h"

// What the wizard takes from the program around it (the main view and the frame).
struct WizardHost {
    HWND frame = nullptr;
    bool fromCommandLine = false;
    const std::vector<std::string>* presetNames = nullptr;
    std::function<bool(int index)> isTypedSize;
    std::function<CWizardSizePage::Choice(int index)> choosePreset;
    std::function<std::string(int index)> presetLocation;  // "" for an index out of range
    std::vector<std::string> commandLineSources;
    std::string exeDirectory;             // trailing backslash
    std::string workDirectory;
    HIMAGELIST systemImages = nullptr;

    std::function<bool(const std::string& start, std::string& chosen)> chooseFolder;
};

// What the build behind page 3's Next gets from the pages, and gives back.
struct WizardBuild {
    const std::vector<std::string>& sources;
    uint64_t totalSize;
    int sizeKb;
    bool notFirstPreset;
    std::string& saveLocation;  // a missing trailing backslash is added here
    const std::string& setName;
    HWND wizardWindow;          // hidden while the set is written
    std::string presetName;     // page 1's preset, kept with the project
    bool removable = false;     // out: the destination is a removable drive
    int lastSegment = 0;        // out: number of the last segment written
};

class CWizard {
public:
    // build: the build command's wizard form; true when the set was written.
    CWizard(WizardHost host, std::function<bool(WizardBuild&)> build);

    // Runs the page loop to its end; then shows the frame again, or, started with files,
    // ends the program.
    void Run();

    CWizardSizePage sizePage;
    CWizardFilesPage filesPage;
    CWizardNamePage namePage;
    CWizardResultsPage resultsPage;

private:
    bool Build(CWizardNamePage& page);
    bool StartMailer();

    WizardHost host_;
    std::function<bool(WizardBuild&)> build_;
    std::string location_;
    int lastSegment_ = 0;
};
