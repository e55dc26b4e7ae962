// Preset operations: the three lists stay in step, custom.dat is rewritten after each change
// the user makes to the list, and the view is told what to show.
#include "model/preset_rules.h"

#include "platform/text_format.h"

CPresetRules::CPresetRules(CPresetList& list, CCustomDataFile& file, ISettings& profile, IPrompts& prompts,
                           int& counter)
    : list_(list), file_(file), profile_(profile), prompts_(prompts), counter_(counter) {}

bool CPresetRules::Load(const std::string& workDirectoryOverride) {
    return file_.Load(list_, workDirectoryOverride);
}

bool CPresetRules::Save() {
    if (file_.Save(list_)) return true;
    prompts_.Message(CCustomDataFile::kWriteProblem);
    return false;
}

void CPresetRules::ShowFixed(PresetOutcome& out, const std::string& name, int32_t size) {
    out.setPreset = true;
    out.presetName = name;
    out.maxFileSize = size;
    out.sizeTyped = false;
    out.sizeDisplay = FormatText("%d", int(size));
}

std::string CPresetRules::LocationOrWork(const std::string& location, const std::string& workDirectory) {
    return location.empty() ? workDirectory : location;
}

PresetOutcome CPresetRules::Apply(int index, const std::string& workDirectory, const AskCustomSize& ask) {
    PresetOutcome out;
    if (!list_.Valid(index)) return out;
    out.setPreset = true;
    out.presetName = list_.Name(index);
    out.maxFileSize = 0;
    out.notFirstPreset = index != 0 ? 1 : 0;
    int32_t size = list_.Size(index);
    if (size == CPresetList::kTypedSize) {
        out.sizeTyped = true;
    } else if (size == CPresetList::kNewPreset) {
        CustomSizeValues values;
        if (!ask(values)) {
            out.presetName = preset_text::kCustom;
            out.maxFileSize = kCancelledSize;
            out.sizeTyped = true;
            out.sizeDisplay = FormatText("%d", int(kCancelledSize));
        } else {
            profile_.WriteString(preset_text::kUserDefined, FormatText("A%d", counter_), values.name);
            profile_.WriteString(preset_text::kUserDefined, FormatText("B%d", counter_), FormatText("%d", int(values.size)));
            ++counter_;
            list_.Append(values.name, values.size, values.location);
            out.appendName = values.name;
            ShowFixed(out, values.name, values.size);
        }
    } else {
        ShowFixed(out, list_.Name(index), size);
    }
    // The chosen entry's own location: for the new-preset entry that is its own, not the
    // location typed for the preset just defined.
    out.location = LocationOrWork(list_.Location(index), workDirectory);
    return out;
}

PresetOutcome CPresetRules::Add(const std::string& workDirectory, const AskCustomSize& ask) {
    PresetOutcome out;
    CustomSizeValues values;
    if (!ask(values)) return out;
    ++counter_;
    list_.Append(values.name, values.size, values.location);
    Save();
    out.appendName = values.name;
    ShowFixed(out, values.name, values.size);
    out.location = LocationOrWork(values.location, workDirectory);
    return out;
}

PresetOutcome CPresetRules::Remove(int index) {
    PresetOutcome out;
    if (!list_.Valid(index) || index < CPresetList::kFirstRemovable) return out;
    if (!prompts_.AskYesNo(preset_text::kDelete + list_.Name(index))) return out;
    list_.Remove(index);
    Save();
    out.removedIndex = index;
    return out;
}

PresetOutcome CPresetRules::Edit(int index, const std::string& workDirectory, const AskCustomSize& ask) {
    PresetOutcome out;
    if (!list_.Valid(index)) return out;
    if (index < CPresetList::kFirstEditable) {
        prompts_.Message(preset_text::kCannotEdit);
        return out;
    }
    CustomSizeValues values{list_.Name(index), list_.Size(index), list_.Location(index)};
    if (!ask(values)) return out;
    if (list_.FindOther(values.name, index) >= 0) {
        prompts_.Message(preset_text::kDuplicate);
        return out;
    }
    list_.Replace(index, values.name, values.size, values.location);
    out.replaceIndex = index;
    out.replaceName = values.name;
    Save();
    out.location = LocationOrWork(values.location, workDirectory);
    return out;
}
