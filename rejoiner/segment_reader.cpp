// The rejoin walk. The set is untrusted input: every name is checked before it becomes a path,
// every length is checked against the data actually there, and each fault ends the rejoin with
// a message while what was written so far stays.
#include "rejoiner/segment_reader.h"

#include <cctype>
#include <new>

#include "rejoiner/entry_name.h"
#include "rejoiner/segment_name.h"

namespace {

// Per read and write where the system does not copy between files itself (Windows, or across
// file systems): small enough to stay in the processor's cache between the two copies, which a
// 1 MiB buffer did not.
const size_t kCopyBufferSize = 0x40000;
const size_t kDirectCopy = 0x800000;  // per step when the system copies: the indicator still moves
const size_t kHeaderFixed = 9;  // size (4), attributes (1), parent (4); the name follows
const uint8_t kFolderBit = 0x10;
const char kStopped[] = "\r\nRejoin stopped.";
const char kNotRestoredHeading[] = "These items of the split set were not restored:";
const size_t kListedAtMost = 20;  // lines in one message; the rest are counted

uint32_t Le32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

}  // namespace

CSegmentReader::CSegmentReader(const std::string& firstSegmentPath, IFileSystem& fs,
                               IPrompts& prompts, IOverwriteQuestion& overwrite,
                               IRejoinProgress& progress)
    : segmentPath_(firstSegmentPath), fs_(fs), prompts_(prompts), overwrite_(overwrite),
      progress_(progress) {
    removable_ = fs_.DriveTypeOf(segmentPath_.substr(0, 3)) == DriveType::Removable;
}

CSegmentReader::~CSegmentReader() {
    output_.reset();  // unfinished: it never takes its name
    CloseSegment();
}

bool CSegmentReader::Stop(const std::string& text) {
    stopped_ = true;
    prompts_.Message(text + kStopped);
    return false;
}

bool CSegmentReader::Damaged(const std::string& why) {
    return Stop("The split set is damaged or incomplete: " + why + ".");
}

bool CSegmentReader::Exists(const std::string& path) {
    uint32_t attributes = 0;
    return fs_.GetAttributes(path, attributes);
}

void CSegmentReader::CloseSegment() { segment_.Close(); }

bool CSegmentReader::DiskPrompt(const std::string& wanted) {
    std::string text = "Please insert the disk containing the file " + FileNamePart(wanted) +
                       " in drive " + std::string(1, wanted.empty() ? '?' : wanted[0]) + ".";
    for (;;) {
        if (!prompts_.AskOkCancel(text)) return false;
        if (Exists(wanted)) return true;
    }
}

bool CSegmentReader::OpenNextSegment() {
    CloseSegment();
    if (segmentCount_ != 0) {
        std::string next;
        if (!NextSegmentName(segmentPath_, next))
            return Stop("Cannot tell the name of the segment after " + segmentPath_ + ".");
        std::string candidate = FolderPart(segmentPath_) + next;
        // A set copied from a medium that ignores case may carry "name_2.seg".
        std::string found = next;
        if (!Exists(candidate) && FindIgnoringCase(FolderPart(segmentPath_), found))
            candidate = FolderPart(segmentPath_) + found;
        if (!Exists(candidate)) {
            missingSegment_ = next;
            if (!removable_) return false;  // on a hard disk a missing segment ends the walk
            // Diskettes hold later segments at their root, whatever folder the first was in.
            candidate = segmentPath_.substr(0, 3) + next;
            if (!Exists(candidate) && !DiskPrompt(candidate)) return false;
            missingSegment_.clear();
        }
        segmentPath_ = candidate;
    }
    std::unique_ptr<IFile> file = fs_.Open(segmentPath_, OpenMode::Read, Share::DenyWrite);
    if (!file) return Stop("Cannot open " + segmentPath_ + "\r\n" + fs_.LastErrorText());
    std::string refusal;
    if (segmentCheck_ && !segmentCheck_(*file, segmentPath_, refusal)) return Stop(refusal);
    uint64_t length = file->Length();
    ++segmentCount_;
    uint64_t start = 0;
    if (segmentCount_ == 1) {
        // The first segment is the rejoiner image, the data, then the image length P: the
        // data (flag byte first) lie from P up to the trailer.
        uint8_t trailer[4];
        if (length < 5 || !file->Seek(length - 4) || file->Read(trailer, 4) != 4)
            return Damaged(segmentPath_ + " has no valid trailer");
        start = Le32(trailer);
        if (start > length - 5)
            return Damaged(segmentPath_ + " has a trailer that points outside the file");
        length = length - 4 - start;
    } else if (length == 0) {
        return Damaged(segmentPath_ + " is empty");
    }
    if (!segment_.Attach(std::move(file), start, length))
        return Stop("Cannot read " + segmentPath_ + "\r\n" + fs_.LastErrorText());
    return true;
}

bool CSegmentReader::FindIgnoringCase(const std::string& folder, std::string& name) {
    auto upper = [](std::string t) {
        for (char& c : t) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        return t;
    };
    std::string wanted = upper(name);
    bool found = false;
    fs_.ListFolder(folder + "*.*", [&](const DirEntry& e) {
        if (!e.exact || upper(e.name) != wanted) return true;
        name = e.name;
        found = true;
        return false;
    });
    return found;
}

void CSegmentReader::NotRestoredItem(const std::string& path, const std::string& why) {
    notRestored_.push_back(root_ + path + " (" + why + ")");
}

void CSegmentReader::ReportNotRestored() {
    if (notRestored_.empty()) return;
    std::string text = kNotRestoredHeading;
    for (size_t i = 0; i < notRestored_.size() && i < kListedAtMost; ++i) text += "\r\n" + notRestored_[i];
    if (notRestored_.size() > kListedAtMost)
        text += "\r\n... and " + std::to_string(notRestored_.size() - kListedAtMost) + " more";
    prompts_.Message(text);
}

bool CSegmentReader::ReadHeader(Entry& entry) {
    uint8_t fixed[kHeaderFixed];
    if (!segment_.ReadExact(fixed, sizeof fixed))
        return Damaged("an entry header is cut short in " + segmentPath_);
    entry.size = Le32(fixed);
    entry.attributes = fixed[4];
    entry.parent = Le32(fixed + 5);
    switch (segment_.ReadName(entry.name, kMaxEntryName)) {
        case CSegmentData::NameStatus::Ok: break;
        case CSegmentData::NameStatus::TooLong:
            return Stop("The split set holds an entry name longer than 255 characters:\r\n" +
                        PrintableEntryName(entry.name));
        case CSegmentData::NameStatus::Short:
            return Damaged("an entry name is cut short in " + segmentPath_);
        case CSegmentData::NameStatus::Error:
            return Stop("Cannot read " + segmentPath_ + "\r\n" + fs_.LastErrorText());
    }
    entry.safe = IsSafeEntryName(entry.name);
    return true;
}

// Every folder record takes the next id, as the writer numbered them, even one that is not
// made: what lies under it is then passed over with it, never put into another folder.
bool CSegmentReader::StartFolder(const Entry& entry) {
    if (entry.size != 0) return Damaged("the folder " + PrintableEntryName(entry.name) + " has contents");
    bool known = folderTable_.Has(entry.parent);
    bool underSkipped = known && folderTable_.Skipped(entry.parent);
    uint32_t id = folderTable_.Add(entry.parent, entry.name, !known || underSkipped || !entry.safe);
    if (underSkipped) return true;
    if (!known) {
        NotRestoredItem("?\\" + PrintableEntryName(entry.name), "its parent folder is not in the set; in " + segmentPath_);
        return true;
    }
    // Paths are built only where they are used: their length grows with the depth.
    auto shown = [&] { return folderTable_.ChildPath(entry.parent, PrintableEntryName(entry.name)); };
    if (!entry.safe) {
        NotRestoredItem(shown(), "a name that is not allowed, with everything in it");
        return true;
    }
    if (!listOnly_ && root_.size() + folderTable_.Length(id) + 1 > pathLimit_) {
        folderTable_.MarkSkipped(id);
        NotRestoredItem(shown(), "the path is too long, with everything in it");
        return true;
    }
    if (listOnly_) {
        listOnly_({segmentCount_, true, 0, &folderTable_, entry.parent, &entry.name});
        return true;
    }
    std::string path = folderTable_.Path(id);
    if (!fs_.MakeFolderBeneath(root_, path)) {
        folderTable_.MarkSkipped(id);
        NotRestoredItem(path, "could not be created: " + fs_.LastErrorText() + "; nor anything in it");
    } else {
        progress_.FolderMade(root_ + path);
    }
    return true;
}

bool CSegmentReader::StartFile(const Entry& entry) {
    writeEnabled_ = false;  // until it is known to be written, its contents are read and dropped
    bool known = folderTable_.Has(entry.parent);
    if (known && folderTable_.Skipped(entry.parent)) return true;  // told with its folder
    if (!known) {
        NotRestoredItem("?\\" + PrintableEntryName(entry.name), "its folder is not in the set; in " + segmentPath_);
        return true;
    }
    if (!entry.safe) {
        NotRestoredItem(folderTable_.ChildPath(entry.parent, PrintableEntryName(entry.name)), "a name that is not allowed");
        return true;
    }
    if (listOnly_) {
        listOnly_({segmentCount_, false, entry.size, &folderTable_, entry.parent, &entry.name});
        return true;
    }
    if (root_.size() + folderTable_.ChildLength(entry.parent, entry.name) > pathLimit_) {
        NotRestoredItem(folderTable_.ChildPath(entry.parent, PrintableEntryName(entry.name)), "the path is too long");
        return true;
    }
    std::string relative = folderTable_.ChildPath(entry.parent, entry.name);
    // Folder paths end with exactly one backslash, so a drive root gives "C:\name".
    std::string path = root_ + relative;
    switch (fs_.ProbeBeneath(root_, relative)) {
        case ItemKind::Missing: writeEnabled_ = true; break;
        case ItemKind::File:
            // "No To All" keeps the files that exist; new files are still written.
            writeEnabled_ = !skipAll_;
            if (!overwriteAll_ && !skipAll_) {
                switch (overwrite_.Ask(path + " exists.")) {
                    case kOverwriteYes: writeEnabled_ = true; break;
                    case kOverwriteNo: writeEnabled_ = false; break;
                    case kOverwriteYesToAll: overwriteAll_ = true; break;
                    case kOverwriteNoToAll: skipAll_ = true; writeEnabled_ = false; break;
                    default: break;  // the question could not be shown: write as if asked none
                }
            }
            if (overwriteAll_) writeEnabled_ = true;
            break;
        case ItemKind::Folder:
        case ItemKind::Other:
            NotRestoredItem(relative, "a link, folder or device of that name is in the way");
            return true;
        case ItemKind::Unreachable:
            NotRestoredItem(relative, "could not be reached: " + fs_.LastErrorText());
            return true;
    }
    if (!writeEnabled_) return true;
    if (!CloseOutput()) return false;
    output_ = fs_.CreateFileBeneath(root_, relative);
    outputPath_ = path;
    if (!output_) {
        writeEnabled_ = false;
        NotRestoredItem(relative, "could not be created: " + fs_.LastErrorText());
        return true;
    }
    progress_.FileStarted(path, entry.size);
    return true;
}

bool CSegmentReader::CloseOutput() {
    if (!output_) return true;
    // Only a file flushed and closed whole takes its name; dropped, it is removed.
    bool ok = output_->Flush() && output_->Close();
    output_.reset();
    if (!ok) return Stop("Cannot write " + outputPath_ + "\r\n" + fs_.LastErrorText());
    return true;
}

bool CSegmentReader::CopyContent(uint8_t* buffer) {
    uint64_t available = sizeLeft_ < segment_.BytesLeft() ? sizeLeft_ : segment_.BytesLeft();
    if (available == 0) return true;
    int64_t n = 0;
    if (writeEnabled_ && output_) {
        // Where the system copies between files itself, the data never enter this process.
        n = segment_.CopyTo(*output_, static_cast<size_t>(available < kDirectCopy ? available : kDirectCopy));
        if (n < 0) return Stop("Cannot write " + outputPath_ + "\r\n" + fs_.LastErrorText());
    }
    if (n == 0) {
        size_t chunk = static_cast<size_t>(available < kCopyBufferSize ? available : kCopyBufferSize);
        n = segment_.Read(buffer, chunk);
        if (n <= 0) return Damaged(segmentPath_ + " is shorter than it should be");
        if (writeEnabled_ && output_ && !output_->Write(buffer, static_cast<size_t>(n)))
            return Stop("Cannot write " + outputPath_ + "\r\n" + fs_.LastErrorText());
    }
    sizeLeft_ -= static_cast<uint32_t>(n);
    if (writeEnabled_) progress_.BytesCopied(static_cast<uint64_t>(n));
    if (sizeLeft_ == 0) {
        needHeader_ = true;
        if (writeEnabled_ && !CloseOutput()) return false;
    }
    return true;
}

int CSegmentReader::Rejoin(const std::string& destination) {
    std::unique_ptr<uint8_t[]> buffer(new (std::nothrow) uint8_t[kCopyBufferSize]);
    if (!buffer) return 0;
    root_ = destination;
    if (listOnly_) {
        root_.clear();  // listed paths are relative to the set
    } else {
        if (root_.empty() || root_.back() != '\\') root_ += '\\';
        fs_.MakeFolder(root_);  // usually there already
    }
    folderTable_.Reset();
    pathLimit_ = PathLimit();
    notRestored_.clear();
    missingSegment_.clear();
    incompleteFile_.clear();
    needHeader_ = true;
    sizeLeft_ = 0;
    writeEnabled_ = false;
    stopped_ = false;
    reachedLast_ = false;

    bool ok = true;
    uint32_t lastParent = 0;  // the last file entry, named when the data end inside it
    std::string lastFile;
    while (ok && OpenNextSegment()) {
        uint8_t flag = 0;
        if (!segment_.ReadExact(&flag, 1)) {
            ok = Damaged(segmentPath_ + " has no data");
            break;
        }
        // Each pass consumes bytes of the segment or leaves, so a damaged set cannot spin.
        while (ok && segment_.BytesLeft() != 0) {
            progress_.Step();
            if (needHeader_) {
                Entry entry;
                ok = ReadHeader(entry);
                if (!ok) break;
                if (entry.attributes & kFolderBit) {
                    ok = StartFolder(entry);
                    continue;
                }
                ok = StartFile(entry);
                if (!ok) break;
                lastParent = entry.parent;
                lastFile = entry.name;
                sizeLeft_ = entry.size;
                if (sizeLeft_ != 0)
                    needHeader_ = false;
                else if (writeEnabled_)
                    ok = CloseOutput();  // an empty file stays empty
                continue;
            }
            ok = CopyContent(buffer.get());
        }
        if (!ok) break;
        if (flag & 1) {
            if (sizeLeft_ != 0)
                ok = Damaged("the data end in " + segmentPath_ + " inside the file " +
                             (folderTable_.Has(lastParent) && !folderTable_.Skipped(lastParent)
                                  ? folderTable_.ChildPath(lastParent, PrintableEntryName(lastFile))
                                  : PrintableEntryName(lastFile)));
            reachedLast_ = ok;
            break;
        }
    }
    // A fault inside OpenNextSegment has been reported there; a segment not found has not.
    if (stopped_) ok = false;
    // A file still open was not read whole: dropped, it leaves its name as it was.
    if (output_) {
        incompleteFile_ = outputPath_;
        output_.reset();
    }
    CloseSegment();
    ReportNotRestored();
    return ok ? 1 : 0;
}
