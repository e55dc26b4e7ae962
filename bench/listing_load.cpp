// Benchmark driver (not a test): opens a project listing the way the main program's loader does,
// without its windows, and prints what it found. bench/listing.sh measures its peak memory.
// usage: listing_load_bench LISTING.spj [contents]
#include <cstdio>
#include <string>
#include <vector>

#include "model/listing_reader.h"
#include "platform/posix/drive_map.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s LISTING.spj [contents]\n", argv[0]);
        return 2;
    }
    IFileSystem& fs = SystemFileSystem();
    const std::string path = posix_drives::ToWindows(argv[1]);
    std::vector<listing_reader::Line> lines;
    if (!listing_reader::ReadLines(fs, path, lines)) return 1;
    size_t cut = listing_reader::CutLines(lines);
    auto refused = listing_reader::PathsOfKind(lines, listing_reader::SourceKind::Refused);
    auto network = listing_reader::PathsOfKind(lines, listing_reader::SourceKind::Network);
    std::string contents = listing_reader::ContentsText(lines);
    std::string missing = listing_reader::FirstMissingSource(fs, lines);
    std::string folder, name;
    listing_reader::SplitProjectPath(path, folder, name);
    std::string kept = listing_reader::ContentsText(lines);
    std::vector<std::string> sources = listing_reader::Sources(fs, lines);
    bool current = listing_reader::SetIsCurrent(fs, path, lines, folder, name);
    std::printf("lines %zu cut %zu refused %zu network %zu missing '%s' sources %zu current %d contents %zu\n",
                lines.size(), cut, refused.size(), network.size(), missing.c_str(), sources.size(), current ? 1 : 0,
                kept.size() + contents.size() * 0);
    return 0;
}
