// CSplitEngine: the run as a whole, the contents listing and the name rules.
#include "engine/split_engine.h"

#include <algorithm>
#include <cctype>

#include "engine/split_messages.h"
#include "platform/process.h"
#include "platform/text_format.h"

namespace {

std::string Upper(std::string s) {
    for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

bool SameIgnoringCase(const std::string& a, const std::string& b) { return Upper(a) == Upper(b); }

// The set's files are named after it in the destination: a separator or a colon would put them
// in another folder or an alternate stream, the other characters cannot be created.
bool PlainSetName(const std::string& name) {
    for (unsigned char c : name)
        if (c < 0x20 || std::string("\\/:*?\"<>|").find(static_cast<char>(c)) != std::string::npos) return false;
    return true;
}

// Windows opens a device for a file name whose part before the first dot (trailing spaces
// dropped) is a device's name, in any case: NUL_1.EXE is a file, but NUL.spj and NUL.sha256
// are the null device, and the set would be written without its listing.
bool DeviceSetName(const std::string& name) {
    std::string stem = Upper(name.substr(0, name.find('.')));
    while (!stem.empty() && stem.back() == ' ') stem.pop_back();
    for (const char* device : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$", "CLOCK$"})
        if (stem == device) return true;
    // COM0..COM9 and LPT0..LPT9, and with the superscripts 1, 2, 3 of the ANSI code page.
    return stem.size() == 4 && (stem.compare(0, 3, "COM") == 0 || stem.compare(0, 3, "LPT") == 0) &&
           (std::isdigit(static_cast<unsigned char>(stem[3])) || stem[3] == '\xB9' || stem[3] == '\xB2' ||
            stem[3] == '\xB3');
}

}  // namespace

CSplitEngine::CSplitEngine(IFileSystem& fs, IPrompts& prompts, IProgress& progress, IRejoinerImage& image,
                           SplitEngineOptions options, SplitSharedState& shared)
    : fs_(fs),
      prompts_(prompts),
      progress_(options.progressAndCancel ? progress : noProgress_),
      image_(image),
      options_(options),
      shared_(shared),
      exeFolder_(ModuleFolder()) {
    progress_.Hide();
}

CSplitEngine::~CSplitEngine() {
    if (segment_) segment_->Close();
}

void CSplitEngine::ShowProgress() { progress_.Show(); }
void CSplitEngine::HideProgress() { progress_.Hide(); }

// The user's Cancel is seen here, before every entry and between blocks.
bool CSplitEngine::CheckCancel() {
    if (!options_.progressAndCancel || !progress_.Cancelled()) return true;
    prompts_.Message(split_text::kCancelled);
    return false;
}

bool CSplitEngine::PaceProgress() {
    if (pacer_.Due()) {
        ShowEntry();
        progress_.PumpMessages(true);
    }
    return CheckCancel();
}

void CSplitEngine::ShowEntry() {
    if (!entry_.shown) {
        progress_.SetRange(0, entry_.upper);
        progress_.SetStep(entry_.step);
        entry_.shown = true;
    }
    progress_.SetPos(entry_.position);
    // Formatted only when shown: with a paced window most entries of a tree of small files never are.
    if (!entry_.path.empty()) progress_.SetText(FormatText(split_text::kSplittingPath, entry_.path.c_str()));
    entry_.path.clear();
}

std::string CSplitEngine::SegmentName(const std::string& baseName, int number) {
    return FormatText("%s_%d", baseName.c_str(), number) + (number == 1 ? ".EXE" : ".SEG");
}

// The first segment must hold the image, its flag and trailer; every segment must be able to
// take the longest record whole, or a record would never find room.
uint64_t CSplitEngine::MinimumSegment() const {
    return MinimumSegmentFor(imageLength_);
}

bool CSplitEngine::RefuseSegmentSize(uint64_t size) {
    if (autosize_)
        prompts_.Message(FormatText(split_text::kNoRoomLeft, destination_.c_str()));
    else
        prompts_.Message(FormatText(split_text::kSizeTooSmall, static_cast<unsigned long long>(size),
                                    static_cast<unsigned long long>(MinimumSegment())));
    return false;
}

bool CSplitEngine::Split(const std::string& destination, const std::string& baseName, uint64_t size) {
    created_.clear();
    if (!PlainSetName(baseName)) {
        prompts_.Message(FormatText(split_text::kBadSetName, baseName.c_str()));
        return false;
    }
    if (DeviceSetName(baseName)) {
        prompts_.Message(FormatText(split_text::kDeviceSetName, baseName.c_str()));
        return false;
    }
    uint32_t attributes = 0;
    if (!fs_.GetAttributes(destination, attributes) || !(attributes & kAttrFolder) ||
        (attributes & kAttrReadOnly)) {
        prompts_.Message(destination + split_text::kDoesNotExist);
        return false;
    }

    shared_.continuation.clear();
    shared_.includedFiles = 0;
    folderCounter_ = 0;
    autosize_ = false;
    segmentCount_ = 0;
    segment_.reset();
    createdListing_.clear();
    listingFailedPath_.clear();
    listingFailure_.clear();
    leftOut_.clear();
    hiddenLeftOut_.clear();
    recordsWritten_ = 0;
    segmentsRemoved_ = true;
    destination_ = destination;
    if (destination_.empty() || destination_.back() != '\\') destination_ += '\\';
    segmentName_.clear();

    std::string root = destination_.substr(0, 3);
    if (size == 0) {
        autosize_ = true;
        size = GetUsableFreeSpace(root);
    } else if (GetUsableFreeSpace(root) < size) {
        if (!prompts_.AskYesNo(FormatText(split_text::kNoRoomAtStart, destination_.c_str()))) return false;
        size = GetUsableFreeSpace(root);
    }
    segmentSize_ = size;
    baseName_ = baseName;
    removable_ = fs_.DriveTypeOf(root) == DriveType::Removable;

    std::vector<uint8_t> image;
    if (!image_.Load(image) || image.empty() || image.size() > UINT32_MAX) {
        prompts_.Message(split_text::kNoRejoiner);
        return false;
    }
    imageLength_ = static_cast<uint32_t>(image.size());
    if (segmentSize_ < MinimumSegment()) return RefuseSegmentSize(segmentSize_);
    if (!CheckNames()) return false;

    progress_.SetRange(0, static_cast<int>(std::min<size_t>(items_.size() + 10, INT32_MAX)));
    progress_.SetText(split_text::kSplitting);
    ShowProgress();
    segmentCount_ = 0;

    bool ok = OpenNextSegment(true);
    if (ok) {
        // OpenNextSegment guaranteed room for the image, the flag and the trailer.
        const uint8_t flag = 0;
        ok = WriteData(image.data(), image.size()) && WriteData(&flag, 1);
        if (ok) capacityLeft_ -= 4;  // the trailer, appended at close
    }
    image.clear();
    image.shrink_to_fit();
    entry_ = EntryProgress();
    pacer_.Reset();
    for (size_t i = 0; ok && i < items_.size(); ++i) {
        if (pacer_.Due()) {
            progress_.StepIt();
            progress_.PumpMessages(true);
        }
        ok = AddEntry(items_[i], 0);
    }
    // Every item left out (a pipe alone, say): a set of nothing is no set.
    if (ok && recordsWritten_ == 0) {
        prompts_.Message(ListLines(split_text::kNothingToSplit, leftOut_));
        ok = false;
    }
    // A failed run never flags a segment as the last one: even where its files cannot all be
    // removed (an earlier diskette), a reader then knows the set is incomplete.
    if (segment_ && !CloseSegment(ok ? 1 : 0) && ok) ok = ReportWriteError();
    segment_.reset();
    FinishListing();
    if (!ok) RemoveCreatedSegments();
    HideProgress();
    if (ok) ReportLeftOut();
    if (ok && !hiddenLeftOut_.empty())
        prompts_.Message(ListLines(FormatText(split_text::kHiddenLeftOut, static_cast<int>(hiddenLeftOut_.size())),
                                   hiddenLeftOut_));
    if (ok) ReportListingFailure();
    return ok;
}

void CSplitEngine::RemoveCreatedSegments() {
    for (size_t i = 0; i < created_.size(); ++i)
        if (created_[i] != createdListing_ && !fs_.RemoveFile(created_[i]) && fs_.Exists(created_[i]))
            segmentsRemoved_ = false;
}

std::string CSplitEngine::ListingFolder() const {
    return removable_ && options_.listingBesideExeWhenRemovable ? exeFolder_ : destination_;
}

void CSplitEngine::WriteListingLine(const std::string& folder, const std::string& baseName,
                                    const std::string& text, int64_t number, bool removable) {
    // After a failed open no later line may start the file afresh: it would pass for whole.
    if (!listingFailedPath_.empty()) return;
    if (!shared_.listing.IsOpen()) {
        std::string place = removable && options_.listingBesideExeWhenRemovable ? exeFolder_ : folder;
        const char* form = !place.empty() && place.back() == '\\' ? "%s%s.spj" : "%s\\%s.spj";
        std::string path = FormatText(form, place.c_str(), baseName.c_str());
        if (!shared_.listing.Open(fs_, path)) {
            listingFailure_ = fs_.LastErrorText();
            listingFailedPath_ = path;
            return;
        }
        created_.push_back(path);
        createdListing_ = path;
    }
    if (number < 0)
        shared_.listing.Write(FormatText(split_text::kHeading, text.c_str(), shared_.continuation.c_str()));
    else
        shared_.listing.Write(text + " - " + std::to_string(number) + "\n");
}

void CSplitEngine::FinishListing() {
    if (!shared_.listing.IsOpen()) return;
    shared_.listing.Write(FormatText(split_text::kSummary, shared_.includedFiles));
    if (!shared_.listing.Close()) {
        listingFailure_ = shared_.listing.ErrorText();
        listingFailedPath_ = createdListing_;
    }
}

// The segments are whole and stay; the user learns that the listing (the set's project file)
// is missing or cut, and why.
void CSplitEngine::ReportListingFailure() {
    if (listingFailedPath_.empty()) return;
    prompts_.Message(FormatText(split_text::kListingFailed, listingFailure_.c_str(), listingFailedPath_.c_str()));
}

bool CSplitEngine::IsOwnOutput(const std::string& name) const {
    size_t underscore = name.rfind('_');
    if (underscore == std::string::npos) return SameIgnoringCase(name, baseName_ + ".spj");
    return SameIgnoringCase(name.substr(0, underscore), baseName_);
}

bool CSplitEngine::MatchPattern(const std::string& pattern, const std::string& name) {
    if (pattern == "*.*" || pattern == "*") return true;
    size_t pd = pattern.find('.');
    size_t nd = name.find('.');
    if (pd == std::string::npos && nd == std::string::npos) return pattern == name;
    if (pd == std::string::npos) return false;
    std::string pext = pattern.substr(pd + 1);
    if (nd == std::string::npos) return pext.find('*') != std::string::npos;
    std::string pstem = Upper(pattern.substr(0, pd));
    std::string nstem = Upper(name.substr(0, nd));
    pext = Upper(pext);
    std::string next = Upper(name.substr(nd + 1));
    bool extOk = pext.find('*') != std::string::npos || pext == next;
    bool stemOk = pstem.find('*') != std::string::npos || pstem == nstem;
    return extOk && stemOk;
}
