// zembra-cli rejoin, list and verify: the rejoin engine, driven from a terminal.
#include <cstdio>
#include <string>

#include "cli/commands.h"
#include "cli/set_access.h"
#include "cli/recovery_line.h"
#include "recovery/set_recovery.h"
#include "cli/terminal_progress.h"
#include "cli/terminal_prompts.h"
#include "platform/console.h"
#include "platform/file_system.h"
#include "platform/paths.h"
#include "rejoiner/segment_name.h"
#include "rejoiner/segment_reader.h"

namespace {

// The "exists" question: fixed by --overwrite, or asked on the terminal. With no terminal the
// file is kept, and counted: the run then did not write everything.
class TerminalOverwrite : public IOverwriteQuestion {
public:
    TerminalOverwrite(OverwritePolicy policy, TerminalProgress& progress) : policy_(policy), progress_(progress) {}
    int Ask(const std::string& text) override {
        if (policy_ == OverwritePolicy::All) return kOverwriteYesToAll;
        if (policy_ == OverwritePolicy::None) return kOverwriteNoToAll;
        progress_.Interrupt();
        std::string shown = UserPath(text.substr(0, text.rfind(" exists."))) + " exists.";
        if (!StdinIsTerminal()) {
            ++kept_;
            std::fprintf(stderr, "zembra-cli: %s Kept (no terminal to ask).\n", shown.c_str());
            return kOverwriteNo;
        }
        for (;;) {
            std::fprintf(stderr, "%s\nOverwrite? [y]es, [n]o, [a]ll, n[o]ne: ", shown.c_str());
            std::fflush(stderr);
            char line[32];
            if (!std::fgets(line, sizeof line, stdin)) return kOverwriteNo;
            switch (line[0]) {
                case 'y': case 'Y': return kOverwriteYes;
                case 'n': case 'N': return kOverwriteNo;
                case 'a': case 'A': return kOverwriteYesToAll;
                case 'o': case 'O': return kOverwriteNoToAll;
                default: break;
            }
        }
    }
    int Kept() const { return kept_; }

private:
    OverwritePolicy policy_;
    TerminalProgress& progress_;
    int kept_ = 0;
};

// Bytes and the current file for the progress line; with -v one line per file or folder restored.
class TerminalRejoinProgress : public IRejoinProgress {
public:
    TerminalRejoinProgress(TerminalProgress& p, bool verbose) : progress_(p), verbose_(verbose) {}
    void Step() override {}
    void FileStarted(const std::string& path, uint32_t) override {
        if (!verbose_ && !progress_.Enabled()) return;  // nobody sees it: no path made per file
        std::string shown = UserPath(path);
        if (verbose_) {
            progress_.Interrupt();
            std::printf("%s\n", shown.c_str());
            std::fflush(stdout);
        }
        progress_.SetText(shown);
    }
    void FolderMade(const std::string& path) override {
        if (!verbose_) return;
        progress_.Interrupt();
        std::printf("%s\n", UserPath(path).c_str());
        std::fflush(stdout);
    }
    void BytesCopied(uint64_t count) override { progress_.AddBytes(count); }

private:
    TerminalProgress& progress_;
    bool verbose_;
};

// A reader that walks a set without writing or asking anything: list and verify.
struct QuietReader {
    QuietReader(const std::string& first, IFileSystem& fs)
        : never(OverwritePolicy::None, progress), quiet(progress, false), reader(first, fs, prompts, never, quiet) {}
    TerminalPrompts prompts{false};
    TerminalProgress progress{false, 0};
    TerminalOverwrite never;
    TerminalRejoinProgress quiet;
    CSegmentReader reader;
};

// About how many content bytes the set holds: its segments beside the first, less the
// rejoiner image (the first segment's trailer gives its length) and the flag bytes.
uint64_t EstimateSetBytes(IFileSystem& fs, const std::string& first) {
    uint64_t total = 0;
    std::string path = first, next;
    for (int n = 1; fs.Exists(path); ++n) {
        auto file = fs.Open(path, OpenMode::Read, Share::DenyWrite);
        if (!file) break;
        uint64_t length = file->Length();
        total += length > 0 ? length - 1 : 0;
        if (n == 1 && length >= 5) {
            uint8_t t[4] = {};
            if (file->Seek(length - 4) && file->Read(t, 4) == 4) {
                uint64_t image = t[0] | t[1] << 8 | t[2] << 16 | static_cast<uint64_t>(t[3]) << 24;
                total -= image + 4 < total ? image + 4 : total;
            }
        }
        if (!NextSegmentName(path, next)) break;
        path = FolderPart(path) + next;
    }
    return total;
}

// Success only when the walk read the whole set and restored every entry of it. Faults and
// entries not restored were told by the reader; a segment that is simply not there is told here,
// by its name, with the file it left short.
int WalkStatus(int result, const CSegmentReader& reader, const CSetAccess& set) {
    if (result == 1 && reader.Complete()) return 0;
    // The file the walk stopped inside was dropped: whatever had its name before is unchanged.
    if (reader.Stopped() && !reader.IncompleteFile().empty())
        return ReportFailure(UserPath(reader.IncompleteFile()) + " was not restored");
    if (reader.Stopped() || reader.ReachedLastSegment()) return 1;
    std::string text = "the set is incomplete: " + set.MissingAfter(reader.CurrentSegmentPath());
    if (!reader.IncompleteFile().empty()) text += "; " + UserPath(reader.IncompleteFile()) + " was not restored (the set ends inside it)";
    return ReportFailure(text);
}

// A segment NAME.sha256 gives no single checksum: used unchecked with --allow-unchecked, or when
// the user says so on the terminal; refused otherwise.
CCheckedFileSystem::GoOn UncheckedQuestion(const CliOptions& o) {
    bool allow = o.allowUnchecked;
    return [allow](const std::string& problem) {
        if (allow) {
            std::fprintf(stderr, "zembra-cli: %s Used unchecked (--allow-unchecked).\n", problem.c_str());
            return true;
        }
        if (!StdinIsTerminal()) return false;
        std::fprintf(stderr, "%s\nUse it unchecked? [y/N]: ", problem.c_str());
        std::fflush(stderr);
        char line[32];
        return std::fgets(line, sizeof line, stdin) && (line[0] == 'y' || line[0] == 'Y');
    };
}

// The set's name: the first segment's file name before its last "_".
std::string SetBaseName(const std::string& first) {
    std::string name = FileNamePart(first);
    return name.substr(0, name.rfind('_'));
}

// Rebuilds what the recovery volumes beside the set can before a rejoin reads it; says what.
// False (after telling) when the set is damaged beyond them.
bool RepairBeforeRejoin(CSetRecovery& recovery, const CliOptions& o) {
    std::string first = FullWindowsPath(o.firstSegment), error, where;
    RecoveryLine line(o.verbosity != Verbosity::Quiet && StderrIsTerminal(), [&recovery] { return recovery.Bytes(); });
    recovery.SetProgress(&line);
    bool loaded = !first.empty() && recovery.Load(first, error);
    line.Finish();
    if (!loaded || recovery.Whole()) return true;
    std::string damage = recovery.Damage();
    std::vector<std::string> rebuilt;
    bool repaired = recovery.Repair(true, rebuilt, where, error);
    line.Finish();
    if (!repaired) return ReportFailure(damage + ": " + error) == 0;
    if (o.verbosity != Verbosity::Quiet) {
        std::string names;
        for (const std::string& n : rebuilt) names += (names.empty() ? "" : ", ") + n;
        std::fprintf(stderr, "zembra-cli: %s; rebuilt %s from the recovery volumes in %s\n", damage.c_str(),
                     names.c_str(), UserPath(where).c_str());
    }
    return true;
}

}  // namespace

int RunRejoin(const CliOptions& o) {
    IFileSystem& system = SystemFileSystem();
    CSetRecovery recovery(system);
    if (!RepairBeforeRejoin(recovery, o)) return 1;
    IFileSystem& fs = recovery.ReaderFileSystem();
    CSetAccess set(fs);
    set.SetGoOn(UncheckedQuestion(o));
    std::string error;
    if (!set.Open(o.firstSegment, error)) return ReportFailure(error);
    std::string dest = FullWindowsPath(o.dest);
    if (dest.empty()) return ReportFailure(o.dest + " cannot be reached");
    if (dest.back() != '\\') dest += '\\';
    if (!PrepareDestination(system, o.dest, dest)) return 1;

    bool show = o.verbosity != Verbosity::Quiet && StderrIsTerminal();
    TerminalProgress progress(show, show ? EstimateSetBytes(fs, set.FirstSegment()) : 0);
    TerminalPrompts prompts(false);
    prompts.SetBeforeOutput([&progress] { progress.Interrupt(); });
    TerminalOverwrite overwrite(o.overwrite, progress);
    TerminalRejoinProgress steps(progress, o.verbosity == Verbosity::Verbose);
    CSegmentReader reader(set.FirstSegment(), set.ReaderFileSystem(), prompts, overwrite, steps);
    progress.SetSegmentSource([&reader] { return FileNamePart(reader.CurrentSegmentPath()); });
    int result = reader.Rejoin(dest);
    if (result == 1 && reader.ReachedLastSegment()) progress.Complete();
    progress.Finish();
    int status = WalkStatus(result, reader, set);
    // The set ended before segments its checksum file names: its end was lost.
    int listed = set.HasChecksums() ? set.Checksums().SegmentsListed(SetBaseName(set.FirstSegment())) : 0;
    if (status == 0 && listed > reader.SegmentCount())
        return ReportFailure(FileNamePart(set.ChecksumPath()) + " lists " + std::to_string(listed) +
                             " segments, the set has " + std::to_string(reader.SegmentCount()) + ": its end is missing");
    if (status == 0 && overwrite.Kept() > 0)
        return ReportFailure(std::to_string(overwrite.Kept()) + " existing file" + (overwrite.Kept() == 1 ? " was" : "s were") +
                             " kept and not restored: there was no terminal to ask (choose with --overwrite all or none)");
    return status;
}

int RunList(const CliOptions& o) {
    IFileSystem& fs = SystemFileSystem();
    CSetAccess set(fs);
    std::string error;
    if (!set.Open(o.firstSegment, error)) return ReportFailure(error);
    QuietReader walk(set.FirstSegment(), fs);
    CSegmentReader& reader = walk.reader;
    reader.SetListOnly([](const ListedEntry& e) {
        std::printf("%4d  %-6s %12lu  %s\n", e.segment, e.folder ? "folder" : "file",
                    static_cast<unsigned long>(e.size), UserText(e.Path()).c_str());
    });
    return WalkStatus(reader.Rejoin(std::string()), reader, set);
}

int RunVerify(const CliOptions& o) {
    IFileSystem& fs = SystemFileSystem();
    // With recovery volumes beside it, the set's state is theirs to tell first: a damaged set
    // is either repairable (and how) or not.
    CSetRecovery recovery(fs);
    std::string error, first = FullWindowsPath(o.firstSegment);
    RecoveryLine line(o.verbosity != Verbosity::Quiet && StderrIsTerminal(), [&recovery] { return recovery.Bytes(); });
    recovery.SetProgress(&line);
    bool volumes = !first.empty() && recovery.Load(first, error);
    line.Finish();
    if (!volumes && !error.empty() && o.verbosity != Verbosity::Quiet)
        std::fprintf(stderr, "zembra-cli: the recovery volumes cannot be used: %s\n", error.c_str());
    if (volumes && !recovery.Whole()) {
        if (recovery.Repairable())
            return ReportFailure(recovery.Damage() + "; repairable from the recovery volumes (" + recovery.Coverage() +
                                 "): zembra-cli repair " + o.firstSegment);
        return ReportFailure(recovery.Damage() + "; NOT repairable: " + recovery.Coverage());
    }
    CSetAccess set(fs);
    set.SetGoOn(UncheckedQuestion(o));
    if (!set.Open(o.firstSegment, error)) return ReportFailure(error);
    QuietReader walk(set.FirstSegment(), set.ReaderFileSystem());
    CSegmentReader& reader = walk.reader;
    int entries = 0;
    reader.SetListOnly([&](const ListedEntry& e) {
        ++entries;
        if (o.verbosity == Verbosity::Verbose) std::printf("%s\n", UserText(e.Path()).c_str());
    });
    int status = WalkStatus(reader.Rejoin(std::string()), reader, set);
    if (status != 0) return status;
    // The stream ended in a segment flagged last: nothing may follow it.
    std::string after = set.NextExisting(reader.CurrentSegmentPath());
    if (!after.empty())
        return ReportFailure(FileNamePart(reader.CurrentSegmentPath()) + " is marked as the last segment, but " +
                             FileNamePart(after) + " follows it");
    int segments = reader.SegmentCount();
    std::string sums = FileNamePart(set.ChecksumPath());
    // Lines for segments the set does not have: the set lost its end, and a forged flag hides it.
    int listed = set.HasChecksums() ? set.Checksums().SegmentsListed(SetBaseName(set.FirstSegment())) : 0;
    if (listed > segments)
        return ReportFailure(sums + " lists " + std::to_string(listed) + " segments, the set has " +
                             std::to_string(segments));
    int unchecked = set.HasChecksums() ? set.Checked()->Unchecked() : 0;
    std::string hashed = !set.HasChecksums() ? "no checksum file beside it, so contents were not hashed"
                         : unchecked == 0    ? "every segment matches " + sums
                                             : std::to_string(unchecked) + " segment" + (unchecked == 1 ? "" : "s") +
                                                   " used unchecked (no single line in " + sums + "), the others match it";
    if (o.verbosity != Verbosity::Quiet)
        std::printf("%s: the set is whole: %d segment%s, %d entr%s; %s\n", UserPath(set.FirstSegment()).c_str(),
                    segments, segments == 1 ? "" : "s", entries, entries == 1 ? "y" : "ies",
                    (hashed + (volumes ? "; the recovery volumes agree" : "")).c_str());
    return 0;
}
