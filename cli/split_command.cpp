// zembra-cli split: the split engine, driven from a terminal.
#include <cstdint>
#include <cstdio>
#include <vector>

#include "cli/commands.h"
#include "cli/terminal_progress.h"
#include "cli/terminal_prompts.h"
#include "engine/split_engine.h"
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

}  // namespace

int RunSplit(const CliOptions& o) {
    IFileSystem& fs = SystemFileSystem();
    std::string dest = FullWindowsPath(o.dest);
    if (dest.empty()) return ReportFailure(o.dest + " cannot be reached");
    // Like mkdir: the last folder is made when missing; a missing parent is the engine's to report.
    uint32_t destAttributes = 0;
    if (!fs.GetAttributes(dest, destAttributes)) fs.MakeFolder(dest);

    std::vector<uint8_t> image;
    if (!o.rejoiner.empty()) {
        std::string path = FullWindowsPath(o.rejoiner);
        if (path.empty() || !ReadWholeFile(fs, path, image))
            return ReportFailure("cannot read the rejoiner " + o.rejoiner + ": " + fs.LastErrorText());
    } else if (!BuiltInRejoinerImage(image) || image.empty()) {
        return ReportFailure("this zembra-cli carries no rejoiner image; name one with --rejoiner FILE");
    }

    std::vector<std::string> sources;
    for (const std::string& s : o.sources) {
        std::string path = FullWindowsPath(s);
        uint32_t attributes = 0;
        if (path.empty() || !fs.GetAttributes(path, attributes)) return ReportFailure(s + " does not exist");
        // The walk names a folder by its last component; a trailing separator would lose it.
        while (path.size() > 3 && path.back() == '\\') path.pop_back();
        sources.push_back(path);
    }

    TerminalPrompts prompts(o.yes);
    BytesRejoinerImage rejoiner(std::move(image));
    NullProgress quiet;
    CSplitEngine sizer(fs, prompts, quiet, rejoiner);
    uint64_t total = 0;
    for (const std::string& s : sources) total += sizer.GetPathSize(s);

    TerminalProgress progress(StderrIsTerminal(), total);
    CSplitEngine engine(fs, prompts, progress, rejoiner);
    engine.SetExeFolder(ModuleFolder());
    for (const std::string& s : sources) engine.AddItem(s);
    bool ok = engine.Split(dest, o.name, o.size);
    if (ok) progress.Complete();
    progress.Finish();
    if (!ok) return prompts.AnythingShown() ? 1 : ReportFailure("the split did not complete");

    std::printf("%d segment%s written to %s; contents listed in %s\n", engine.SegmentCount(),
                engine.SegmentCount() == 1 ? "" : "s", UserPath(engine.Destination()).c_str(),
                UserPath(engine.ListingPath()).c_str());
    return 0;
}
