// The build command's arithmetic, in 64 bits so that sets of 4 GB and more count right.
#pragma once

#include <cstdint>

namespace build_estimate {

// Room counted for the rejoiner image and the entry records.
constexpr uint64_t kOverhead = 150000;
// Room for the entry records when the image itself takes more than the overhead leaves.
constexpr uint64_t kRecordRoom = 50000;
// Smallest segment size a user may ask for, in K (1000 bytes).
constexpr int32_t kMinimumK = 200;

// Bytes the set will take: the total of its sources and the overhead. A rejoiner image larger
// than the overhead allows for counts in full, or a small set would be cut to a segment size
// that cannot even hold the image.
uint64_t Estimate(uint64_t totalSize, uint64_t rejoinerLength);
// Diskettes of usableFree bytes the estimate needs, taken up to the next whole number, at least 1.
uint64_t DisketteCount(uint64_t estimate, uint64_t usableFree);
// Segment size in K for the run: a set smaller than one segment gets no larger limit than it
// needs (estimate div 1000). 0 (autosize) stays 0.
int32_t RunSizeK(int32_t maxFileSizeK, uint64_t estimate);

}  // namespace build_estimate
