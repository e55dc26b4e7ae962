// CFallbackSettings: reads prefer the per-user copy where it holds the key; writes go to the
// shared place and, when refused there, to the copy.
#include "platform/fallback_settings.h"

namespace {
// A value no real setting has: tells "absent" from "empty".
const char kAbsent[] = "\x01<absent>\x01";
}  // namespace

CFallbackSettings::CFallbackSettings(std::unique_ptr<ISettings> primary, std::unique_ptr<ISettings> copy,
                                     std::function<bool()> prepareCopy)
    : primary_(std::move(primary)), copy_(std::move(copy)), prepareCopy_(std::move(prepareCopy)) {}

bool CFallbackSettings::CopyHolds(const std::string& section, const std::string& key) {
    return copy_ && copy_->GetString(section, key, kAbsent) != kAbsent;
}

std::string CFallbackSettings::GetString(const std::string& section, const std::string& key,
                                         const std::string& fallback) {
    if (CopyHolds(section, key)) return copy_->GetString(section, key, fallback);
    return primary_->GetString(section, key, fallback);
}

int CFallbackSettings::GetInt(const std::string& section, const std::string& key, int fallback) {
    if (CopyHolds(section, key)) return copy_->GetInt(section, key, fallback);
    return primary_->GetInt(section, key, fallback);
}

bool CFallbackSettings::WriteCopy(const std::string& section, const std::string& key,
                                  const std::string& value) {
    if (!copy_) return false;
    if (prepareCopy_ && !prepareCopy_()) return false;
    return copy_->WriteString(section, key, value);
}

bool CFallbackSettings::WriteString(const std::string& section, const std::string& key,
                                    const std::string& value) {
    // Once the copy holds the key it is what every reader sees: it must take the new value, or
    // the write has failed whatever the shared place says.
    if (CopyHolds(section, key)) {
        bool copied = WriteCopy(section, key, value);
        primary_->WriteString(section, key, value);  // keep the shared place current when it can be
        return copied;
    }
    if (primary_->WriteString(section, key, value)) return true;
    return WriteCopy(section, key, value);
}

bool CFallbackSettings::WriteInt(const std::string& section, const std::string& key, int value) {
    return WriteString(section, key, std::to_string(value));
}

std::unique_ptr<ISettings> OpenMailSettings() { return OpenSharedProfile("ReZove.ini"); }
