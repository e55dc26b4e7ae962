// zembra-cli rejoin and list: the rejoin engine, driven from a terminal.
#include <cstdio>
#include <string>

#include "cli/commands.h"
#include "cli/terminal_progress.h"
#include "cli/terminal_prompts.h"
#include "platform/console.h"
#include "platform/file_system.h"
#include "platform/paths.h"
#include "rejoiner/segment_name.h"
#include "rejoiner/segment_reader.h"

namespace {

// The "exists" question: fixed by --overwrite, or asked on the terminal (none there: No).
class TerminalOverwrite : public IOverwriteQuestion {
public:
    explicit TerminalOverwrite(OverwritePolicy policy) : policy_(policy) {}
    int Ask(const std::string& text) override {
        if (policy_ == OverwritePolicy::All) return kOverwriteYesToAll;
        if (policy_ == OverwritePolicy::None) return kOverwriteNoToAll;
        std::string shown = UserPath(text.substr(0, text.rfind(" exists."))) + " exists.";
        if (!StdinIsTerminal()) {
            std::fprintf(stderr, "zembra-cli: %s Kept (no terminal to ask).\n", shown.c_str());
            return kOverwriteNo;
        }
        for (;;) {
            std::fprintf(stderr, "\n%s Overwrite? [y]es, [n]o, [a]ll, n[o]ne: ", shown.c_str());
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

private:
    OverwritePolicy policy_;
};

// Percent, bytes and current file on a terminal; silent otherwise.
class TerminalRejoinProgress : public IRejoinProgress {
public:
    explicit TerminalRejoinProgress(TerminalProgress& p) : progress_(p) {}
    void Step() override {}
    void FileStarted(const std::string& path, uint32_t) override { progress_.SetText(UserPath(path)); }
    void BytesCopied(uint64_t count) override { progress_.AddBytes(count); }

private:
    TerminalProgress& progress_;
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

// Success only when the walk read the whole set; a fault was already told by the reader,
// a segment that is simply not there is told here.
int WalkStatus(int result, const CSegmentReader& reader, const TerminalPrompts& prompts) {
    if (result == 1 && reader.ReachedLastSegment()) return 0;
    if (prompts.AnythingShown()) return 1;
    return ReportFailure("the set ends after segment " + std::to_string(reader.SegmentCount()) +
                         ": the next segment was not found beside " + UserPath(reader.CurrentSegmentPath()));
}

}  // namespace

int RunRejoin(const CliOptions& o) {
    IFileSystem& fs = SystemFileSystem();
    std::string first = FullWindowsPath(o.firstSegment);
    if (first.empty() || !fs.Exists(first)) return ReportFailure(o.firstSegment + " does not exist");
    std::string dest = FullWindowsPath(o.dest);
    if (dest.empty()) return ReportFailure(o.dest + " cannot be reached");
    if (dest.back() != '\\') dest += '\\';
    uint32_t attributes = 0;
    if (!fs.GetAttributes(dest, attributes)) {
        if (!fs.MakeFolder(dest.substr(0, dest.size() - 1)))
            return ReportFailure("cannot create " + o.dest + ": " + fs.LastErrorText());
    } else if (!(attributes & kAttrFolder)) {
        return ReportFailure(o.dest + " is not a folder");
    }

    TerminalPrompts prompts(false);
    TerminalOverwrite overwrite(o.overwrite);
    bool show = StderrIsTerminal();
    TerminalProgress progress(show, show ? EstimateSetBytes(fs, first) : 0);
    TerminalRejoinProgress steps(progress);
    CSegmentReader reader(first, fs, prompts, overwrite, steps);
    int result = reader.Rejoin(dest);
    if (result == 1 && reader.ReachedLastSegment()) progress.Complete();
    progress.Finish();
    return WalkStatus(result, reader, prompts);
}

int RunList(const CliOptions& o) {
    IFileSystem& fs = SystemFileSystem();
    std::string first = FullWindowsPath(o.firstSegment);
    if (first.empty() || !fs.Exists(first)) return ReportFailure(o.firstSegment + " does not exist");
    TerminalPrompts prompts(false);
    TerminalOverwrite never(OverwritePolicy::None);
    TerminalProgress progress(false, 0);
    TerminalRejoinProgress quiet(progress);
    CSegmentReader reader(first, fs, prompts, never, quiet);
    reader.SetListOnly([](const ListedEntry& e) {
        std::printf("%4d  %-6s %12lu  %s\n", e.segment, e.folder ? "folder" : "file",
                    static_cast<unsigned long>(e.size), e.path.c_str());
    });
    return WalkStatus(reader.Rejoin(std::string()), reader, prompts);
}
