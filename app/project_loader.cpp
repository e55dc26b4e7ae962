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
#include "view/s_view.h"

namespace {

// The framework's word for a document it could not open.
constexpr const char* kOpenFailed = "Failed to open document.";

const char kRefusedLines[] =
    "\nThese lines name no full path on a drive of this computer and are not taken as sources:\n";
const char kNetworkLines[] = "\nnames sources on other computers:\n";
const char kUseNetwork[] = "\nOpening them connects to those computers. Take them as sources?";
constexpr size_t kListedMost = 10;

// Paths one to a line, the first few of a long list and how many more.
std::string Listed(const std::vector<std::string>& paths) {
    std::string text;
    for (size_t i = 0; i < paths.size() && i < kListedMost; ++i) text += paths[i] + "\n";
    if (paths.size() > kListedMost) text += "... and " + std::to_string(paths.size() - kListedMost) + " more\n";
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
    // Nothing this program writes comes near: the file was damaged or made elsewhere.
    if (size_t cut = listing_reader::CutLines(lines))
        view_.ViewPrompts().Message(path + "\r\n" + std::to_string(cut) + (cut == 1 ? " line is" : " lines are") +
                                    " longer than a listing line can be: only the start of each is shown, and none"
                                    " of them is taken as a source.");
    // A listing is a file anyone can hand over: lines that name no full local path are said
    // once and left out, and a network path is not touched unless the user says so.
    std::vector<std::string> refused = listing_reader::PathsOfKind(lines, listing_reader::SourceKind::Refused);
    if (!refused.empty()) view_.ViewPrompts().Message(path + kRefusedLines + Listed(refused));
    std::vector<std::string> network = listing_reader::PathsOfKind(lines, listing_reader::SourceKind::Network);
    const bool useNetwork = !network.empty() && view_.ViewPrompts().AskYesNo(path + kNetworkLines + Listed(network) + kUseNetwork);

    std::string contents = listing_reader::ContentsText(lines);
    if (!listing_reader::FirstMissingSource(fs, lines, useNetwork).empty()) {
        // The form keeps the project it holds: half of another one would be built over this set.
        OfferRejoin(path, contents);
        return 1;
    }
    Replace(path, lines, useNetwork);
    return 1;
}

void CProjectLoader::Replace(const std::string& path, const std::vector<listing_reader::Line>& lines, bool useNetwork) {
    IFileSystem& fs = SystemFileSystem();
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
    view_.contentsText = listing_reader::ContentsText(lines);
    // The selection as it was built: folders come back whole, in listing order.
    view_.AddSources(listing_reader::Sources(fs, lines, useNetwork));
    view_.Engine().SetListingPath(path);
    // A project built before its build was kept comes back as the first preset sizes it.
    view_.RestoreBuild(remembered ? build : ProjectBuild(), destination);
    view_.UpdateData(false);
    ::SendMessageA(view_.Handle(), WM_ZM_PROJECT_LOADED, 0, 0);
    // The set as built and its sources unchanged: nothing to build again before Email or Rejoin.
    if (listing_reader::SetIsCurrent(fs, path, lines, destination, setName)) view_.modified = 0;
}

void CProjectLoader::OfferRejoin(const std::string& path, const std::string& contents) {
    // OK extracts the set that lies next to the project file.
    if (CContentsDlg::ShowContents(contents, view_.Handle(), true) != IDOK) return;
    std::string first = path.substr(0, path.size() - 4) + "_1.exe";
    if (!StartProcess(Quoted(first))) view_.ViewPrompts().Message("Failed to Extract Files!");
}
