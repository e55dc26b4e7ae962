// CSplitEngine: free space, the write test and the disk-swap dialogue of removable sets.
#include <algorithm>
#include <cctype>

#include "engine/split_engine.h"
#include "engine/split_messages.h"
#include "platform/text_format.h"

uint64_t CSplitEngine::UsableFreeSpace(IFileSystem& fs, const std::string& root) {
    uint64_t bytes = 0;
    if (!fs.GetFreeBytes(root, bytes)) return 0;
    return (bytes / 20) * 19;  // keep a twentieth back for the file system's own needs
}

uint64_t CSplitEngine::GetUsableFreeSpace(const std::string& root) { return UsableFreeSpace(fs_, root); }

bool CSplitEngine::TestWritable(std::string& folderInOut) {
    folderInOut += split_text::kTestFile;
    std::unique_ptr<IFile> file = fs_.Open(folderInOut, OpenMode::CreateWrite, Share::DenyNone);
    if (!file) {
        folderInOut = fs_.LastErrorText();
        return false;
    }
    file->Close();
    file.reset();
    fs_.RemoveFile(folderInOut);
    return true;
}

bool CSplitEngine::PromptNextDisk() {
    if (!removable_) return false;
    std::string root = destination_.substr(0, 3);
    char letter = root.empty() ? '?' : root[0];
    std::string message = FormatText(split_text::kInsertDisk, letter);
    HideProgress();
    if (bringToFront_) bringToFront_();
    bool accepted = false;
    while (prompts_.AskOkCancel(message)) {
        std::string previous = SegmentName(baseName_, segmentCount_);
        if (segmentCount_ < 2) previous = FormatText("%s_%d.EXE", baseName_.c_str(), segmentCount_);
        if (!fs_.Exists(root)) {
            message = FormatText(split_text::kNoDiskAccess, letter, root.c_str());
            continue;
        }
        std::string probe = root;
        if (!TestWritable(probe)) {
            message = probe + split_text::kLineBreak + split_text::kTryAnotherDiskette;
            continue;
        }
        if (segmentCount_ >= 1) {
            // The disk holding the segment just written must not come back into the drive.
            std::string previousPath = destination_ + previous;
            message = FormatText(split_text::kPreviousSegment, letter, previousPath.c_str());
            if (fs_.Exists(previousPath)) continue;
        }
        accepted = true;
        break;
    }
    ShowProgress();
    if (accepted) {
        destination_ = root;
        // The disk taken out is beyond reach: a path on it now names a file on the new disk.
        auto onDrive = [&](const std::string& p) {
            return p.size() >= 2 && p[1] == ':' &&
                   std::toupper(static_cast<unsigned char>(p[0])) == std::toupper(static_cast<unsigned char>(letter));
        };
        created_.erase(std::remove_if(created_.begin(), created_.end(), onDrive), created_.end());
    }
    return accepted;
}
