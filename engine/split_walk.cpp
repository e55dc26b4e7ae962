// CSplitEngine: the depth-first walk of the selection, entry records and file contents.
#include <algorithm>
#include <cctype>
#include <cstring>

#include "engine/split_engine.h"
#include "engine/split_messages.h"
#include "platform/text_format.h"
#include "rejoiner/entry_name.h"

namespace {

constexpr uint64_t kLargestFile = 0xFFFFFFFFull;  // sizes are recorded in 32 bits

std::string LastComponent(const std::string& path) {
    size_t sep = path.find_last_of("\\/");
    return sep == std::string::npos ? path : path.substr(sep + 1);
}

// What the shell would show for the path: its last non-empty component.
std::string DisplayName(const std::string& path) {
    std::string p = path;
    while (p.size() > 3 && (p.back() == '\\' || p.back() == '/')) p.pop_back();
    return LastComponent(p);
}

std::string Upper(std::string s) {
    for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

}  // namespace

bool CSplitEngine::AddEntry(const std::string& path, uint32_t parent) { return AddEntry(path, parent, nullptr); }

bool CSplitEngine::AddEntry(const std::string& path, uint32_t parent, const DirEntry* listed) {
    if (!CheckCancel()) return false;

    // A plain file or folder met in a listing is described by its listing entry, which holds
    // what both queries below would answer: asking again cost two lookups per file (a
    // directory search each on Windows). Links and the unusual are asked for as before.
    bool plain = listed && !(listed->attributes & (kAttrReparsePoint | kAttrDevice));
    uint32_t shellAttributes = 0;
    FileStatus status;
    if (plain) {
        shellAttributes = status.attributes = listed->attributes;
        status.size = listed->size;
    } else if (!fs_.GetAttributes(path, shellAttributes)) {
        LeaveOut(path, FormatText(split_text::kUnreadable, fs_.LastErrorText().c_str()));
        return true;
    }

    uint64_t size = 0;
    uint8_t attributes = 0;
    std::string name;
    if (plain || fs_.GetStatus(path, status)) {
        size = status.size;
        attributes = static_cast<uint8_t>(status.attributes & ~kAttrNormal);
        name = LastComponent(path);
        if (name.empty()) name = DisplayName(path);
    } else {
        attributes = static_cast<uint8_t>(shellAttributes & (kAttrReadOnly | kAttrFolder));
        name = path.size() == 3 ? FormatText(split_text::kRootDirectory, path[0]) : DisplayName(path);
    }
    uint32_t kind = status.attributes | shellAttributes;
    if (kind & kAttrDevice) {
        LeaveOut(path, split_text::kNotRegular);
        return true;
    }
    bool folder = (attributes & kAttrFolder) != 0;
    // A link to a folder inside a selected folder is not walked: it may lead back up (a loop)
    // or anywhere else. One the user selected is taken as chosen.
    if (folder && parent != 0 && (status.attributes & kAttrReparsePoint)) {
        LeaveOut(path, split_text::kLinkToFolder);
        return true;
    }
    if (folder) size = 0;
    if (name.size() > 255) {
        prompts_.Message(FormatText(split_text::kNameTooLong, path.c_str()));
        return false;
    }

    // A file is opened before its record exists: one that cannot be read gets no record,
    // and one too large for the 32-bit size field ends the run before any of it is written.
    std::unique_ptr<IFile> source;
    if (!folder) {
        if (size > kLargestFile) {
            prompts_.Message(FormatText(split_text::kTooLarge, path.c_str()));
            return false;
        }
        source = fs_.Open(path, OpenMode::Read, Share::DenyWrite);
        if (!source) {
            LeaveOut(path, FormatText(split_text::kUnreadable, fs_.LastErrorText().c_str()));
            return true;
        }
        // A file link stores the file it points at; the listing may give the link's own size.
        if (status.attributes & kAttrReparsePoint) size = source->Length();
        if (size > kLargestFile) {
            prompts_.Message(FormatText(split_text::kTooLarge, path.c_str()));
            return false;
        }
    }
    uint32_t recorded = static_cast<uint32_t>(size);

    uint64_t recordLength = name.size() + 10;
    if (capacityLeft_ < recordLength && !OpenNextSegment(false)) return false;

    if (viewForward_ && !shared_.wizardRunning) viewForward_(recorded);
    uint64_t upper = (size / 10) * 20;
    entry_.upper = static_cast<int>(std::min<uint64_t>(upper, INT32_MAX));
    entry_.step = static_cast<int>(std::min<uint64_t>(size, kBlockSize));
    entry_.position = 0;
    entry_.path = path;
    entry_.shown = false;
    if (pacer_.Due()) ShowEntry();

    if (!WriteRecord(recorded, attributes, parent, name)) return false;
    WriteListingLine(destination_, baseName_, path, int64_t(recorded), removable_);
    std::string listingFolder = ListingFolder();
    listingPath_ = listingFolder + baseName_ + ".spj";
    shared_.continuation = split_text::kContinued + path;

    if (folder) return WalkFolder(path, ++folderCounter_);
    ++shared_.includedFiles;
    bool ok = CopyFile(*source, path, recorded);
    source->Close();
    return ok;
}

bool CSplitEngine::WalkFolder(const std::string& path, uint32_t id) {
    bool endsWithSeparator = !path.empty() && path.back() == '\\';
    std::string pattern = path + (endsWithSeparator ? "*.*" : "\\*.*");
    std::string prefix = pattern.substr(0, pattern.size() - 3);
    bool isDestination = Upper(endsWithSeparator ? path : path + "\\") == Upper(destination_);
    bool keepGoing = true;
    bool listed = fs_.ListFolder(pattern, [&](const DirEntry& entry) {
        if (entry.name == "." || entry.name == "..") return true;
        if ((entry.attributes & kAttrHidden) && !includeHidden_) {
            if (!(isDestination && IsOwnOutput(entry.name))) hiddenLeftOut_.push_back(prefix + entry.name);
            return true;
        }
        if (isDestination && IsOwnOutput(entry.name)) return true;
        // Checked before the run; met here only when renamed since. A path is never made from
        // a name that might not lead back to this entry.
        if (!entry.exact || !IsSafeEntryName(entry.name)) {
            LeaveOut(prefix + entry.name, split_text::kRenamed);
            return true;
        }
        keepGoing = AddEntry(prefix + entry.name, id, &entry);
        return keepGoing;
    });
    if (!listed) LeaveOut(path, FormatText(split_text::kUnlisted, fs_.LastErrorText().c_str()));
    return keepGoing;
}

// Streams exactly `size` bytes: a file that changed since its size was taken is cut or
// padded with zeros, so the records that follow stay where a reader expects them.
bool CSplitEngine::CopyFile(IFile& file, const std::string& path, uint32_t size) {
    // One buffer for the whole run: a large block made and freed per file would cost the
    // system a mapping each time. Left uninitialised, as every byte used is read first.
    if (!copyBuffer_) copyBuffer_.reset(new uint8_t[kIoSize]);
    uint8_t* block = copyBuffer_.get();
    // A diskette takes a large write only slowly, and nothing answers Cancel meanwhile.
    const size_t ioSize = removable_ ? kBlockSize : kIoSize;
    uint64_t remaining = size;
    bool grew = false;
    bool ok = true;
    for (;;) {
        int64_t n = file.Read(block, ioSize);
        if (n <= 0) break;
        // The bar counts blocks, as if each were read alone; the window hears of it per interval.
        uint64_t blocks = (static_cast<uint64_t>(n) + kBlockSize - 1) / kBlockSize;
        entry_.position = static_cast<int>(std::min<uint64_t>(entry_.position + blocks * entry_.step, INT32_MAX));
        if (!(ok = PaceProgress())) break;
        uint64_t take = static_cast<uint64_t>(n);
        if (take > remaining) {
            grew = true;
            take = remaining;
        }
        if (take > 0 && !WriteData(block, static_cast<size_t>(take))) {
            ok = false;
            break;
        }
        remaining -= take;
        // A short read of a disk file means its end; a full one may have more behind it.
        if (grew || (remaining == 0 && static_cast<uint64_t>(n) < ioSize)) break;
    }
    bool shrank = ok && remaining > 0;
    if (shrank) {
        std::memset(block, 0, static_cast<size_t>(std::min<uint64_t>(remaining, ioSize)));
        while (ok && remaining > 0) {
            size_t take = static_cast<size_t>(std::min<uint64_t>(remaining, ioSize));
            ok = WriteData(block, take);
            remaining -= take;
        }
    }
    if (ok && (grew || shrank))
        prompts_.Message(FormatText(shrank ? split_text::kChangedPadded : split_text::kChangedCut, path.c_str(),
                                    static_cast<unsigned long>(size)));
    return ok;
}

uint32_t CSplitEngine::GetPathSize(const std::string& path) {
    FileStatus status;
    if (!fs_.GetStatus(path, status)) return 0;
    if (!(status.attributes & kAttrFolder)) return static_cast<uint32_t>(status.size);
    bool endsWithSeparator = !path.empty() && path.back() == '\\';
    std::string folder = endsWithSeparator ? path : path + "\\";
    uint32_t total = 0;
    fs_.ListFolder(folder + "*.*", [&](const DirEntry& entry) {
        if (((entry.attributes & kAttrHidden) && !includeHidden_) || entry.name == "." || entry.name == "..") return true;
        // What the walk leaves out adds nothing; a link to a folder is never followed.
        if (!entry.exact || (entry.attributes & kAttrDevice)) return true;
        if ((entry.attributes & kAttrFolder) && (entry.attributes & kAttrReparsePoint)) return true;
        total += GetPathSize(folder + entry.name);
        return true;
    });
    return total;
}
