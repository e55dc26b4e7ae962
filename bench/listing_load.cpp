// Benchmark driver (not a test): opens a project listing with the steps the main program's
// loader takes (CProjectListing), without its windows, or reads the text its contents viewer
// shows, and prints what it found. bench/listing.sh measures its peak memory.
// usage: listing_load_bench LISTING.spj [contents]
#include <cstdio>
#include <string>

#include "model/listing_reader.h"
#include "model/project_listing.h"
#include "platform/posix/drive_map.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s LISTING.spj [contents]\n", argv[0]);
        return 2;
    }
    IFileSystem& fs = SystemFileSystem();
    const std::string path = posix_drives::ToWindows(argv[1]);
    if (argc > 2) {
        std::string text;
        if (!listing_reader::ReadContentsText(fs, path, text)) return 1;
        std::printf("contents %zu bytes\n", text.size());
        return 0;
    }
    CProjectListing listing(fs, path);
    if (!listing.Read() || !listing.Probe(false)) return 1;
    std::string folder, name;
    listing_reader::SplitProjectPath(path, folder, name);
    std::printf("cut %zu refused %zu network %zu missing '%s' sources %zu current %d\n", listing.CutLines(),
                listing.Refused().count, listing.Network().count, listing.FirstMissing().c_str(),
                listing.Sources().size(), listing.IsCurrent(folder, name) ? 1 : 0);
    return 0;
}
