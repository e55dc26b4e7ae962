// libFuzzer target for the recovery volume reader and repair: any bytes as a volume beside a
// small set must neither crash nor over-read, and a file the repair rebuilds must be the
// original. Build: cmake --build <host build> --target recovery_fuzz.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/posix/drive_map.h"
#include "recovery/recovery_repair.h"
#include "recovery/recovery_set.h"

namespace {

const char* kNames[] = {"F_1.EXE", "F_2.SEG", "F_3.SEG"};

std::string Original(int i) {
    std::string b(700 + 300 * i, '\0');
    for (size_t k = 0; k < b.size(); ++k) b[k] = static_cast<char>(k * 13 + i);
    return b;
}

void Write(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static std::string root = [] {
        char pattern[] = "/tmp/zbrecfuzzXXXXXX";
        std::string r = ::mkdtemp(pattern);
        posix_drives::Map('F', r, DriveType::Fixed);
        return r;
    }();
    for (int i = 0; i < 3; ++i) Write(root + "/" + kNames[i], Original(i));
    std::remove((root + "/" + kNames[1]).c_str());  // one missing: the volume is all there is
    Write(root + "/F.par2", std::string(reinterpret_cast<const char*>(data), size));
    CRecoverySet set;
    std::string error;
    if (!set.Load(SystemFileSystem(), {"F:\\F.par2"}, {kNames[0]}, error)) return 0;
    CRecoveryRepair repair(SystemFileSystem(), set, "F:\\");
    std::vector<std::string> rebuilt;
    if (!repair.Check(error) || !repair.Repair("F:\\", rebuilt, error, 1 << 20)) return 0;
    for (const std::string& name : rebuilt)
        for (int i = 0; i < 3; ++i)
            if (name == kNames[i] && Read(root + "/" + name) != Original(i)) {
                std::fprintf(stderr, "recovery fuzz: %s rebuilt with wrong bytes\n", name.c_str());
                std::abort();
            }
    return 0;
}
