// State that every split engine of a process shares: one open listing, one continuation
// text, one included-file count, the disk-swap flag and the wizard flag.
#pragma once

#include <string>

#include "engine/listing_writer.h"

struct SplitSharedState {
    CListingWriter listing;     // opened by the first listing line of a run, closed by its summary
    std::string continuation;   // "\n$ cont.. <path of the last entry>", or empty
    int includedFiles = 0;      // files opened for reading in this run
    bool diskSwapArmed = false; // a disk is asked for before each segment after the first
    bool wizardRunning = false; // set by the wizard while it is open

    // The process's instance; tests may Reset() it between cases.
    static SplitSharedState& Default();
    void Reset();
};
