// Recovery volumes for the segments a split wrote.
#include "cli/recovery_files.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "cli/recovery_line.h"
#include "engine/split_engine.h"
#include "platform/paths.h"
#include "recovery/recovery_creator.h"
#include "recovery/recovery_set.h"

bool WriteSetRecovery(IFileSystem& fs, const std::string& folder, const std::string& base, int count,
                      uint32_t rebuild, bool quiet, bool draw, std::string& error) {
    std::vector<std::string> names;
    uint64_t largest = 0, bytes = 0;
    for (int n = 1; n <= count; ++n) {
        names.push_back(CSplitEngine::SegmentName(base, n));
        FileStatus st;
        if (!fs.GetStatus(folder + names.back(), st)) {
            error = "recovery volumes need every segment in one folder; " + names.back() + " is not in " +
                    UserPath(folder);
            return false;
        }
        largest = std::max(largest, st.size);
        bytes += st.size;
    }
    CRecoveryCreator creator(fs);
    RecoveryLine line(draw, [bytes] { return bytes; });
    creator.SetProgress(&line);
    bool made = creator.Create(folder, base, names, rebuild, largest, error);
    line.Finish();
    if (!made) return false;
    if (!quiet) {
        uint32_t k = std::min<uint32_t>(rebuild, static_cast<uint32_t>(count));
        size_t volumes = creator.Written().size() - 1;
        std::printf("recovery: %s and %zu volume%s; any %u segment%s can be rebuilt from them\n",
                    UserPath(folder + base + ".par2").c_str(), volumes, volumes == 1 ? "" : "s", k, k == 1 ? "" : "s");
    }
    return true;
}

void RemoveSetRecovery(IFileSystem& fs, const std::string& folder, const std::string& base) {
    for (const std::string& v : CRecoverySet::FindVolumes(fs, folder, base)) fs.RemoveFile(v);
}
