// The rejoin walk. The set is untrusted input: every name is checked before it becomes a path,
// every length is checked against the data actually there, and each fault ends the rejoin with
// a message while what was written so far stays.
#include "rejoiner/segment_reader.h"

#include <new>

#include "rejoiner/entry_name.h"
#include "rejoiner/segment_name.h"

namespace {

const size_t kCopyBufferSize = 0x10000;
const size_t kDirectCopy = 0x800000;  // per step when the system copies: the indicator still moves
const size_t kHeaderFixed = 9;  // size (4), attributes (1), parent (4); the name follows
const uint8_t kFolderBit = 0x10;
const char kStopped[] = "\r\nRejoin stopped.";

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
    CloseOutput();
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
        if (!Exists(candidate)) {
            if (!removable_) return false;  // on a hard disk a missing segment ends the walk
            // Diskettes hold later segments at their root, whatever folder the first was in.
            candidate = segmentPath_.substr(0, 3) + next;
            if (!Exists(candidate) && !DiskPrompt(candidate)) return false;
        }
        segmentPath_ = candidate;
    }
    std::unique_ptr<IFile> file = fs_.Open(segmentPath_, OpenMode::Read, Share::DenyWrite);
    if (!file) return Stop("Cannot open " + segmentPath_ + "\r\n" + fs_.LastErrorText());
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
    if (!IsSafeEntryName(entry.name))
        return Stop("The split set holds an entry whose name is not allowed:\r\n\"" +
                    PrintableEntryName(entry.name) + "\"");
    return true;
}

bool CSegmentReader::StartFolder(const Entry& entry) {
    if (entry.size != 0) return Damaged("the folder " + PrintableEntryName(entry.name) + " has contents");
    auto parent = folderTable_.find(entry.parent);
    if (parent == folderTable_.end()) return true;  // an orphan: passed over, no id used
    std::string path = parent->second + entry.name + "\\";
    folderTable_[++folderCounter_] = path;
    if (listOnly_) {
        listOnly_({segmentCount_, true, 0, path.substr(0, path.size() - 1)});
        return true;
    }
    fs_.MakeFolder(path);  // may exist already; a real failure shows when a file goes in it
    return true;
}

bool CSegmentReader::StartFile(const Entry& entry) {
    auto parent = folderTable_.find(entry.parent);
    if (parent == folderTable_.end()) {
        writeEnabled_ = false;  // its contents are read and dropped
        return true;
    }
    // Folder paths end with exactly one backslash, so a drive root gives "C:\name".
    std::string path = parent->second + entry.name;
    if (listOnly_) {
        listOnly_({segmentCount_, false, entry.size, path});
        writeEnabled_ = false;
        return true;
    }
    writeEnabled_ = true;
    FileStatus status;
    if (!overwriteAll_ && !skipAll_ && fs_.GetStatus(path, status)) {
        switch (overwrite_.Ask(path + " exists.")) {
            case kOverwriteYes: writeEnabled_ = true; break;
            case kOverwriteNo: writeEnabled_ = false; break;
            case kOverwriteYesToAll: overwriteAll_ = true; break;
            case kOverwriteNoToAll: skipAll_ = true; break;
            default: break;  // the question could not be shown: write as if asked none
        }
    }
    if (overwriteAll_) writeEnabled_ = true;
    if (skipAll_) writeEnabled_ = false;
    if (!writeEnabled_) return true;
    if (!CloseOutput()) return false;
    output_ = fs_.Open(path, OpenMode::CreateWrite, Share::DenyWrite);
    outputPath_ = path;
    if (!output_) return Stop("Cannot create " + path + "\r\n" + fs_.LastErrorText());
    progress_.FileStarted(path, entry.size);
    return true;
}

bool CSegmentReader::CloseOutput() {
    if (!output_) return true;
    bool ok = output_->Flush();
    ok = output_->Close() && ok;
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
    std::string root = destination;
    if (listOnly_) {
        root.clear();  // listed paths are relative to the set
    } else {
        if (root.empty() || root.back() != '\\') root += '\\';
        fs_.MakeFolder(root);  // usually there already
    }
    folderTable_.clear();
    folderTable_[0] = root;
    folderCounter_ = 0;
    needHeader_ = true;
    sizeLeft_ = 0;
    writeEnabled_ = false;
    stopped_ = false;
    reachedLast_ = false;

    bool ok = true;
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
                ok = Damaged("the data end inside the file " + PrintableEntryName(lastFile));
            reachedLast_ = ok;
            break;
        }
    }
    // A fault inside OpenNextSegment has been reported there; a segment not found has not.
    if (stopped_) ok = false;
    if (!CloseOutput()) ok = false;
    CloseSegment();
    return ok ? 1 : 0;
}
