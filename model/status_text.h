// The status bar text of the main form: total size of the sources and, with a segment size,
// how many segments (files or diskettes) they will take.
#pragma once

#include <cstdint>
#include <string>

// Segments of maxFileSizeKb K (1 K = 1000 bytes) that totalBytes fill, the last one partly;
// 0 when there is no segment size. 64-bit throughout: a selection of 4 GB or more, or a size
// above 4,294,967 K, must not wrap.
uint64_t SegmentsNeeded(uint64_t totalBytes, int32_t maxFileSizeKb);

// "%.3f %s" or "%.3f %s and %d Files/Diskettes": KB up to 1000000 bytes, MB from 1000001.
std::string StatusText(uint64_t totalBytes, int32_t maxFileSizeKb);
