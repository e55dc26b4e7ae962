// zembra-cli split: the split engine, driven from a terminal.
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <cstdio>
#include <iostream>
#include <memory>
#include <fstream>
#include <vector>

#include "cli/commands.h"
#include "cli/segment_hasher.h"
#include "checksum/set_checksums.h"
#include "cli/set_measure.h"
#include "cli/recovery_files.h"
#include "cli/terminal_progress.h"
#include "cli/terminal_prompts.h"
#include "engine/split_engine.h"
#include "engine/split_messages.h"
#include "recovery/recovery_creator.h"
#include "platform/console.h"
#include "platform/file_system.h"
#include "platform/paths.h"
#include "platform/process.h"
#include "rejoiner/rejoiner_image.h"

namespace {

bool ReadWholeFile(IFileSystem& fs, const std::string& path, std::vector<uint8_t>& bytes) {
    auto file = fs.Open(path, OpenMode::Read, Share::DenyWrite);
    if (!file) return false;
    // A 32-bit size_t would keep only the low bits of a length of 4 GiB or more.
    uint64_t length = file->Length();
    if (length > SIZE_MAX) return false;
    bytes.resize(static_cast<size_t>(length));
    return bytes.empty() || file->Read(bytes.data(), bytes.size()) == static_cast<int64_t>(bytes.size());
}

// The progress line, and with -v one line per entry on stdout: the engine names each entry
// it writes in its "Splitting %s ..." text.
class SplitProgress : public TerminalProgress {
public:
    SplitProgress(bool draw, uint64_t total, bool verbose) : TerminalProgress(draw, total), verbose_(verbose) {}
    void SetText(const std::string& text) override {
        if (!verbose_ && !Enabled()) return;  // nobody sees it: no path made per entry
        std::string format = split_text::kSplittingPath;
        size_t at = format.find("%s");
        std::string head = format.substr(0, at), tail = format.substr(at + 2);
        if (text.size() < head.size() + tail.size() || text.compare(0, head.size(), head) != 0) return;
        std::string path = UserPath(text.substr(head.size(), text.size() - head.size() - tail.size()));
        if (verbose_) {
            Interrupt();
            std::printf("%s\n", path.c_str());
            std::fflush(stdout);
        }
        TerminalProgress::SetText(path);
    }

private:
    bool verbose_;
};

// The longest path Windows has: no line of a list of sources is longer.
constexpr size_t kLongestPath = 32767;

// One line of a list of sources without its LF, held only up to the longest path and its CR: a
// list of any size, or a file that is one endless line, cannot exhaust memory. tooLong tells a
// line that was longer. False at the end of the list.
bool NextListLine(std::istream& in, std::string& line, bool& tooLong) {
    line.clear();
    tooLong = false;
    bool any = false;
    for (char c; in.get(c);) {
        any = true;
        if (c == '\n') break;
        if (line.size() <= kLongestPath)
            line.push_back(c);
        else
            tooLong = true;
    }
    if (line.size() > kLongestPath && line.back() != '\r') tooLong = true;
    return any;
}

// The sources from --files-from: one path a line, blank lines skipped.
bool ReadSourceList(const std::string& from, std::vector<std::string>& sources, std::string& error) {
    std::ifstream file;
    std::istream* in = &std::cin;
    if (from != "-") {
        errno = 0;
        file.open(from, std::ios::binary);
        if (!file) {
            error = "cannot read the list " + from + ": " + (errno ? std::strerror(errno) : "cannot be opened");
            return false;
        }
        in = &file;
    }
    std::string line;
    errno = 0;
    bool tooLong = false;
    for (size_t number = 1; NextListLine(*in, line, tooLong); ++number) {
        if (tooLong) {
            error = "line " + std::to_string(number) + " of the list " + from + " is longer than any path (" +
                    std::to_string(kLongestPath) + " characters)";
            return false;
        }
        if (!line.empty() && line.back() == '\r') line.pop_back();
        // No path holds a zero byte: cut there, the line would name another file than it shows.
        size_t zero = line.find('\0');
        if (zero != std::string::npos) {
            std::string shown = line.substr(0, zero) + "\\0" + line.substr(zero + 1);
            for (char& c : shown) c = c == '\0' ? '?' : c;
            error = "line " + std::to_string(number) + " of the list " + from + " holds a zero byte: " + shown;
            return false;
        }
        if (!line.empty()) sources.push_back(line);
    }
    // A folder, or a read that failed half way, is no list of sources.
    if (!in->eof()) {
        error = "cannot read the list " + from + ": " + (errno ? std::strerror(errno) : "read error");
        return false;
    }
    return true;
}

}  // namespace

bool PrepareDestination(IFileSystem& fs, const std::string& typed, const std::string& dest) {
    std::string folder = dest;
    while (folder.size() > 3 && folder.back() == '\\') folder.pop_back();
    uint32_t attributes = 0;
    if (fs.GetAttributes(folder, attributes)) {
        if (!(attributes & kAttrFolder)) return ReportFailure(typed + " is not a folder") == 0;
    } else if (!fs.MakeFolder(folder)) {
        // Like mkdir: the last folder is made when missing, not its parents.
        return ReportFailure("cannot create " + typed + ": " + fs.LastErrorText()) == 0;
    }
    // A name of no file there: the probe must never truncate one of the user's.
    std::string probe;
    for (int i = 0; probe.empty() || fs.Exists(probe); ++i) {
        if (i == 100) return true;  // the engine will tell
        probe = folder + (folder.back() == '\\' ? "" : "\\") + ".zembra-cli-probe-" + std::to_string(i);
    }
    auto file = fs.Open(probe, OpenMode::CreateWrite, Share::DenyNone);
    if (!file) return ReportFailure("cannot write in " + typed + ": " + fs.LastErrorText()) == 0;
    file->Close();
    file.reset();
    fs.RemoveFile(probe);
    return true;
}

int RunSplit(const CliOptions& o) {
    IFileSystem& fs = SystemFileSystem();
    std::string dest = FullWindowsPath(o.dest);
    if (dest.empty()) return ReportFailure(o.dest + " cannot be reached");
    std::vector<std::string> typed = o.sources;
    std::string error;
    if (!o.filesFrom.empty() && !ReadSourceList(o.filesFrom, typed, error)) return ReportFailure(error);
    if (typed.empty()) return ReportFailure("the list " + o.filesFrom + " names no source");

    std::vector<std::string> sources;
    for (const std::string& s : typed) {
        std::string path = FullWindowsPath(s);
        uint32_t attributes = 0;
        if (path.empty() || !fs.GetAttributes(path, attributes))
            return ReportFailure(s + ": " + (path.empty() ? std::string("cannot be reached") : fs.LastErrorText()));
        // The walk names a folder by its last component; a trailing separator would lose it.
        while (path.size() > 3 && path.back() == '\\') path.pop_back();
        sources.push_back(path);
    }

    std::vector<uint8_t> image;
    if (!o.rejoiner.empty()) {
        std::string path = FullWindowsPath(o.rejoiner);
        if (path.empty() || !ReadWholeFile(fs, path, image))
            return ReportFailure("cannot read the rejoiner " + o.rejoiner + ": " + fs.LastErrorText());
    } else if (!BuiltInRejoinerImage(image) || image.empty()) {
        return ReportFailure("this zembra-cli carries no rejoiner image; name one with --rejoiner FILE");
    }

    // A segment size beyond what the whole set needs is cut to it, so a generous --size is
    // not refused for room the set would never use. The measure walks the whole tree before
    // the split walks it again, so it is taken only where it is used: for that cut, when the
    // size exceeds the room, and for the total of a progress line on a terminal.
    bool quiet = o.verbosity == Verbosity::Quiet;
    bool draw = !quiet && StderrIsTerminal();
    uint64_t size = o.size;
    // Where hidden is only a name beginning with a dot, such files are taken as archivers take
    // them; elsewhere the engine's rule holds unless --hidden, and it names what it left out.
    bool hidden = o.hidden || HiddenMeansDotName();
    bool recovery = o.recoveryCount || o.recoveryPercent;
    SetMeasure measure;
    if (draw || recovery || size > CSplitEngine::UsableFreeSpace(fs, dest.substr(0, 3))) {
        measure = MeasureSources(fs, sources, hidden);
        if (size > measure.OneSegmentBytes(image.size())) size = measure.OneSegmentBytes(image.size());
    }
    // The index volume holds every segment's checksums and may be no larger than a segment:
    // with too many segments the volumes could not be made, so nothing is written at all.
    uint64_t smallest = 0;
    if (recovery && !CRecoveryCreator::IndexFits(measure.OneSegmentBytes(image.size()), size, o.name.size(), smallest)) {
        uint64_t segments = (measure.OneSegmentBytes(image.size()) + size - 1) / size;
        return ReportFailure("--recovery: about " + std::to_string(segments) + " segments of " + std::to_string(size) +
                             " bytes would make the index volume " + o.name +
                             ".par2 larger than a segment, and no volume may be; " +
                             (smallest ? "a --size of at least " + std::to_string((smallest + 999) / 1000) +
                                             "K would do (fewer, larger segments)"
                                       : std::string("this set cannot have recovery volumes")));
    }
    if (!PrepareDestination(fs, o.dest, dest)) return 1;

    TerminalPrompts prompts(o.yes);
    BytesRejoinerImage rejoiner(std::move(image));
    SplitProgress progress(draw, measure.contentBytes, o.verbosity == Verbosity::Verbose);
    prompts.SetBeforeOutput([&progress] { progress.Interrupt(); });
    CSplitEngine engine(fs, prompts, progress, rejoiner);
    // The terminal draws at its own pace, and -v lists every entry the engine names; with
    // neither, the engine's own pace spares it the progress calls of every entry and block.
    if (draw || o.verbosity == Verbosity::Verbose) engine.SetProgressInterval(0);
    // Checksums made on a second thread from the bytes as they are written.
    std::unique_ptr<CSegmentHasher> hasher;
    if (o.checksums) {
        hasher = std::make_unique<CSegmentHasher>();
        engine.SetSegmentSink(hasher.get());
    }
    progress.SetSegmentSource([&engine] { return engine.CurrentSegmentName(); });
    engine.SetExeFolder(ModuleFolder());
    engine.SetIncludeHidden(hidden);
    for (const std::string& s : sources) engine.AddItem(s);
    bool ok = engine.Split(dest, o.name, size);
    if (ok) progress.Complete();
    progress.Finish();

    // A checksum file of an earlier set of this name no longer describes what is there.
    std::string folder = engine.Destination().empty() ? dest : engine.Destination();
    if (folder.back() != '\\') folder += '\\';
    std::string sums = folder + o.name + ".sha256";
    if (engine.SegmentCount() > 0 && fs.Exists(sums) && (!ok || !o.checksums)) fs.RemoveFile(sums);
    if (!ok) {
        // What a failed run wrote is no set: the engine removed its segments, and its listing
        // goes too. Only files this run created: never an older set's, nor one on a new disk.
        if (!engine.CreatedFiles().empty()) {
            for (const std::string& f : engine.CreatedFiles()) fs.RemoveFile(f);
            ReportFailure("the incomplete set was removed from " + UserPath(folder));
            return 1;
        }
        return prompts.AnythingShown() ? 1 : ReportFailure("the split did not complete");
    }
    if (o.checksums && !CSetChecksums::Write(fs, folder, o.name, engine.SegmentCount(), error, &hasher->Digests()))
        return ReportFailure(error);
    // Volumes of an earlier set of this name describe other segments.
    RemoveSetRecovery(fs, folder, o.name);
    bool recoveryWritten = true;
    if (o.recoveryCount || o.recoveryPercent) {
        uint32_t count = static_cast<uint32_t>(engine.SegmentCount());
        uint32_t k = o.recoveryCount ? o.recoveryCount : (count * o.recoveryPercent + 99) / 100;
        recoveryWritten = WriteSetRecovery(fs, folder, o.name, engine.SegmentCount(), k, quiet, draw, error);
        if (!recoveryWritten) ReportFailure("no recovery volumes were written: " + error);
    }

    if (!quiet)
        std::printf("%d segment%s written to %s; %s%s%s\n", engine.SegmentCount(),
                    engine.SegmentCount() == 1 ? "" : "s", UserPath(engine.Destination()).c_str(),
                    engine.ListingWritten() ? "contents listed in " : "no whole contents listing at ",
                    UserPath(engine.ListingPath()).c_str(),
                    o.checksums ? ("; checksums in " + UserPath(sums)).c_str() : "");
    // The set is usable, but not all that was asked for is in it (the engine listed what), or
    // its listing is missing or cut (the engine said why).
    return engine.LeftOut().empty() && engine.ListingWritten() && recoveryWritten ? 0 : 1;
}
