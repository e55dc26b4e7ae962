// The process-wide split state.
#include "engine/split_state.h"

SplitSharedState& SplitSharedState::Default() {
    static SplitSharedState state;
    return state;
}

void SplitSharedState::Reset() {
    listing.Close();
    continuation.clear();
    includedFiles = 0;
    diskSwapArmed = false;
    wizardRunning = false;
}
