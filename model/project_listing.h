// CProjectListing: what opening a project takes from its listing, gathered as the lines go by.
// Nothing is kept per line: only what the form will hold (the top-level sources, so a folder of
// half a million files is one path), the segment names, and the few paths a message names.
#pragma once

#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "model/listing_reader.h"
#include "platform/file_system.h"

class CProjectListing {
public:
    // The first paths of a kind, to be named in a message, and how many there are in all.
    struct Sample {
        std::vector<std::string> first;
        size_t count = 0;
    };
    static constexpr size_t kSampled = 10;

    CProjectListing(IFileSystem& fs, std::string path) : fs_(fs), path_(std::move(path)) {}

    // First reading, touching no listed path: what each line names, cut lines, segment names.
    // False when the listing cannot be opened or read.
    bool Read();
    size_t CutLines() const { return cut_; }
    // Entries that name no absolute local path (a path holding a zero byte is shown as its
    // line), and network entries.
    const Sample& Refused() const { return refused_; }
    const Sample& Network() const { return network_; }
    const std::vector<std::string>& Segments() const { return segments_; }

    // Second reading: each local entry (and network one when useNetwork is set; nothing else is
    // ever probed) is looked up once. Stops at the first that exists neither as a file nor as
    // a folder. When all exist, a third reading gathers the sources. False when the listing
    // cannot be read again.
    bool Probe(bool useNetwork);
    // The first entry that is missing; "" when all exist.
    const std::string& FirstMissing() const { return missing_; }
    // The selection the set was built from: the entries (folders included) that lie in no other
    // listed folder, in listing order, each once.
    const std::vector<std::string>& Sources() const { return sources_; }
    // After Probe (the listing and the segments are looked at only now): true when the set is still what its sources would build: its segments are
    // all in segmentFolder and no more of them, and every entry is local and exists, as a file of
    // its listed size or as a folder, written no later than the listing was. A change inside a
    // folder changes the folder's time, so an added or removed file counts too. Anything that
    // cannot be read counts as changed.
    bool IsCurrent(const std::string& segmentFolder, const std::string& setName) const;

    // Read, Probe (network paths left alone) and IsCurrent in one.
    static bool SetIsCurrent(IFileSystem& fs, const std::string& listingPath, const std::string& segmentFolder,
                             const std::string& setName);

private:
    bool Taken(const listing_reader::Line& line) const;
    bool Gather();

    IFileSystem& fs_;
    std::string path_;
    bool useNetwork_ = false;
    size_t cut_ = 0;
    Sample refused_, network_;
    std::vector<std::string> segments_;
    std::string missing_;
    bool entriesCurrent_ = false;  // every entry local, and each file of its listed size
    int64_t newestEntry_ = 0;      // the latest time an entry was written
    // The listed folders that lie in no other listed folder (keys as compared): whatever lies in
    // one of them is carried by it.
    std::set<std::string> topFolders_;
    std::vector<std::string> sources_;
};
