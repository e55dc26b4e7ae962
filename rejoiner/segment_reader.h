// CSegmentReader: reads a split set, segment after segment, and recreates its folders and files.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "platform/file_system.h"
#include "platform/prompts.h"
#include "rejoiner/rejoin_ui.h"
#include "rejoiner/segment_data.h"

// One entry as the walk meets it, for listing a set without writing anything.
struct ListedEntry {
    int segment = 0;         // the segment its header lies in, from 1
    bool folder = false;
    uint32_t size = 0;
    std::string path;        // path inside the set: folder names joined by "\"
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

    std::string segmentPath_;
    CSegmentData segment_;
    int segmentCount_ = 0;
    bool removable_ = false;

    IFileSystem& fs_;
    IPrompts& prompts_;
    IOverwriteQuestion& overwrite_;
    IRejoinProgress& progress_;

    // State of the rejoin.
    std::map<uint32_t, std::string> folderTable_;  // the `folder table`: id -> path with "\"
    uint32_t folderCounter_ = 0;
    uint32_t sizeLeft_ = 0;
    bool needHeader_ = true;
    bool writeEnabled_ = false;
    std::unique_ptr<IFile> output_;
    std::string outputPath_;
    bool stopped_ = false;
    bool reachedLast_ = false;
    std::function<void(const ListedEntry&)> listOnly_;

    // Sticky answers to the overwrite question: once given they hold for the program's run.
    bool overwriteAll_ = false;
    bool skipAll_ = false;
};
