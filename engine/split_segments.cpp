// CSplitEngine: opening, filling and closing segments, and counting the segments of a set.
#include <algorithm>
#include <cstring>

#include "engine/split_engine.h"
#include "engine/split_messages.h"
#include "platform/text_format.h"

namespace {

void PutLE32(uint8_t* p, uint32_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
    p[2] = static_cast<uint8_t>(v >> 16);
    p[3] = static_cast<uint8_t>(v >> 24);
}

// The names the old deletion and counting code spell ("Exe", "Seg"), and the names the
// writer uses, for file systems that tell case apart.
std::string SpelledName(const std::string& folder, const std::string& base, int i, bool upper) {
    const char* ext = i == 1 ? (upper ? "EXE" : "Exe") : (upper ? "SEG" : "Seg");
    return FormatText("%s%s_%d.%s", folder.c_str(), base.c_str(), i, ext);
}

}  // namespace

bool CSplitEngine::OpenNextSegment(bool first) {
    if (segment_) {
        bool closed = CloseSegment(0);
        if (!closed) return ReportWriteError();
    }

    if (first) shared_.diskSwapArmed = false;
    if (removable_ && shared_.diskSwapArmed) {
        for (;;) {
            if (!PromptNextDisk()) return false;
            if (GetUsableFreeSpace(destination_.substr(0, 3)) >= kMinDiskFree) break;
            prompts_.Message(split_text::kFloor50K);
        }
    }
    shared_.diskSwapArmed = true;

    uint64_t freeSpace = GetUsableFreeSpace(destination_.substr(0, 3));
    if (!autosize_ && segmentSize_ > freeSpace) {
        if (!prompts_.AskYesNo(FormatText(split_text::kNoRoomForSegment, destination_.c_str()))) return false;
        autosize_ = true;
    }
    uint64_t limit = !autosize_ && segmentSize_ != 0 ? segmentSize_ : freeSpace;
    // A segment that cannot take what must go into it is refused before it is created.
    uint64_t needed = first ? uint64_t(imageLength_) + 5 : kMaxRecord + 1;
    if (limit < needed) return RefuseSegmentSize(limit);

    segmentName_ = SegmentName(baseName_, segmentCount_ + 1);
    // The window steps aside for the overwrite question only: hidden at every segment, it
    // blinked once a segment, and under Wine each hide and show is a trip to the server and X.
    if (segmentCount_ == 0 && options_.askOverwrite && fs_.Exists(destination_ + segmentName_)) {
        HideProgress();
        if (!prompts_.AskYesNo(split_text::kOverwrite + destination_ + segmentName_ + overwriteNote_)) return false;
        for (int i = 1;; ++i) {
            if (!fs_.RemoveFile(SpelledName(destination_, baseName_, i, false)) &&
                !fs_.RemoveFile(SpelledName(destination_, baseName_, i, true)))
                break;
        }
        ShowProgress();
    }

    WriteListingLine(destination_, baseName_, segmentName_, -1, removable_);

    std::unique_ptr<IFile> file = fs_.Open(destination_ + segmentName_, OpenMode::CreateWrite, Share::DenyWrite);
    if (!file) {
        HideProgress();  // the run ends here, with this message alone on the screen
        prompts_.Message(fs_.LastErrorText() + split_text::kLineBreak +
                         (removable_ ? split_text::kDisketteNoAccess : split_text::kTryOtherLocation));
        return false;
    }
    created_.push_back(destination_ + segmentName_);
    segment_ = std::make_unique<CSegmentFile>(std::move(file));
    if (sink_) sink_->SegmentOpened(destination_ + segmentName_);
    ++segmentCount_;
    capacityLeft_ = limit;
    if (segmentCount_ >= 2) {
        const uint8_t flag = 0;
        if (!WriteData(&flag, 1)) return ReportWriteError();
    }
    return true;
}

bool CSplitEngine::CloseSegment(uint8_t flag) {
    if (!segment_) return true;
    std::unique_ptr<CSegmentFile> segment = std::move(segment_);
    if (!segment->Valid()) {
        segment->Close();
        if (sink_) sink_->SegmentClosed(flag, false);
        return false;
    }
    bool ok = true;
    if (segmentCount_ == 1) {
        uint8_t trailer[4];
        PutLE32(trailer, imageLength_);
        ok = segment->Write(trailer, sizeof trailer);
        if (ok && sink_) sink_->SegmentBytes(trailer, sizeof trailer);
    }
    ok = ok && segment->Seek(segmentCount_ == 1 ? imageLength_ : 0) && segment->Write(&flag, 1);
    ok = segment->Close() && ok;
    if (sink_) sink_->SegmentClosed(flag, ok);
    return ok;
}

// Writes into the open segment, opening further segments as each one fills. Records never
// come here with less room than they need (AddEntry makes room first), so only file
// contents and the image are ever cut.
bool CSplitEngine::WriteData(const uint8_t* data, size_t count) {
    while (count > 0) {
        if (capacityLeft_ == 0) {
            if (!CheckCancel()) return false;
            if (!OpenNextSegment(false)) return false;
            if (!CheckCancel()) return false;
            continue;
        }
        size_t take = static_cast<size_t>(std::min<uint64_t>(count, capacityLeft_));
        if (!segment_ || !segment_->Write(data, take)) return ReportWriteError();
        if (sink_) sink_->SegmentBytes(data, take);
        capacityLeft_ -= take;
        data += take;
        count -= take;
    }
    return true;
}

bool CSplitEngine::WriteRecord(uint32_t size, uint8_t attributes, uint32_t parent, const std::string& name) {
    uint8_t record[kMaxRecord];
    PutLE32(record, size);
    record[4] = attributes;
    PutLE32(record + 5, parent);
    std::memcpy(record + 9, name.data(), name.size());
    record[9 + name.size()] = 0;
    ++recordsWritten_;
    return WriteData(record, name.size() + 10);
}

bool CSplitEngine::ReportWriteError() {
    if (segment_ && !segment_->Valid()) {
        // Nothing more can go into a segment whose data was lost; close it as it stands.
        segment_->Close();
        segment_.reset();
    }
    prompts_.Message(FormatText(split_text::kWriteFailed, fs_.LastErrorText().c_str(),
                                (destination_ + segmentName_).c_str()));
    return false;
}

int CSplitEngine::CountSegments(IFileSystem& fs, const std::string& folder, const std::string& baseName) {
    int count = 0;
    for (int i = 1;; ++i) {
        if (!fs.Exists(SpelledName(folder, baseName, i, false)) && !fs.Exists(SpelledName(folder, baseName, i, true)))
            break;
        ++count;
    }
    return count;
}
