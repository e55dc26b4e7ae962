// CProjectLoader: the main program's routines on a saved split set: the Rejoin and Review
// Results commands of the main form, and the loader that opens a project file (the set's
// contents listing) back into the form, or offers to rejoin the set when its sources are gone.
#pragma once

#include <string>
#include <vector>

#include "model/project_listing.h"

class CMainFrame;
class CSView;

class CProjectLoader {
public:
    CProjectLoader(CMainFrame& frame, CSView& view) : frame_(frame), view_(view) {}

    // Starts the set's first segment ("%s%s_1.exe": save location, set name) without waiting.
    void Rejoin();
    // Shows the set's contents listing in the contents viewer.
    void ReviewResults();
    // Loads the project file at path into the form; 0 when there is no such file.
    int Load(const std::string& path);

    // A set is open once it was built or a project was loaded: the engine then holds its listing.
    bool HasProject() const;

private:
    void SelectDestination(const std::string& folder);
    // The form becomes the project: name, destination, sources, contents, preset and size.
    void Replace(const std::string& path, const CProjectListing& listing);
    void OfferRejoin(const std::string& path);

    CMainFrame& frame_;
    CSView& view_;
};
