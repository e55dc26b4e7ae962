// CFallbackSettings: a settings store in a shared place (the Windows folder, the program's folder)
// that a standard user may not be allowed to write. A refused write goes to a per-user copy
// instead, and from then on a key the copy holds is read from the copy first, so no choice of
// the user's is lost silently. A write that fails in both places returns false for the caller to
// report.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/settings.h"

class CFallbackSettings : public ISettings {
public:
    // prepareCopy runs before the first write to the copy (it makes the copy's folder); false
    // from it counts as a failed write.
    CFallbackSettings(std::unique_ptr<ISettings> primary, std::unique_ptr<ISettings> copy,
                      std::function<bool()> prepareCopy = nullptr);

    std::string GetString(const std::string& section, const std::string& key,
                          const std::string& fallback) override;
    int GetInt(const std::string& section, const std::string& key, int fallback) override;
    bool WriteString(const std::string& section, const std::string& key,
                     const std::string& value) override;
    bool WriteInt(const std::string& section, const std::string& key, int value) override;

private:
    bool CopyHolds(const std::string& section, const std::string& key);
    bool WriteCopy(const std::string& section, const std::string& key, const std::string& value);

    std::unique_ptr<ISettings> primary_;
    std::unique_ptr<ISettings> copy_;
    std::function<bool()> prepareCopy_;
};

// The suite's mail settings file "ReZove.ini" (section "EMailSetup", shared by zembra and korvo):
// the private profile in the Windows folder, with its per-user copy in %APPDATA%\Zembra\.
// Every program opens it through this one function so that all read the same values.
std::unique_ptr<ISettings> OpenMailSettings();
// The same rule for any private profile file name (the per-user copy has the same name).
std::unique_ptr<ISettings> OpenSharedProfile(const std::string& fileName);
