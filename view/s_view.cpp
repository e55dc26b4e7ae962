// CSView: creation, first update, field exchange, message and command dispatch, painting.
#include "view/s_view.h"

#include <shellapi.h>

#include "dialogs/progress_panel.h"
#include "model/profile_names.h"
#include "platform/path_text.h"
#include "platform/process.h"
#include "platform/settings.h"
#include "resources/zembra_view_res.h"
#include "model/recovery_setting.h"
#include "model/status_text.h"
#include "winui/app.h"
#include "winui/combo_box.h"
#include "winui/data_exchange.h"
#include "winui/message_loop.h"

namespace {

// The set-up part of the first update runs once per program run.
bool g_firstUpdateDone = false;

constexpr int kIconIds[3] = {IDI_VIEW_PROFILE, IDI_VIEW_FILES, IDI_VIEW_LABEL};
constexpr int kIconPlaces[3] = {IDC_ICON_PROFILE, IDC_ICON_FILES, IDC_ICON_LABEL};

}  // namespace

std::unique_ptr<CZmView> CreateZmView() { return std::make_unique<CSView>(); }

CSView::CSView()
    : winui::Dialog(kTemplate),
      progress_(std::make_unique<CProgressPanel>()),
      rejoinerImage_(std::make_unique<ResourceRejoinerImage>()),
      engine_(std::make_unique<CSplitEngine>(SystemFileSystem(), prompts_, *progress_, *rejoinerImage_)),
      sources_(SystemFileSystem()) {
    SetPrompts(&prompts_);
}

CSView::~CSView() {
    if (Exists()) ::DestroyWindow(Handle());
    for (HICON& icon : icons_)
        if (icon) ::DestroyIcon(icon);
    if (comStarted_) ::CoUninitialize();
}

bool CSView::CreateView(IZmViewHost& host) {
    host_ = &host;
    // The tree and the list talk to the shell's name space through COM.
    comStarted_ = SUCCEEDED(::CoInitialize(nullptr));
    if (!Create(host.HostWindow())) return false;
    winui::MessageLoop::AddModeless(Handle());
    engine_->SetViewForward([this](uint32_t size) {
        if (host_) ::SendMessageA(host_->HostWindow(), WM_ZM_VIEW_FORWARD, 0, static_cast<LPARAM>(size));
    });
    engine_->SetBringToFront([this] {
        HWND front = host_ ? winui::App::OwnerFor(host_->HostWindow()) : nullptr;
        if (front) ::SetForegroundWindow(front);
    });
    return true;
}

bool CSView::OnInitDialog() {
    sourcesBox_.Attach(Item(IDC_SOURCES));
    // The list draws its own rows: as high as a line of its font.
    if (HDC dc = ::GetDC(sourcesBox_.Handle())) {
        HGDIOBJ old = ::SelectObject(dc, reinterpret_cast<HFONT>(sourcesBox_.Send(WM_GETFONT)));
        TEXTMETRICA metrics{};
        if (::GetTextMetricsA(dc, &metrics)) sourcesBox_.Send(LB_SETITEMHEIGHT, 0, metrics.tmHeight + 2);
        ::SelectObject(dc, old);
        ::ReleaseDC(sourcesBox_.Handle(), dc);
    }
    Dialog::OnInitDialog();
    return false;
}

void CSView::OnDestroy() {
    winui::MessageLoop::RemoveModeless(Handle());
    // The records hold shell folders: let them go while COM is still up.
    if (fileList_.Exists()) fileList_.Clear();
    if (folderTree_.Exists()) TreeView_DeleteAllItems(folderTree_.Handle());
}

void CSView::Exchange(winui::DataExchange& dx, bool /*save*/) {
    dx.Text(IDC_SET_NAME, splitSetName);
    dx.Int(IDC_MAX_SIZE, maxFileSize);
    dx.Text(IDC_SHOW_FILES, fileFilter);
    dx.Text(IDC_SAVE_LOCATION, saveLocation);
    dx.Text(IDC_SIZE_DISPLAY, sizeDisplayText);
}

void CSView::OnInitialUpdate() {
    if (g_firstUpdateDone) {
        UpdateData(true);
        return;
    }
    winui::ComboBox presets(Item(IDC_PRESETS));
    // The size display sits exactly where the size edit is: one shows while the other hides.
    RECT sizeRect{};
    ::GetWindowRect(Item(IDC_MAX_SIZE), &sizeRect);
    ::MapWindowPoints(nullptr, Handle(), reinterpret_cast<POINT*>(&sizeRect), 2);
    ::MoveWindow(Item(IDC_SIZE_DISPLAY), sizeRect.left, sizeRect.top, sizeRect.right - sizeRect.left,
                 sizeRect.bottom - sizeRect.top, TRUE);
    for (int i = 0; i < 3; ++i)
        icons_[i] = static_cast<HICON>(::LoadImageA(winui::App::Instance(), MAKEINTRESOURCEA(kIconIds[i]), IMAGE_ICON,
                                                    0, 0, LR_DEFAULTSIZE));

    LoadPresets(true);
    presets.SetCurSel(0);
    maxFileSize = 0;
    ::SendMessageA(Item(IDC_MAX_SIZE), EM_SETREADONLY, TRUE, 0);
    ShowItem(IDC_MAX_SIZE, false);
    ShowItem(IDC_SIZE_DISPLAY, true);
    sizeDisplayText.clear();

    userPresetCounter = 1;
    sources_.Clear();
    bytesDone = 0;
    notFirstPreset = 0;
    splitSetName = kDefaultSetName;
    saveLocation.clear();
    mailing = 0;

    exeDirectory = ModuleFolder();
    engine_->SetExeFolder(exeDirectory);

    std::unique_ptr<ISettings> profile = OpenAppProfile(kZmRegistryKey, kZmAppName);
    saveLocation = profile ? profile->GetString("Destination", "LastDest", exeDirectory) : exeDirectory;
    if (!presetLocations.empty()) saveLocation = presetLocations[0];
    if (saveLocation.empty()) saveLocation = exeDirectory;
    if (saveLocation.back() != '\\') saveLocation += '\\';
    winui::ComboBox(Item(IDC_SAVE_LOCATION)).AddString(saveLocation);

    UpdateData(false);
    CreateShellControls();
    TakeCommandLine();

    UpdateData(false);
    presets.SetCurSel(1);
    presets.SetCurSel(0);
    SetButtonStates(true);
    RefreshStatusText();

    g_firstUpdateDone = true;
    if (fromCommandLine) {
        Show(SW_HIDE);
        if (host_) ::SendMessageA(host_->HostWindow(), WM_COMMAND, MAKEWPARAM(32778, 0), 0);
    }
}

void CSView::CreateShellControls() {
    folderTree_.CreateInPlaceOf(Handle(), IDC_FOLDER_TREE);
    fileList_.CreateInPlaceOf(Handle(), IDC_FILE_LIST);
    SHFILEINFOA info{};
    systemImages_ = reinterpret_cast<HIMAGELIST>(
        ::SHGetFileInfoA("C:\\", 0, &info, sizeof info, SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
    if (folderTree_.Exists()) {
        folderTree_.SetImageList(systemImages_);
        folderTree_.FillTopLevel();
    }
    if (fileList_.Exists()) fileList_.SetImageList(systemImages_);
}

void CSView::TakeCommandLine() {
    const char* pending = host_ ? host_->PendingCommandLine() : nullptr;
    if (!pending || !*pending) return;
    fromCommandLine = 1;
    for (const std::string& path : CSourceList::SplitCommandLine(pending)) {
        if (!sources_.AddFromCommandLine(path)) continue;
        sourcesBox_.AddString(path);
        commandLineSources.push_back(path);
    }
    host_->ClearPendingCommandLine();
}

void CSView::RefreshStatusText() {
    if (!host_ || !host_->StatusBar()) return;
    host_->SetStatusText(1, StatusText(sources_.Total(), maxFileSize) +
                                recovery_setting::StatusSuffix(recovery_setting::LoadForUser()));
    ::UpdateWindow(host_->StatusBar());
}

void CSView::SetButtonStates(bool modifiedNow) {
    if (modifiedNow) modified = 1;
    bool enable = !modifiedNow && !IsRemovable(saveLocation);
    EnableItem(IDC_EMAIL, enable);
    EnableItem(IDC_REJOIN, enable);
    if (host_) host_->UpdateToolbar();
}

bool CSView::IsRemovable(const std::string& location) {
    if (location.size() < 3) return false;
    return SystemFileSystem().DriveTypeOf(location.substr(0, 3)) == DriveType::Removable;
}

SourceAdd CSView::AddSource(const std::string& path) {
    SourceAdd result = sources_.Add(path);
    if (result == SourceAdd::Added) {
        SetButtonStates(true);
        sourcesBox_.AddString(path);
        RefreshStatusText();
    }
    return result;
}

void CSView::AddSources(const std::vector<std::string>& paths) {
    bool any = false;
    for (const std::string& path : paths) {
        if (sources_.Add(path) != SourceAdd::Added) continue;
        sourcesBox_.AddString(path);
        any = true;
    }
    if (!any) return;
    SetButtonStates(true);
    RefreshStatusText();
}

void CSView::SetSaveLocation(const std::string& folder) {
    if (folder.empty()) return;
    saveLocation = WithBackslash(folder);
    // Only the box's text: a size typed and not yet taken stays as it is.
    SetItemText(IDC_SAVE_LOCATION, saveLocation);
    SetButtonStates(true);
    RefreshStatusText();
}

void CSView::ClearSources() {
    sources_.Clear();
    sourcesBox_.ResetContent();
    RefreshStatusText();
}

bool CSView::OnCommand(int id) {
    switch (id) {
    case IDC_EMAIL:
        OnEmail();
        return true;
    case IDC_BEGIN_SPLIT:  // "&Build Split File(s)", and the project commands' build
        OnBuild();
        return true;
    default:
        return false;
    }
}

bool CSView::QueryCommand(int id, bool& enabled) {
    if (id != IDC_EMAIL) return false;
    // The menu and toolbar e-mail command follows the form's button.
    enabled = ::IsWindowEnabled(Item(IDC_EMAIL)) != FALSE;
    return true;
}

bool CSView::OnCommand(int id, int code, HWND /*control*/) {
    switch (id) {
    case IDC_ADD:
        if (code == BN_CLICKED) OnAdd();
        return true;
    case IDC_REMOVE:
        if (code == BN_CLICKED) OnRemove();
        return true;
    case IDC_EMAIL:
        if (code == BN_CLICKED) OnEmail();
        return true;
    case IDC_SOURCES:
        if (code == LBN_DBLCLK) OnSourcesDoubleClick();
        return true;
    // Presets, save location and build: s_view_presets.cpp and s_view_build.cpp.
    case IDC_PRESETS:
        if (code == CBN_SELCHANGE) OnPresetSelected();
        if (code == CBN_DROPDOWN) winui::ComboBox(Item(IDC_PRESETS)).FitDroppedWidth();
        return true;
    case IDC_PRESET_ADD:
        if (code == BN_CLICKED) OnAddPreset();
        return true;
    case IDC_PRESET_REMOVE:
        if (code == BN_CLICKED) OnRemovePreset();
        return true;
    case IDC_SAVE_LOCATION:
        if (code == CBN_SELCHANGE) OnSaveLocationSelected();
        if (code == CBN_EDITCHANGE) OnSaveLocationEdited();
        if (code == CBN_DROPDOWN) winui::ComboBox(Item(IDC_SAVE_LOCATION)).FitDroppedWidth();
        return true;
    case IDC_BROWSE:
        if (code == BN_CLICKED) OnBrowseSaveLocation();
        return true;
    case IDC_BEGIN_SPLIT:
        if (code == BN_CLICKED) OnBuild();
        return true;
    case IDC_SHOW_FILES:
        if (code == EN_KILLFOCUS) RefillFileList();
        return true;
    case IDC_MAX_SIZE:
        if (code == EN_CHANGE) SetButtonStates(true);
        return true;
    default:
        // Review Results and Rejoin, and anything else, go along the frame's chain.
        return host_ && code == BN_CLICKED && host_->RouteCommand(id);
    }
}

bool CSView::OnNotify(int id, NMHDR* header, LRESULT& result) {
    if (id == IDC_FOLDER_TREE) {
        if (header->code == TVN_SELCHANGEDA || header->code == TVN_SELCHANGEDW) {
            RefillFileList();
            return true;
        }
        return folderTree_.HandleNotify(header, result);
    }
    if (id == IDC_FILE_LIST) {
        if (header->code == NM_DBLCLK) {
            OnFileListDoubleClick(reinterpret_cast<NMITEMACTIVATE*>(header));
            return true;
        }
        return fileList_.HandleNotify(header, result);
    }
    return false;
}

bool CSView::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    switch (msg) {
    case WM_PAINT:
        Paint();
        result = 0;
        return true;
    case WM_ZM_VIEW_FORWARD:
        bytesDone += static_cast<uint64_t>(static_cast<uint32_t>(lp));
        result = 0;
        return true;
    case WM_ZM_PROJECT_LOADED:
        UpdateData(false);
        SetButtonStates(true);
        RefreshStatusText();
        result = 0;
        return true;
    case WM_ZM_EDIT_PRESET:
        OnEditPreset();
        result = 0;
        return true;
    case WM_ZM_CONTEXT_HELP:
        OnContextHelp();
        result = 0;
        return true;
    default:
        (void)wp;
        return false;
    }
}

void CSView::Paint() {
    PAINTSTRUCT ps;
    HDC dc = ::BeginPaint(Handle(), &ps);
    for (int i = 0; i < 3; ++i) {
        HWND place = Item(kIconPlaces[i]);
        if (!icons_[i] || !place) continue;
        RECT r{};
        ::GetWindowRect(place, &r);
        ::MapWindowPoints(nullptr, Handle(), reinterpret_cast<POINT*>(&r), 2);
        ::DrawIconEx(dc, r.left, r.top, icons_[i], 0, 0, 0, nullptr, DI_NORMAL);
    }
    ::EndPaint(Handle(), &ps);
}
