// CSegmentReader: reads a split set, segment after segment, and recreates its folders and files.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "platform/prompts.h"
#include "rejoiner/folder_table.h"
#include "rejoiner/rejoin_ui.h"
#include "rejoiner/segment_data.h"

// One entry as the walk meets it, for listing a set without writing anything.
struct ListedEntry {
    int segment = 0;         // the segment its header lies in, from 1
    bool folder = false;
    uint32_t size = 0;
    // Path inside the set: folder names joined by "\". Built on request, as it grows with the
    // depth of the folders: a walk that only counts entries stays linear in the set's size.
    std::string Path() const { return table->ChildPath(parent, *name); }

    const CFolderTable* table = nullptr;
    uint32_t parent = 0;
    const std::string* name = nullptr;
};

class CSegmentReader {
public:
    // firstSegmentPath is the set's "_1.EXE" (the running rejoiner itself in remblo).
    CSegmentReader(const std::string& firstSegmentPath, IFileSystem& fs, IPrompts& prompts,
                   IOverwriteQuestion& overwrite, IRejoinProgress& progress);
    ~CSegmentReader();
    CSegmentReader(const CSegmentReader&) = delete;
    CSegmentReader& operator=(const CSegmentReader&) = delete;

    // Recreates the set under destination. Returns 1 when the walk ended: the whole set was read,
    // or a later segment was not found (or its diskette not given), which ends it quietly with
    // the files done so far. Returns 0 when the copy buffer cannot be had, or when the rejoin
    // stopped on a fault it reported to the user (Stopped() is then true).
    int Rejoin(const std::string& destination);

    bool Stopped() const { return stopped_; }
    // True when the walk read the segment flagged as the last one, that is the whole set.
    bool ReachedLastSegment() const { return reachedLast_; }
    // Entries of the set that were not restored, each as "path (why)": unsafe names, unknown
    // folders, links or files in the way, paths too long. The walk goes on past them and
    // lists them in one message at its end. Files the user chose to keep are not in it.
    const std::vector<std::string>& NotRestored() const { return notRestored_; }
    // True when the whole set was read and every entry of it restored.
    bool Complete() const { return reachedLast_ && !stopped_ && notRestored_.empty(); }
    // When the walk ended early for want of a segment: the file name looked for.
    const std::string& MissingSegment() const { return missingSegment_; }
    // The file that was being written when the walk ended early (empty if none). It was not
    // restored: what was there under its name before is unchanged.
    const std::string& IncompleteFile() const { return incompleteFile_; }

    // Makes Rejoin a dry walk: every entry goes to visit, nothing is created, nothing asked.
    // The destination given to Rejoin is then ignored.
    void SetListOnly(std::function<void(const ListedEntry&)> visit) { listOnly_ = std::move(visit); }
    bool Removable() const { return removable_; }
    int SegmentCount() const { return segmentCount_; }
    const std::string& CurrentSegmentPath() const { return segmentPath_; }

private:
    struct Entry {
        uint32_t size = 0;
        uint8_t attributes = 0;
        uint32_t parent = 0;
        std::string name;
        bool safe = true;  // the name is one plain component this system creates as written
    };

    bool OpenNextSegment();
    void CloseSegment();
    bool DiskPrompt(const std::string& wanted);
    bool Exists(const std::string& path);

    bool ReadHeader(Entry& entry);
    bool StartFolder(const Entry& entry);
    bool StartFile(const Entry& entry);
    bool CopyContent(uint8_t* buffer);
    bool CloseOutput();
    bool Stop(const std::string& text);
    bool Damaged(const std::string& why);
    bool FindIgnoringCase(const std::string& folder, std::string& name);
    // Records an entry that is not restored; the walk goes on.
    void NotRestoredItem(const std::string& path, const std::string& why);
    void ReportNotRestored();

    std::string segmentPath_;
    CSegmentData segment_;
    int segmentCount_ = 0;
    bool removable_ = false;

    IFileSystem& fs_;
    IPrompts& prompts_;
    IOverwriteQuestion& overwrite_;
    IRejoinProgress& progress_;

    // State of the rejoin.
    std::string root_;              // the destination, ending with a backslash ("" when listing)
    CFolderTable folderTable_;      // the `folder table`
    size_t pathLimit_ = 0;
    uint32_t sizeLeft_ = 0;
    bool needHeader_ = true;
    bool writeEnabled_ = false;
    std::unique_ptr<IFile> output_;
    std::string outputPath_;
    bool stopped_ = false;
    bool reachedLast_ = false;
    std::vector<std::string> notRestored_;
    std::string missingSegment_;
    std::string incompleteFile_;
    std::function<void(const ListedEntry&)> listOnly_;

    // Sticky answers to the overwrite question: once given they hold for the program's run.
    bool overwriteAll_ = false;
    bool skipAll_ = false;
};
