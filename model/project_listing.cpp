// A project's listing read as the lines go by: samples of refused and network entries, one probe
// per source, the top-level sources.
#include "model/project_listing.h"

#include <cctype>
#include <cstdlib>

#include "engine/split_engine.h"

using listing_reader::Line;
using listing_reader::SourceKind;

namespace {

// A path as compared: lower case (names ignore case on Windows), without a trailing backslash
// (a drive root "D:\\" becomes "d:", the ancestor key of everything on the drive).
std::string Key(const std::string& path) {
    std::string key = path;
    while (!key.empty() && key.back() == '\\') key.pop_back();
    for (char& c : key) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return key;
}

// True when one of key's ancestors is in folders.
bool InFolder(const std::set<std::string>& folders, const std::string& key) {
    for (size_t cut = key.find('\\'); cut != std::string::npos; cut = key.find('\\', cut + 1))
        if (folders.count(key.substr(0, cut))) return true;
    return false;
}

// Keeps folders to those in no other: a folder inside one held is carried by it, and one that
// holds some of them replaces them (a listing may name a folder after what lies in it).
void AddFolder(std::set<std::string>& folders, const std::string& key) {
    if (folders.count(key) || InFolder(folders, key)) return;
    // Keys below key sort from key + '\' up to key + ']', the character after the backslash.
    folders.erase(folders.lower_bound(key + '\\'), folders.lower_bound(key + ']'));
    folders.insert(key);
}

void Note(CProjectListing::Sample& sample, const Line& line) {
    if (sample.count++ < CProjectListing::kSampled) sample.first.push_back(line.path.empty() ? line.text : line.path);
}

// A file's entry ends in " - " and its size in decimal, which must be the file's size now.
bool SizeMatches(const std::string& text, uint64_t size) {
    const size_t dash = text.rfind(" - ");
    if (dash == std::string::npos) return false;
    const char* digits = text.c_str() + dash + 3;
    char* end = nullptr;
    const unsigned long long listed = std::strtoull(digits, &end, 10);
    return end != digits && *end == '\0' && listed == size;
}

}  // namespace

bool CProjectListing::Taken(const Line& line) const {
    return line.entry && (line.kind == SourceKind::Local || (useNetwork_ && line.kind == SourceKind::Network));
}

bool CProjectListing::Read() {
    cut_ = 0;
    refused_ = network_ = Sample();
    segments_.clear();
    return listing_reader::ForEachLine(fs_, path_, [this](const Line& line) {
        if (line.cut) ++cut_;
        if (line.entry && line.kind == SourceKind::Refused) Note(refused_, line);
        if (line.entry && line.kind == SourceKind::Network) Note(network_, line);
        if (!line.entry && line.text.rfind(listing_reader::kHeading, 0) == 0)
            segments_.push_back(listing_reader::SegmentName(line.text));
        return true;
    });
}

bool CProjectListing::Probe(bool useNetwork) {
    useNetwork_ = useNetwork;
    missing_.clear();
    topFolders_.clear();
    sources_.clear();
    entriesCurrent_ = true;
    newestEntry_ = 0;
    bool read = listing_reader::ForEachLine(fs_, path_, [&](const Line& line) {
        if (!line.entry) return true;
        // Entries not taken are never touched; they make the set one its sources cannot rebuild.
        if (!Taken(line)) {
            entriesCurrent_ = false;
            return true;
        }
        // One look-up per line where it can be: a local entry's status answers both whether it
        // is there and whether it is as listed. What has no status of its own (a drive root,
        // another kind of path) is asked for its attributes.
        FileStatus status;
        const bool described = line.kind == SourceKind::Local && fs_.GetStatus(line.path, status);
        uint32_t attributes = status.attributes;
        if (!described && !fs_.GetAttributes(line.path, attributes)) {
            missing_ = line.path;
            entriesCurrent_ = false;
            return false;
        }
        if (attributes & kAttrFolder) AddFolder(topFolders_, Key(line.path));
        // Once the set is known to be stale, its entries are not described any further.
        if (!entriesCurrent_) return true;
        if (!described || (!(status.attributes & kAttrFolder) && !SizeMatches(line.text, status.size)))
            entriesCurrent_ = false;
        else if (status.written > newestEntry_)
            newestEntry_ = status.written;
        return true;
    });
    if (!read) return false;
    return missing_.empty() ? Gather() : true;
}

bool CProjectListing::Gather() {
    // Keys of the sources taken, so a path listed twice (letter case aside) is one source.
    std::set<std::string> seen;
    return listing_reader::ForEachLine(fs_, path_, [&](const Line& line) {
        if (!Taken(line)) return true;
        std::string key = Key(line.path);
        if (!InFolder(topFolders_, key) && seen.insert(key).second) sources_.push_back(line.path);
        return true;
    });
}

bool CProjectListing::IsCurrent(const std::string& segmentFolder, const std::string& setName) const {
    if (!entriesCurrent_ || !missing_.empty() || segments_.empty()) return false;
    FileStatus listing;
    if (!fs_.GetStatus(path_, listing) || listing.written == 0 || newestEntry_ > listing.written) return false;
    if (CSplitEngine::CountSegments(fs_, segmentFolder, setName) != int(segments_.size())) return false;
    for (const std::string& name : segments_)
        if (!fs_.Exists(segmentFolder + name)) return false;
    return true;
}

bool CProjectListing::SetIsCurrent(IFileSystem& fs, const std::string& listingPath, const std::string& segmentFolder,
                                   const std::string& setName) {
    CProjectListing listing(fs, listingPath);
    return listing.Read() && listing.Probe(false) && listing.IsCurrent(segmentFolder, setName);
}
