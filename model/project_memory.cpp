// How a project was built, kept beside its listing in the settings, and brought back.
#include "model/project_memory.h"

#include <climits>
#include <cstdlib>

#include "platform/text_case.h"
#include "platform/text_format.h"

namespace project_memory {

namespace {
constexpr const char kVersion[] = "1";
}  // namespace

std::string Encode(const ProjectBuild& b) {
    return FormatText("%s|%d|%d|", kVersion, b.automatic ? 1 : 0, int(b.sizeK)) + b.destination + "|" + b.presetName;
}

bool Decode(const std::string& text, ProjectBuild& build) {
    std::string fields[4];
    size_t start = 0;
    for (std::string& field : fields) {
        size_t bar = text.find('|', start);
        if (bar == std::string::npos) return false;
        field = text.substr(start, bar - start);
        start = bar + 1;
    }
    if (fields[0] != kVersion || (fields[1] != "0" && fields[1] != "1")) return false;
    char* end = nullptr;
    long size = std::strtol(fields[2].c_str(), &end, 10);
    if (fields[2].empty() || *end != '\0' || size < 0 || size > INT32_MAX) return false;
    build.automatic = fields[1] == "1";
    build.sizeK = static_cast<int32_t>(size);
    build.destination = fields[3];
    build.presetName = text.substr(start);
    return true;
}

bool Remember(ISettings& settings, const std::string& projectPath, const ProjectBuild& build) {
    return settings.WriteString(kSection, UpperCase(projectPath), Encode(build));
}

bool Recall(ISettings& settings, const std::string& projectPath, ProjectBuild& build) {
    std::string text = settings.GetString(kSection, UpperCase(projectPath), "");
    return !text.empty() && Decode(text, build);
}

RestoredPreset Restore(const CPresetList& presets, const ProjectBuild& build) {
    RestoredPreset out;
    if (build.automatic) {
        if (presets.Count() > 0) {
            out.index = 0;
            out.presetName = presets.Name(0);
        }
        return out;
    }
    out.notFirstPreset = 1;
    out.sizeK = build.sizeK;
    for (int i = 1; i < presets.Count(); ++i) {
        const int32_t size = presets.Size(i);
        if (presets.Name(i) == build.presetName && (size == build.sizeK || size == CPresetList::kTypedSize)) {
            out.index = i;
            out.sizeTyped = size == CPresetList::kTypedSize;
            out.presetName = build.presetName;
            return out;
        }
    }
    // The preset is gone or now means another size: the size the set was built with, typed.
    out.sizeTyped = true;
    out.presetName = "Custom";
    for (int i = 1; i < presets.Count() && out.index < 0; ++i)
        if (presets.Size(i) == CPresetList::kTypedSize) {
            out.index = i;
            out.presetName = presets.Name(i);
        }
    return out;
}

}  // namespace project_memory
