// Rejoin, Review Results and the project loader.
#include "app/project_loader.h"

#include <vector>

#include "dialogs/contents_dlg.h"
#include "app/main_frame.h"
#include "app/zm_app.h"
#include "dialogs/zm_messages.h"
#include "platform/process.h"
#include "platform/settings.h"
#include "platform/text_case.h"
#include "resources/zembra_view_res.h"
#include "model/listing_reader.h"
#include "model/project_listing.h"
#include "view/s_view.h"

namespace {

// The framework's word for a document it could not open.
constexpr const char* kOpenFailed = "Failed to open document.";

const char kRefusedLines[] =
    "\nThese lines name no full path on a drive of this computer and are not taken as sources:\n";
const char kNetworkLines[] = "\nnames sources on other computers:\n";
const char kUseNetwork[] = "\nOpening them connects to those computers. Take them as sources?";

// Paths one to a line, the first few of a long list and how many more.
std::string Listed(const CProjectListing::Sample& paths) {
    std::string text;
    for (const std::string& path : paths.first) text += path + "\n";
    if (paths.count > paths.first.size()) text += "... and " + std::to_string(paths.count - paths.first.size()) + " more\n";
    return text;
}

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
    std::string text;
    if (!HasProject()) {
        view_.ViewPrompts().Message("No project file created or opened.");
        return;
    }
    // A project is open but its listing is gone, unreadable or too large to hold: say that,
    // rather than that no project is open.
    const std::string& listing = view_.Engine().ListingPath();
    if (!listing_reader::ReadContentsText(fs, listing, text)) {
        view_.ViewPrompts().Message("The contents listing " + listing + " could not be read.");
        return;
    }
    // The listing says what went into which segment whether or not the sources are still
    // where they were: it is shown in either case. The viewer takes the one copy there is.
    CContentsDlg::ShowContents(std::move(text), view_.Handle());
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
    // Read only: a listing on a CD or marked read-only opens as well as any other. It is read
    // as it goes by, keeping only what the form will hold: a listing of half a million files
    // costs the few folders they lie in.
    CProjectListing listing(fs, path);
    if (!listing.Read()) {
        view_.ViewPrompts().Message(kOpenFailed);
        return 0;
    }
    // Nothing this program writes comes near: the file was damaged or made elsewhere.
    if (size_t cut = listing.CutLines())
        view_.ViewPrompts().Message(path + "\r\n" + std::to_string(cut) + (cut == 1 ? " line is" : " lines are") +
                                    " longer than a listing line can be: only the start of each is shown, and none"
                                    " of them is taken as a source.");
    // A listing is a file anyone can hand over: lines that name no full local path are said
    // once and left out, and a network path is not touched unless the user says so.
    if (listing.Refused().count) view_.ViewPrompts().Message(path + kRefusedLines + Listed(listing.Refused()));
    const bool useNetwork = listing.Network().count &&
                            view_.ViewPrompts().AskYesNo(path + kNetworkLines + Listed(listing.Network()) + kUseNetwork);
    if (!listing.Probe(useNetwork)) {
        view_.ViewPrompts().Message(kOpenFailed);
        return 0;
    }
    if (!listing.FirstMissing().empty()) {
        // The form keeps the project it holds: half of another one would be built over this set.
        OfferRejoin(path);
        return 1;
    }
    Replace(path, listing);
    return 1;
}

void CProjectLoader::Replace(const std::string& path, const CProjectListing& listing) {
    std::string folder, setName;
    listing_reader::SplitProjectPath(path, folder, setName);
    ProjectBuild build;
    const bool remembered = view_.RecallBuild(path, build);
    // The listing lies with the set, except that a set on diskettes has it in the program's folder.
    std::string destination = folder;
    if (remembered && !build.destination.empty() && SameTextIgnoringCase(folder, view_.exeDirectory))
        destination = build.destination;

    view_.saveLocation = destination;
    view_.splitSetName = setName;
    SelectDestination(destination);
    view_.UpdateData(false);
    view_.SetItemText(IDC_SET_NAME, setName);
    ::InvalidateRect(view_.Item(IDC_SAVE_LOCATION), nullptr, TRUE);
    ::InvalidateRect(view_.Item(IDC_SET_NAME), nullptr, TRUE);
    frame_.SetDocumentTitle(setName);

    view_.ClearSources();
    // The selection as it was built: folders come back whole, in listing order.
    view_.AddSources(listing.Sources());
    view_.Engine().SetListingPath(path);
    // A project built before its build was kept comes back as the first preset sizes it.
    view_.RestoreBuild(remembered ? build : ProjectBuild(), destination);
    view_.UpdateData(false);
    ::SendMessageA(view_.Handle(), WM_ZM_PROJECT_LOADED, 0, 0);
    // The set as built and its sources unchanged: nothing to build again before Email or Rejoin.
    if (listing.IsCurrent(destination, setName)) view_.modified = 0;
}

void CProjectLoader::OfferRejoin(const std::string& path) {
    // The listing is read once more, as the viewer shows it: the text is held only while it is
    // shown. OK extracts the set that lies next to the project file.
    std::string contents;
    if (!listing_reader::ReadContentsText(SystemFileSystem(), path, contents)) {
        view_.ViewPrompts().Message(kOpenFailed);
        return;
    }
    if (CContentsDlg::ShowContents(std::move(contents), view_.Handle(), true) != IDOK) return;
    std::string first = path.substr(0, path.size() - 4) + "_1.exe";
    if (!StartProcess(Quoted(first))) view_.ViewPrompts().Message("Failed to Extract Files!");
}
