// The build command as the wizard's last settings page runs it: the steps of Begin Split
// (CBuildRun) with the wizard's differences, on the wizard's own engine. The wizard window is
// hidden, with the wait cursor, while the set is written.
//
//     CWizard wizard(host, [&](WizardBuild& b) { return BuildFromWizard(b, engine, prompts, image); });
#pragma once

#include "engine/rejoiner_image.h"
#include "engine/split_engine.h"
#include "platform/prompts.h"
#include "wizard/wizard.h"

// True when the set was written; b.saveLocation gains its trailing backslash, b.removable and
// b.lastSegment are filled in.
bool BuildFromWizard(WizardBuild& b, CSplitEngine& engine, IPrompts& prompts, IRejoinerImage& image);
