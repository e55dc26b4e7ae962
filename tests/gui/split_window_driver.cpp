// What the progress window costs a build, for the benchmark table: the split engine splits one
// file three ways in this process, with the progress window visited per interval (as the main
// program's Begin Split does), with it visited at every 64 KiB block, and with no window at all
// (as zembra-cli), each twice, and prints the mean seconds of each.
// Usage: split_window_driver SOURCE DEST_FOLDER SEGMENT_BYTES
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "dialogs/progress_panel.h"
#include "engine/split_engine.h"
#include "platform/file_system.h"
#include "winui/app.h"
#include "winui/message_box_prompts.h"

namespace {

// Splits source into dest as set name; interval < 0: no window. Seconds, or -1 on failure.
double Split(const std::string& source, const std::string& dest, const char* name, uint64_t size, int interval) {
    winui::MessageBoxPrompts prompts;
    CProgressPanel panel;
    NullProgress none;
    if (interval >= 0) {
        panel.SetPersistentPosition(false);
        if (!panel.Create(nullptr, "Splitting")) {
            std::fprintf(stderr, "split_window_driver: the progress window cannot be made (error %lu)\n", GetLastError());
            return -1;
        }
    }
    BytesRejoinerImage image(std::vector<uint8_t>(100000, 0x4D));
    CSplitEngine engine(SystemFileSystem(), prompts, interval >= 0 ? static_cast<IProgress&>(panel) : none, image);
    if (interval >= 0) engine.SetProgressInterval(interval);
    engine.AddItem(source);
    LARGE_INTEGER t0, t1, f;
    QueryPerformanceCounter(&t0);
    bool ok = engine.Split(dest, name, size);
    QueryPerformanceCounter(&t1);
    QueryPerformanceFrequency(&f);
    // Each run starts with the same room on the disk.
    for (const std::string& file : engine.CreatedFiles()) SystemFileSystem().RemoveFile(file);
    if (!ok) std::fprintf(stderr, "split_window_driver: the split of %s into %s failed\n", source.c_str(), dest.c_str());
    return ok ? double(t1.QuadPart - t0.QuadPart) / double(f.QuadPart) : -1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: split_window_driver SOURCE DEST_FOLDER SEGMENT_BYTES\n");
        return 2;
    }
    winui::App::SetInstance(GetModuleHandleA(nullptr));
    uint64_t size = std::strtoull(argv[3], nullptr, 10);
    // Forth and back, so that none of the three always goes first; each figure is the mean of its two.
    const int intervals[] = {CProgressPacer::kDefaultIntervalMs, 0, -1};
    const char* names[] = {"P", "E", "N"};
    double seconds[3] = {0, 0, 0};
    for (int pass = 0; pass < 2; ++pass) {
        for (int k = 0; k < 3; ++k) {
            int i = pass == 0 ? k : 2 - k;
            double s = Split(argv[1], argv[2], names[i], size, intervals[i]);
            if (s < 0) return 1;
            seconds[i] += s / 2;
        }
    }
    std::printf("%.3f %.3f %.3f\n", seconds[0], seconds[1], seconds[2]);
    return 0;
}
