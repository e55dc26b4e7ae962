// CSplitEngine: turns a list of files and folders into a split set and its contents listing.
//
// Usage:
//     BytesRejoinerImage image(bytes);              // or ResourceRejoinerImage on Windows
//     CSplitEngine engine(SystemFileSystem(), prompts, progress, image);
//     engine.ClearItems();
//     engine.AddItem("C:\\data\\report.doc");
//     engine.AddItem("C:\\data\\photos");
//     bool ok = engine.Split("A:\\", "backup", 1440000);   // 0 = autosize
//     // engine.Destination() / CurrentSegmentName() / ListingPath() tell the caller what exists;
//     // engine.CreatedFiles() names every file this run created (a failed run has already
//     // removed its segments, so no partial set is ever taken for a whole one).
//
// Every message goes through IPrompts, progress through IProgress. The mailer builds its sets
// with SplitEngineOptions::Mailer(): no progress or cancel checks, no overwrite question, the
// listing always beside the segments. Process-wide state lives in a SplitSharedState (one
// default instance); tests hand their own.
#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/rejoiner_image.h"
#include "engine/segment_file.h"
#include "engine/segment_sink.h"
#include "engine/split_state.h"
#include "platform/file_system.h"
#include "platform/progress.h"
#include "platform/progress_pacer.h"
#include "platform/prompts.h"

struct SplitEngineOptions {
    bool progressAndCancel = true;        // drive the progress window and honour its Cancel
    bool askOverwrite = true;             // ask before replacing an existing set
    bool listingBesideExeWhenRemovable = true;  // removable destinations keep the listing off the disk

    static SplitEngineOptions Mailer() { return SplitEngineOptions{false, false, false}; }
};

class CSplitEngine {
public:
    // Free space a new disk must offer after a swap (usable bytes).
    static constexpr uint64_t kMinDiskFree = 50000;
    // Largest entry record: a 255-byte name, its zero byte and nine bytes of header.
    static constexpr uint64_t kMaxRecord = 255 + 10;
    static constexpr size_t kBlockSize = 65536;
    // File contents move this much per read and write; the progress still steps per block. A
    // buffer the processor's own cache holds: at 1 MiB the system's copy into it and out of it
    // went through memory, and a split took twice as long.
    static constexpr size_t kIoSize = 4 * kBlockSize;

    CSplitEngine(IFileSystem& fs, IPrompts& prompts, IProgress& progress, IRejoinerImage& image,
                 SplitEngineOptions options = SplitEngineOptions(),
                 SplitSharedState& shared = SplitSharedState::Default());
    ~CSplitEngine();
    CSplitEngine(const CSplitEngine&) = delete;
    CSplitEngine& operator=(const CSplitEngine&) = delete;

    // Folder of the program (trailing backslash): receives the listing of a removable set.
    void SetExeFolder(const std::string& folder) { exeFolder_ = folder; }
    // Told the size of every entry as it is written (not while the wizard runs).
    void SetViewForward(std::function<void(uint32_t size)> notify) { viewForward_ = std::move(notify); }
    // Told every byte of every segment as it is written (a checksum made on the way); not owned.
    void SetSegmentSink(ISegmentSink* sink) { sink_ = sink; }
    // How often the progress window is updated and its messages run (0: at every block, as
    // tests that count pumps want).
    void SetProgressInterval(int milliseconds) { pacer_.SetInterval(milliseconds); }
    // The progress window the engine reports to; work after the split may use it too.
    IProgress& Progress() { return progress_; }
    // Brings the main window to the front before a disk prompt.
    void SetBringToFront(std::function<void()> bring) { bringToFront_ = std::move(bring); }
    // Said after "Overwrite existing Split Set!" (the caller's reason for the run); "" for none.
    void SetOverwriteNote(const std::string& note) { overwriteNote_ = note; }

    // Hidden items inside a selected folder are left out unless included here (a selected item
    // is always taken). Those left out are named at the end of the run (HiddenLeftOut()).
    void SetIncludeHidden(bool include) { includeHidden_ = include; }
    bool IncludeHidden() const { return includeHidden_; }

    void ClearItems() { items_.clear(); }
    void AddItem(const std::string& path) { items_.push_back(path); }
    const std::vector<std::string>& Items() const { return items_; }

    // The whole run. size is bytes per segment, 0 for autosize. True when the set was written.
    bool Split(const std::string& destination, const std::string& baseName, uint64_t size);

    // Writes one item and, for a folder, everything inside it. False stops the run.
    bool AddEntry(const std::string& path, uint32_t parent);
    bool OpenNextSegment(bool first);
    // Finishes the open segment with its last-segment flag; false when its data was not written.
    bool CloseSegment(uint8_t flag);
    bool PromptNextDisk();
    // A heading (number < 0, text = segment name) or an entry line (text = path, number = size,
    // which may pass 2 GB: a size taken for negative would turn the entry into a heading).
    void WriteListingLine(const std::string& folder, const std::string& baseName,
                          const std::string& text, int64_t number, bool removable);
    // True when a name in the destination folder belongs to this set (its listing or segments).
    bool IsOwnOutput(const std::string& name) const;

    uint32_t GetPathSize(const std::string& path);
    bool TestWritable(std::string& folderInOut);
    uint64_t GetUsableFreeSpace(const std::string& root);

    static bool MatchPattern(const std::string& pattern, const std::string& name);
    // Consecutive segments of the set present in folder, counting from 1.
    static int CountSegments(IFileSystem& fs, const std::string& folder, const std::string& baseName);
    static uint64_t UsableFreeSpace(IFileSystem& fs, const std::string& root);
    static std::string SegmentName(const std::string& baseName, int number);
    // The smallest segment a set with a rejoiner image of this length can be split into.
    static uint64_t MinimumSegmentFor(uint64_t imageLength) { return std::max<uint64_t>(imageLength + 5, kMaxRecord + 1); }

    const std::string& Destination() const { return destination_; }
    const std::string& CurrentSegmentName() const { return segmentName_; }
    const std::string& ListingPath() const { return listingPath_; }
    // False when the last run could not write its listing whole (the run has said so).
    bool ListingWritten() const { return listingFailedPath_.empty(); }
    // After a failed run the segments within reach are gone already (SegmentsRemoved() says
    // whether all could be); the listing is the caller's. Segments on a disk already taken out
    // stay, never flagged as the last, so no reader takes them for a whole set.
    bool SegmentsRemoved() const { return segmentsRemoved_; }
    // Items of the last run that are not in its set, each as "path (why)": unreadable files and
    // folders, links to folders, pipes and devices. The run tells the user of them at its end.
    const std::vector<std::string>& LeftOut() const { return leftOut_; }
    // Hidden items inside the selected folders that the last run left out, by the rule above.
    const std::vector<std::string>& HiddenLeftOut() const { return hiddenLeftOut_; }
    // The listing of the set now open: a project read back, or none ("") after New.
    void SetListingPath(const std::string& path) { listingPath_ = path; }
    int SegmentCount() const { return segmentCount_; }
    // Files the last run created that are still within reach (its listing, its segments on the
    // disk now in the drive): all that a failed run may take back, never an older set's files.
    const std::vector<std::string>& CreatedFiles() const { return created_; }
    bool Removable() const { return removable_; }
    uint64_t CapacityLeft() const { return capacityLeft_; }
    SplitSharedState& Shared() { return shared_; }

private:
    bool CheckCancel();
    // Puts the entry being written and its position into the window, once per pacer interval,
    // and lets pending messages run; false when the user has cancelled.
    bool PaceProgress();
    void ShowEntry();
    void ShowProgress();
    void HideProgress();
    bool WriteData(const uint8_t* data, size_t count);
    bool WriteRecord(uint32_t size, uint8_t attributes, uint32_t parent, const std::string& name);
    bool CopyFile(IFile& file, const std::string& path, uint32_t size);
    bool WalkFolder(const std::string& path, uint32_t id);
    // AddEntry for an entry of a folder's listing (listed) or a selected item (nullptr).
    bool AddEntry(const std::string& path, uint32_t parent, const DirEntry* listed);
    bool ReportWriteError();
    std::string ListingFolder() const;
    void FinishListing();
    void ReportListingFailure();
    // Refuses the run, before anything is written, when a name cannot be stored.
    bool CheckNames();
    void CollectRefusedNames(const std::string& folder, std::vector<std::string>& refused);
    void LeaveOut(const std::string& path, const std::string& why);
    void ReportLeftOut();
    std::string ListLines(const std::string& heading, const std::vector<std::string>& lines) const;
    // After a failure: deletes the segments this run created, and only those.
    void RemoveCreatedSegments();
    uint64_t MinimumSegment() const;
    // Tells why a segment of this size cannot be written; always false.
    bool RefuseSegmentSize(uint64_t size);

    IFileSystem& fs_;
    IPrompts& prompts_;
    IProgress& progress_;
    IRejoinerImage& image_;
    SplitEngineOptions options_;
    SplitSharedState& shared_;
    NullProgress noProgress_;
    std::string exeFolder_;
    std::function<void(uint32_t)> viewForward_;
    std::function<void()> bringToFront_;
    std::string overwriteNote_;

    std::vector<std::string> items_;
    std::string destination_;
    std::string baseName_;
    std::string segmentName_;
    std::string listingPath_;
    std::vector<std::string> created_;
    uint64_t segmentSize_ = 0;
    bool removable_ = false;
    bool autosize_ = false;
    int segmentCount_ = 0;
    uint32_t folderCounter_ = 0;
    std::unique_ptr<CSegmentFile> segment_;
    uint64_t capacityLeft_ = 0;
    uint32_t imageLength_ = 0;
    std::string createdListing_;
    std::string listingFailedPath_;  // the listing this run could not write whole ("" when it could)
    std::string listingFailure_;     // the system's reason
    bool segmentsRemoved_ = true;
    std::vector<std::string> leftOut_;
    std::vector<std::string> hiddenLeftOut_;
    uint64_t recordsWritten_ = 0;
    bool includeHidden_ = false;
    std::unique_ptr<uint8_t[]> copyBuffer_;  // made at the first file, kept for the run
    CProgressPacer pacer_;
    ISegmentSink* sink_ = nullptr;
    // The entry as the window should show it; sent only when the pacer says so.
    struct EntryProgress {
        int upper = 0, step = 1, position = 0;
        std::string path;          // the entry whose name the window is still to show ("" when shown)
        bool shown = true;
    } entry_;
};
