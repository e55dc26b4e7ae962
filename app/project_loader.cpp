// Rejoin, Review Results and the project loader.
#include "app/project_loader.h"

#include <vector>

#include "dialogs/contents_dlg.h"
#include "app/main_frame.h"
#include "app/zm_app.h"
#include "dialogs/zm_messages.h"
#include "platform/process.h"
#include "platform/settings.h"
#include "resources/zembra_view_res.h"
#include "model/listing_reader.h"
#include "view/s_view.h"

namespace {

// The framework's word for a document it could not open.
constexpr const char* kOpenFailed = "Failed to open document.";

// A program path as one argument: quoted, so a folder with spaces can't start another program.
std::string Quoted(const std::string& path) { return "\"" + path + "\""; }

}  // namespace

bool CProjectLoader::HasProject() const { return !view_.Engine().ListingPath().empty(); }

void CProjectLoader::Rejoin() {
    if (!HasProject()) {
        view_.ViewPrompts().Message("No project file created or opened to Rejoin.");
        return;
    }
    std::string first = view_.saveLocation + view_.splitSetName + "_1.exe";
    if (!StartProcess(Quoted(first))) view_.ViewPrompts().Message("Failed to execute the Split Set!");
}

void CProjectLoader::ReviewResults() {
    IFileSystem& fs = SystemFileSystem();
    std::vector<listing_reader::Line> lines;
    if (!HasProject() || !listing_reader::ReadLines(fs, view_.Engine().ListingPath(), lines)) {
        view_.ViewPrompts().Message("No project file created or opened.");
        return;
    }
    // The listing says what went into which segment whether or not the sources are still
    // where they were: it is shown in either case.
    view_.contentsText = listing_reader::ContentsText(lines);
    CContentsDlg::ShowContents(view_.contentsText, view_.Handle());
}

void CProjectLoader::SelectDestination(const std::string& folder) {
    HWND box = view_.Item(IDC_SAVE_LOCATION);
    LRESULT at = ::SendMessageA(box, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(folder.c_str()));
    // The exact-item search ignores case but a different spelling is another entry.
    if (at != CB_ERR) {
        std::vector<char> text(static_cast<size_t>(::SendMessageA(box, CB_GETLBTEXTLEN, at, 0)) + 1, '\0');
        ::SendMessageA(box, CB_GETLBTEXT, at, reinterpret_cast<LPARAM>(text.data()));
        if (folder != text.data()) at = CB_ERR;
    }
    if (at == CB_ERR) {
        at = ::SendMessageA(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(folder.c_str()));
        auto profile = OpenAppProfile(CZmApp::kRegistryKey, CZmApp::kAppName);
        if (profile) profile->WriteString("Destination", "LastDest", folder);
    }
    ::SendMessageA(box, CB_SETCURSEL, at, 0);
}

int CProjectLoader::Load(const std::string& path) {
    IFileSystem& fs = SystemFileSystem();
    FileStatus status;
    if (!fs.GetStatus(path, status)) return 0;
    // Read only: a listing on a CD or marked read-only opens as well as any other.
    std::vector<listing_reader::Line> lines;
    if (!listing_reader::ReadLines(fs, path, lines)) {
        view_.ViewPrompts().Message(kOpenFailed);
        return 0;
    }
    std::string folder, setName;
    listing_reader::SplitProjectPath(path, folder, setName);
    view_.saveLocation = folder;
    view_.splitSetName = setName;
    SelectDestination(folder);
    view_.UpdateData(false);
    view_.SetItemText(IDC_SET_NAME, setName);
    ::InvalidateRect(view_.Item(IDC_SAVE_LOCATION), nullptr, TRUE);
    ::InvalidateRect(view_.Item(IDC_SET_NAME), nullptr, TRUE);
    frame_.SetDocumentTitle(setName);

    std::string contents = listing_reader::ContentsText(lines);
    if (!listing_reader::FirstMissingSource(fs, lines).empty()) {
        OfferRejoin(path, contents);
        return 1;
    }
    view_.contentsText.clear();
    view_.ClearSources();
    view_.UpdateData(false);
    view_.contentsText = contents;
    // The selection as it was built: folders come back whole, in listing order.
    for (const std::string& source : listing_reader::Sources(fs, lines)) view_.AddSource(source);
    view_.Engine().SetListingPath(path);
    view_.RefreshStatusText();
    view_.UpdateData(false);
    ::SendMessageA(view_.Handle(), WM_ZM_PROJECT_LOADED, 0, 0);
    return 1;
}

void CProjectLoader::OfferRejoin(const std::string& path, const std::string& contents) {
    // OK extracts the set that lies next to the project file.
    if (CContentsDlg::ShowContents(contents, view_.Handle(), true) != IDOK) return;
    std::string first = path.substr(0, path.size() - 4) + "_1.exe";
    if (!StartProcess(Quoted(first))) view_.ViewPrompts().Message("Failed to Extract Files!");
}
