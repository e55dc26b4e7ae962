// zembra-cli rejoin and list: the rejoin engine, driven from a terminal.
#include <cstdio>
#include <string>

#include "cli/commands.h"
#include "cli/terminal_progress.h"
#include "cli/terminal_prompts.h"
#include "platform/console.h"
#include "platform/file_system.h"
#include "platform/paths.h"
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

class StepProgress : public IRejoinProgress {
public:
    explicit StepProgress(TerminalProgress& p) : progress_(p) {}
    void Step() override { progress_.AddBytes(0); }

private:
    TerminalProgress& progress_;
};

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
    TerminalProgress progress(false, 0);
    StepProgress steps(progress);
    CSegmentReader reader(first, fs, prompts, overwrite, steps);
    return WalkStatus(reader.Rejoin(dest), reader, prompts);
}

int RunList(const CliOptions& o) {
    IFileSystem& fs = SystemFileSystem();
    std::string first = FullWindowsPath(o.firstSegment);
    if (first.empty() || !fs.Exists(first)) return ReportFailure(o.firstSegment + " does not exist");
    TerminalPrompts prompts(false);
    TerminalOverwrite never(OverwritePolicy::None);
    TerminalProgress progress(false, 0);
    StepProgress steps(progress);
    CSegmentReader reader(first, fs, prompts, never, steps);
    reader.SetListOnly([](const ListedEntry& e) {
        std::printf("%4d  %-6s %12lu  %s\n", e.segment, e.folder ? "folder" : "file",
                    static_cast<unsigned long>(e.size), e.path.c_str());
    });
    return WalkStatus(reader.Rejoin(std::string()), reader, prompts);
}
