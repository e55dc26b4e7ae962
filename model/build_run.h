// CBuildRun: the build command without the window. Checks the settings, checks a removable
// disk before anything is written, announces the diskettes, runs the split engine and, after a
// failed run, takes back what that run created. The view's Begin Split and the wizard's last
// settings page both come here.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "engine/rejoiner_image.h"
#include "engine/split_engine.h"
#include "platform/file_system.h"
#include "platform/prompts.h"

namespace build_text {
constexpr const char kNotModified[] = "Not Modified, Create anyway?";
constexpr const char kMinimum[] = "Minimum Split size is %dK.";
constexpr const char kNoFiles[] = "No Files to split";
constexpr const char kInsertRemovable[] = "Please insert removeable disk and try again.";
constexpr const char kInsertDiskette[] = "Please insert diskette and try again.";
constexpr const char kWriteProtect[] = "Check write protect or use another diskette.";
constexpr const char kTestAborted[] = "Split Aborted";
constexpr const char kDiskettes[] = "%llu Diskettes will be required for this Split Set.";
constexpr const char kRunAborted[] = "Split aborted.";
constexpr const char kRecoveryTooMany[] =
    "Recovery volumes cannot be made for this Split Set: its index file would hold the checksums of "
    "about %llu segments of %d K, more than fits in one segment, and no volume may be larger than a "
    "segment.\r\nChoose a segment size of at least %d K, or set recovery volumes to 0 in Options.";
constexpr const char kRecoveryNever[] =
    "Recovery volumes cannot be made for this Split Set: its index file would hold the checksums of "
    "about %llu segments of %d K, more than fits in one segment, and no volume may be larger than a "
    "segment.\r\nSet recovery volumes to 0 in Options to split it.";
constexpr const char kRecoveryCancelled[] =
    "The Split Set was written. Its recovery volumes were cancelled: none were kept.";
constexpr const char kNoRecovery[] = "The Split Set was written, but its recovery volumes were not:\n";
}  // namespace build_text

// The user's choice for hidden items inside selected folders, in the program's registry profile.
namespace build_setting {
constexpr const char kSection[] = "Settings";
constexpr const char kIncludeHidden[] = "IncludeHidden";
}  // namespace build_setting

// What the owner hands the build; maxFileSize and saveLocation come back corrected.
struct BuildRequest {
    bool fromWizard = false;     // no "Not Modified" question, no 200 K floor, empty items kept
    bool modified = false;
    bool notFirstPreset = false; // clear: autosize, the size is not used
    int32_t maxFileSize = 0;     // K; raised to 200 when below it (the owner shows the new value)
    bool includeHidden = false;  // hidden items inside selected folders go in too
    std::vector<std::string> items;
    std::string saveLocation;    // gets its trailing backslash, which the owner keeps
    std::string setName;
    uint64_t totalSize = 0;      // bytes of all sources
    int recoveryPercent = 0;     // recovery volumes for this percent of the segments; 0: none
    // The window's part: the form's current values into this request, after the "Not Modified"
    // question (false ends the command); the size was raised to the floor; the run starts; the
    // run ended.
    std::function<bool(BuildRequest&)> takeValues;
    std::function<void()> sizeRaised;
    std::function<void()> beforeRun;
    std::function<void()> afterRun;
};

struct BuildOutcome {
    bool ran = false;            // Split was called
    bool removable = false;      // the destination is on a removable drive
    uint64_t estimate = 0;
    uint64_t diskettes = 0;      // announced count (removable destinations only)
    uint64_t segmentBytes = 0;   // size per segment passed to Split, 0 for autosize
    std::string listingPath;     // save location + set name + ".spj"
    std::vector<std::string> recoveryFiles;  // the volumes written beside the set
};

class CBuildRun {
public:
    CBuildRun(CSplitEngine& engine, IFileSystem& fs, IPrompts& prompts, IRejoinerImage& image);
    // True when the set was written.
    bool Run(BuildRequest& request, BuildOutcome& outcome);

private:
    // The disk in a removable drive: space, write test, the diskette count. False ends the command.
    bool CheckDisk(const std::string& root, bool fromWizard, BuildOutcome& outcome);
    void TakeBack();
    void WriteChecksums(bool ok, const std::string& setName, const BuildOutcome& outcome);
    uint64_t RejoinerLength();
    int32_t MinimumK();

    CSplitEngine& engine_;
    IFileSystem& fs_;
    IPrompts& prompts_;
    IRejoinerImage& image_;
};
