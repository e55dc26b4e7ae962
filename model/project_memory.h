// What a built set's listing does not say about how it was built: the preset, the segment size
// and the destination. The listing's format is read by other programs and stays as it is; this
// is kept in the program's settings (section "Projects"), one value per project file, so that
// reopening the project brings the form back as it was built.
#pragma once

#include <cstdint>
#include <string>

#include "platform/settings.h"
#include "model/preset_list.h"

struct ProjectBuild {
    bool automatic = true;    // the first preset: the build sized the segments itself
    int32_t sizeK = 0;        // segment size in K (1000 bytes) when not automatic
    std::string presetName;   // the preset chosen for the build
    std::string destination;  // where the segments went (trailing backslash)
};

// The preset box entry and size fields a reopened project comes back with.
struct RestoredPreset {
    int index = -1;           // entry to select; -1 when the box offers none that fits
    bool sizeTyped = false;   // the size shows in the edit (writable) rather than the display
    int32_t sizeK = 0;
    int notFirstPreset = 0;
    std::string presetName;
};

namespace project_memory {

constexpr const char kSection[] = "Projects";

// The value stored for a build: "1|automatic|size|destination|preset name". The preset name
// comes last, so it may hold any character; a path holds no '|'.
std::string Encode(const ProjectBuild& build);
bool Decode(const std::string& text, ProjectBuild& build);

// Kept under the project file's path, letter case folded (the same file however it is spelt).
bool Remember(ISettings& settings, const std::string& projectPath, const ProjectBuild& build);
bool Recall(ISettings& settings, const std::string& projectPath, ProjectBuild& build);

// The preset a build comes back with: the automatic entry; else the entry of the same name
// when it still has that size (or lets the size be typed); else the size itself, typed, on the
// first entry that takes a typed size.
RestoredPreset Restore(const CPresetList& presets, const ProjectBuild& build);

}  // namespace project_memory
