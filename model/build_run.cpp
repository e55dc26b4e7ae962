// The build command's steps, in order; the view and the wizard differ only where flagged.
#include "model/build_run.h"

#include <algorithm>

#include "checksum/set_checksums.h"
#include "model/recovery_setting.h"
#include "recovery/recovery_creator.h"
#include "recovery/recovery_set.h"

#include "engine/split_messages.h"
#include "platform/text_format.h"
#include "model/build_estimate.h"

CBuildRun::CBuildRun(CSplitEngine& engine, IFileSystem& fs, IPrompts& prompts, IRejoinerImage& image)
    : engine_(engine), fs_(fs), prompts_(prompts), image_(image) {}

uint64_t CBuildRun::RejoinerLength() {
    std::vector<uint8_t> bytes;
    return image_.Load(bytes) ? bytes.size() : 0;
}

// The floor of 200 K, or more where the rejoiner alone needs more: raised to 200 K, a size the
// engine then refuses would only lead to a second message.
int32_t CBuildRun::MinimumK() {
    uint64_t bytes = CSplitEngine::MinimumSegmentFor(RejoinerLength());
    return std::max<int32_t>(build_estimate::kMinimumK, static_cast<int32_t>((bytes + 999) / 1000));
}

bool CBuildRun::CheckDisk(const std::string& root, bool fromWizard, BuildOutcome& outcome) {
    uint64_t usable = engine_.GetUsableFreeSpace(root);
    if (usable == 0) {
        prompts_.Message(fromWizard ? build_text::kInsertDiskette : build_text::kInsertRemovable);
        return false;
    }
    for (;;) {
        std::string probe = root;
        if (engine_.TestWritable(probe)) break;
        // The system's text may name the probe file; the user never asked for it.
        for (size_t at; (at = probe.find(split_text::kTestFile)) != std::string::npos;)
            probe.erase(at, sizeof split_text::kTestFile - 1);
        if (!prompts_.AskOkCancel(probe + "\r\n" + build_text::kWriteProtect)) {
            prompts_.Message(build_text::kTestAborted);
            return false;
        }
    }
    outcome.diskettes = build_estimate::DisketteCount(outcome.estimate, usable);
    return prompts_.AskOkCancel(FormatText(build_text::kDiskettes, static_cast<unsigned long long>(outcome.diskettes)));
}

// Only what this run created goes: after "No" to overwriting, the set that was there stays.
void CBuildRun::TakeBack() {
    for (const std::string& path : engine_.CreatedFiles()) fs_.RemoveFile(path);
}

bool CBuildRun::Run(BuildRequest& rq, BuildOutcome& outcome) {
    outcome = BuildOutcome();
    if (!rq.fromWizard && !rq.modified && !prompts_.AskYesNo(build_text::kNotModified)) return false;
    if (rq.takeValues && !rq.takeValues(rq)) return false;

    if (!rq.notFirstPreset) {
        rq.maxFileSize = 0;
    } else if (!rq.fromWizard && rq.maxFileSize < MinimumK()) {
        prompts_.Message(FormatText(build_text::kMinimum, MinimumK()));
        rq.maxFileSize = MinimumK();
        if (rq.sizeRaised) rq.sizeRaised();
    }

    engine_.ClearItems();
    if (rq.items.empty()) {
        prompts_.Message(build_text::kNoFiles);
        return false;
    }
    for (const std::string& item : rq.items)
        if (rq.fromWizard || !item.empty()) engine_.AddItem(item);

    if (rq.saveLocation.empty() || rq.saveLocation.back() != '\\') rq.saveLocation += '\\';
    outcome.estimate = build_estimate::Estimate(rq.totalSize, RejoinerLength());

    std::string root = rq.saveLocation.substr(0, 3);
    outcome.removable = fs_.DriveTypeOf(root) == DriveType::Removable;
    if (outcome.removable && !CheckDisk(root, rq.fromWizard, outcome)) return false;

    int32_t sizeK = build_estimate::RunSizeK(rq.maxFileSize, outcome.estimate);
    // The index volume holds every segment's checksums and may be no larger than a segment:
    // when the set would have too many segments for that, it is said before anything is written.
    uint64_t smallest = 0, sizeBytes = sizeK > 0 ? uint64_t(sizeK) * 1000 : 0;
    if (rq.recoveryPercent > 0 && !outcome.removable &&
        !CRecoveryCreator::IndexFits(outcome.estimate, sizeBytes, rq.setName.size(), smallest)) {
        unsigned long long segments = (outcome.estimate + sizeBytes - 1) / sizeBytes;
        prompts_.Message(smallest ? FormatText(build_text::kRecoveryTooMany, segments, static_cast<int>(sizeK),
                                               static_cast<int>((smallest + 999) / 1000))
                                  : FormatText(build_text::kRecoveryNever, segments, static_cast<int>(sizeK)));
        return false;
    }
    if (rq.beforeRun) rq.beforeRun();
    outcome.segmentBytes = sizeK > 0 ? uint64_t(sizeK) * 1000 : 0;
    outcome.listingPath = rq.saveLocation + rq.setName + ".spj";
    outcome.ran = true;
    engine_.SetIncludeHidden(rq.includeHidden);
    bool ok = engine_.Split(rq.saveLocation, rq.setName, outcome.segmentBytes);
    if (rq.afterRun) rq.afterRun();
    if (!ok) {
        TakeBack();
        prompts_.Message(build_text::kRunAborted);
        WriteChecksums(false, rq.setName, outcome);
        return false;
    }
    WriteChecksums(true, rq.setName, outcome);
    // Volumes of an earlier set of this name describe other segments. A set on diskettes is
    // spread over several, where volumes cannot see all of it.
    for (const std::string& v : CRecoverySet::FindVolumes(fs_, rq.saveLocation, rq.setName)) fs_.RemoveFile(v);
    if (rq.recoveryPercent > 0 && !outcome.removable) {
        std::vector<std::string> names;
        uint64_t largest = 0;
        for (int n = 1; n <= engine_.SegmentCount(); ++n) {
            names.push_back(CSplitEngine::SegmentName(rq.setName, n));
            FileStatus st;
            if (fs_.GetStatus(rq.saveLocation + names.back(), st)) largest = std::max(largest, st.size);
        }
        CRecoveryCreator creator(fs_);
        creator.SetProgress(&engine_.Progress());
        std::string error;
        int rebuild = recovery_setting::SegmentsFor(rq.recoveryPercent, engine_.SegmentCount());
        bool made = creator.Create(rq.saveLocation, rq.setName, names, static_cast<uint32_t>(rebuild), largest, error);
        engine_.Progress().Hide();
        if (made)
            outcome.recoveryFiles = creator.Written();
        else if (creator.Cancelled())
            prompts_.Message(build_text::kRecoveryCancelled);
        else
            prompts_.Message(build_text::kNoRecovery + error);
    }
    return true;
}

// NAME.sha256 beside the set, as zembra-cli and the rejoiner read it. A run that wrote segments
// replaced the set the file of that name described, so an earlier one never stays. Sets on
// diskettes get none: their segments are no longer in the drive to be hashed.
void CBuildRun::WriteChecksums(bool ok, const std::string& setName, const BuildOutcome& outcome) {
    if (engine_.SegmentCount() == 0) return;  // nothing replaced: the set there keeps its file
    std::string folder = engine_.Destination();
    if (folder.empty()) return;
    if (folder.back() != '\\') folder += '\\';
    std::string sums = folder + setName + ".sha256", error;
    if (ok && !outcome.removable) {
        if (!CSetChecksums::Write(fs_, folder, setName, engine_.SegmentCount(), error))
            prompts_.Message("The checksums of the set could not be written:\r\n" + error);
    } else if (fs_.Exists(sums) && !fs_.RemoveFile(sums)) {
        prompts_.Message(sums + "\r\n" + fs_.LastErrorText() +
                         "\r\nThis checksum file belongs to the set that was replaced: remove it, or the new set will be refused.");
    }
}
