// What a split set of some sources will hold, measured before the split: the bytes of file
// contents and of entry records, walked the way the engine walks.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/file_system.h"

struct SetMeasure {
    uint64_t contentBytes = 0;
    uint64_t recordBytes = 0;

    // The first segment of a set of one segment: image, flag, records, contents, trailer.
    uint64_t OneSegmentBytes(uint64_t imageBytes) const { return imageBytes + 5 + recordBytes + contentBytes; }
};

// includeHidden: hidden items inside folders count, as the engine was told to take them.
SetMeasure MeasureSources(IFileSystem& fs, const std::vector<std::string>& paths, bool includeHidden);
