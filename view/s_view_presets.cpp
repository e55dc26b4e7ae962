// CSView: the preset box with "+" and "-", editing a preset, and the save location. The rules
// are the model's (CPresetRules); this binds them to the form's controls.
#include <memory>

#include "dialogs/new_dir_file_dlg.h"
#include "platform/fallback_settings.h"
#include "platform/path_text.h"
#include "platform/process.h"
#include "model/profile_names.h"
#include "resources/zembra_view_res.h"
#include "view/custom_size_dlg.h"
#include "view/s_view.h"
#include "winui/combo_box.h"
#include "winui/edit.h"

namespace {

constexpr const char kDestination[] = "Destination";
constexpr const char kLastDest[] = "LastDest";
constexpr size_t kWorkDirectoryMax = 500;

// Where a user's own copy of custom.dat lives when the program's folder refuses it.
std::string UserSettingsFolder() {
    char appData[MAX_PATH] = {0};
    DWORD n = ::GetEnvironmentVariableA("APPDATA", appData, sizeof appData);
    return n > 0 && n < sizeof appData ? std::string(appData) + "\\Zembra\\" : std::string();
}

// Settings that keep nothing, for a profile that cannot be opened.
class NoSettings : public ISettings {
public:
    std::string GetString(const std::string&, const std::string&, const std::string& f) override { return f; }
    int GetInt(const std::string&, const std::string&, int f) override { return f; }
    bool WriteString(const std::string&, const std::string&, const std::string&) override { return false; }
    bool WriteInt(const std::string&, const std::string&, int) override { return false; }
};

// Index of the entry whose text is exactly text (letter case included), or -1.
int FindExact(const winui::ComboBox& box, const std::string& text) {
    for (int i = 0, n = box.GetCount(); i < n; ++i)
        if (box.GetItemText(i) == text) return i;
    return -1;
}

}  // namespace

CPresetRules& CSView::PresetRules() {
    if (!presetRules_) {
        appProfile_ = OpenAppProfile(kZmRegistryKey, kZmAppName);
        if (!appProfile_) appProfile_ = std::make_unique<NoSettings>();
        customData_ = std::make_unique<CCustomDataFile>(SystemFileSystem(), ModuleFolder(), UserSettingsFolder());
        presetList_ = std::make_unique<CPresetList>(presetNames, presetSizes, presetLocations);
        presetRules_ = std::make_unique<CPresetRules>(*presetList_, *customData_, *appProfile_, prompts_, userPresetCounter);
    }
    return *presetRules_;
}

std::string CSView::WorkDirectory() const { return host_ ? host_->WorkDirectory() : std::string(); }

bool CSView::AskCustomSize(CustomSizeValues& values) {
    CCustomSizeDlg dialog;
    dialog.values = values;
    if (dialog.DoModal(Handle()) != IDOK) return false;
    values = dialog.values;
    return true;
}

void CSView::LoadPresets(bool fillBox) {
    std::string work;
    if (std::unique_ptr<ISettings> mail = OpenMailSettings())
        work = mail->GetString("EMailSetup", "WorkDirectory", "").substr(0, kWorkDirectoryMax);
    size_t before = presetNames.size();
    PresetRules().Load(work);
    if (!fillBox) return;
    winui::ComboBox box(Item(IDC_PRESETS));
    for (size_t i = before; i < presetNames.size(); ++i) box.AddString(presetNames[i]);
}

bool CSView::SavePresets() { return PresetRules().Save(); }

PresetOutcome CSView::ApplyPresetForWizard(int index) {
    PresetOutcome out = PresetRules().Apply(index, WorkDirectory(), [this](CustomSizeValues& v) { return AskCustomSize(v); });
    // A preset defined from the wizard joins the form's box too: box and lists stay in step.
    if (!out.appendName.empty()) winui::ComboBox(Item(IDC_PRESETS)).AddString(out.appendName);
    return out;
}

// Shows what a preset operation left: the size field or the size display, the box entries,
// and the save location. Only the controls whose fields changed are written, so text typed
// elsewhere on the form and not yet taken is not overwritten.
void CSView::TakePresetOutcome(const PresetOutcome& out) {
    winui::ComboBox box(Item(IDC_PRESETS));
    if (out.notFirstPreset >= 0) notFirstPreset = out.notFirstPreset;
    if (!out.appendName.empty()) box.AddString(out.appendName);
    if (out.replaceIndex >= 0) {
        box.DeleteString(out.replaceIndex);
        box.InsertString(out.replaceIndex, out.replaceName);
        box.SetCurSel(out.replaceIndex);
    }
    if (out.removedIndex >= 0) {
        box.DeleteString(out.removedIndex);
        box.SetCurSel(out.removedIndex - 1);
    }
    if (out.setPreset) {
        currentPresetName = out.presetName;
        maxFileSize = out.maxFileSize;
        sizeDisplayText = out.sizeDisplay;
        winui::Edit(Item(IDC_MAX_SIZE)).SetReadOnly(!out.sizeTyped);
        ShowItem(IDC_MAX_SIZE, out.sizeTyped);
        ShowItem(IDC_SIZE_DISPLAY, !out.sizeTyped);
        ::SetDlgItemInt(Handle(), IDC_MAX_SIZE, static_cast<UINT>(maxFileSize), TRUE);
        SetItemText(IDC_SIZE_DISPLAY, sizeDisplayText);
    }
    if (!out.location.empty()) UseSaveLocation(out.location, false);
}

// The location becomes the save location, shown in the box (added when the box lacks it).
void CSView::UseSaveLocation(const std::string& location, bool remember) {
    winui::ComboBox box(Item(IDC_SAVE_LOCATION));
    int at = FindExact(box, location);
    if (at < 0) {
        at = box.AddString(location);
        if (remember && appProfile_) appProfile_->WriteString(kDestination, kLastDest, location);
    }
    box.SetCurSel(at);
    saveLocation = location;
}

void CSView::OnPresetSelected() {
    SetButtonStates(true);
    int index = winui::ComboBox(Item(IDC_PRESETS)).GetCurSel();
    if (index >= 0)
        TakePresetOutcome(PresetRules().Apply(index, WorkDirectory(), [this](CustomSizeValues& v) { return AskCustomSize(v); }));
    RefreshStatusText();
}

void CSView::OnAddPreset() {
    PresetOutcome out = PresetRules().Add(WorkDirectory(), [this](CustomSizeValues& v) { return AskCustomSize(v); });
    if (out.appendName.empty()) return;  // cancelled
    SetButtonStates(true);
    TakePresetOutcome(out);
}

void CSView::OnRemovePreset() {
    PresetOutcome out = PresetRules().Remove(winui::ComboBox(Item(IDC_PRESETS)).GetCurSel());
    if (out.removedIndex < 0) return;
    SetButtonStates(true);
    TakePresetOutcome(out);
}

void CSView::OnEditPreset() {
    int index = winui::ComboBox(Item(IDC_PRESETS)).GetCurSel();
    TakePresetOutcome(PresetRules().Edit(index, WorkDirectory(), [this](CustomSizeValues& v) { return AskCustomSize(v); }));
}

void CSView::OnBrowseSaveLocation() {
    saveLocation = ItemText(IDC_SAVE_LOCATION);
    std::string folder = saveLocation;
    if (!ChooseFolder(folder, Handle()) || folder.empty()) return;
    PresetRules();  // the profile that remembers the location
    UseSaveLocation(WithBackslash(folder), true);
    SetButtonStates(true);
}

// The box's edit shows the new entry only after this notification: the entry is read itself.
void CSView::OnSaveLocationSelected() {
    winui::ComboBox box(Item(IDC_SAVE_LOCATION));
    int at = box.GetCurSel();
    saveLocation = WithBackslash(at >= 0 ? box.GetItemText(at) : ItemText(IDC_SAVE_LOCATION));
    PresetRules();  // the profile that remembers the location
    if (appProfile_) appProfile_->WriteString(kDestination, kLastDest, saveLocation);
    RefreshStatusText();
    SetButtonStates(true);
}

void CSView::OnSaveLocationEdited() { SetButtonStates(true); }
