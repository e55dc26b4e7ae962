// The main program's recovery volume setting.
#include "model/recovery_setting.h"

#include <algorithm>

#include "model/profile_names.h"
#include "recovery/recovery_set.h"

namespace recovery_setting {

namespace {
const char kSection[] = "Settings";
const char kKey[] = "RecoveryPercent";
}  // namespace

int Load(ISettings& profile) { return std::min(100, std::max(0, profile.GetInt(kSection, kKey, 0))); }

bool Save(ISettings& profile, int percent) {
    return profile.WriteInt(kSection, kKey, std::min(100, std::max(0, percent)));
}

int LoadForUser() {
    std::unique_ptr<ISettings> profile = OpenAppProfile(kZmRegistryKey, kZmAppName);
    return profile ? Load(*profile) : 0;
}

std::string StatusSuffix(int percent) {
    return percent > 0 ? " (recovery " + std::to_string(percent) + "%)" : std::string();
}

int SegmentsFor(int percent, int count) { return percent > 0 ? std::max(1, (count * percent + 99) / 100) : 0; }

std::string ResultsLines(IFileSystem& fs, const std::string& folder, const std::string& name) {
    std::vector<std::string> volumes = CRecoverySet::FindVolumes(fs, folder, name);
    if (volumes.empty()) return std::string();
    std::sort(volumes.begin(), volumes.end());
    std::string text = "\r\nRecovery volumes (PAR 2.0):\r\n";
    for (const std::string& v : volumes) text += v + "\r\n";
    return text;
}

}  // namespace recovery_setting
