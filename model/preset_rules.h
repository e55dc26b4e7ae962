// CPresetRules: applying, adding, removing and editing size presets, without the window. Each
// operation changes the preset list (and custom.dat) and returns what the view must show.
#pragma once

#include <functional>
#include <string>

#include "platform/prompts.h"
#include "platform/settings.h"
#include "model/custom_data_file.h"
#include "model/custom_size_rules.h"
#include "model/preset_list.h"

// What a preset operation leaves for the view to show. Fields not flagged stay as they were.
struct PresetOutcome {
    bool setPreset = false;      // presetName, maxFileSize and the size controls below apply
    std::string presetName;
    int32_t maxFileSize = 0;
    bool sizeTyped = false;      // size edit 1011 writable and shown, 1061 hidden; else the reverse
    std::string sizeDisplay;     // text of the size display 1061
    int notFirstPreset = -1;     // 0 or 1 when the flag changes
    std::string appendName;      // append to the preset box; its selection stays
    int replaceIndex = -1;       // this box entry now reads replaceName and is selected
    std::string replaceName;
    int removedIndex = -1;       // this box entry went; the one before it is selected
    std::string location;        // not empty: the save location, added to its box when missing
};

namespace preset_text {
constexpr const char kCustom[] = "Custom";
constexpr const char kDelete[] = "Delete ";
constexpr const char kCannotEdit[] = "Cannot Edit Automatic or Custom.";
constexpr const char kDuplicate[] = "Duplicate name!";
constexpr const char kUserDefined[] = "UserDefined";
}  // namespace preset_text

class CPresetRules {
public:
    // Opens the custom size dialog on the values; true on OK (values then hold the result).
    using AskCustomSize = std::function<bool(CustomSizeValues&)>;
    // Size in K the -2 entry leaves when its dialog is cancelled.
    static constexpr int32_t kCancelledSize = 500;

    // counter: the user-preset counter that numbers the "UserDefined" values (the view's field).
    CPresetRules(CPresetList& list, CCustomDataFile& file, ISettings& profile, IPrompts& prompts, int& counter);

    // Fills the list from custom.dat (the work directory override applies to the first record).
    bool Load(const std::string& workDirectoryOverride);
    // Rewrites custom.dat; tells the user when it cannot.
    bool Save();

    PresetOutcome Apply(int index, const std::string& workDirectory, const AskCustomSize& ask);
    PresetOutcome Add(const std::string& workDirectory, const AskCustomSize& ask);
    PresetOutcome Remove(int index);
    PresetOutcome Edit(int index, const std::string& workDirectory, const AskCustomSize& ask);

private:
    static void ShowFixed(PresetOutcome& out, const std::string& name, int32_t size);
    static std::string LocationOrWork(const std::string& location, const std::string& workDirectory);

    CPresetList& list_;
    CCustomDataFile& file_;
    ISettings& profile_;
    IPrompts& prompts_;
    int& counter_;
};
