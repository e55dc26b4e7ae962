// Drives the split engine from a terminal for the benchmark: host paths in, one split set out.
// usage: split_bench <destination folder> <base name> <segment bytes> <source>...
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "engine/split_engine.h"
#include "platform/file_system.h"
#include "platform/posix/drive_map.h"
#include "platform/progress.h"
#include "platform/prompts.h"

namespace {

// Says yes to everything (overwrite an old set) and shows what it was asked on stderr.
class YesPrompts : public IPrompts {
public:
    PromptAnswer Show(const std::string& text, PromptButtons buttons) override {
        std::fprintf(stderr, "split_bench: %s\n", text.c_str());
        return buttons == PromptButtons::YesNo ? PromptAnswer::Yes : PromptAnswer::Ok;
    }
};

std::string Absolute(const std::string& hostPath) {
    char* real = ::realpath(hostPath.c_str(), nullptr);
    std::string out = real ? real : hostPath;
    std::free(real);
    return posix_drives::ToWindows(out);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 5) {
        std::fprintf(stderr, "usage: split_bench <destination folder> <base name> <segment bytes> <source>...\n");
        return 2;
    }
    // A rejoiner-sized image: its bytes don't matter to the timing.
    BytesRejoinerImage image(std::vector<uint8_t>(200 * 1024, 0x90));
    YesPrompts prompts;
    NullProgress progress;
    CSplitEngine engine(SystemFileSystem(), prompts, progress, image);
    for (int i = 4; i < argc; ++i) engine.AddItem(Absolute(argv[i]));
    bool ok = engine.Split(Absolute(argv[1]), argv[2], std::strtoull(argv[3], nullptr, 10));
    return ok ? 0 : 1;
}
