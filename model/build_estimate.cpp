// Build arithmetic.
#include "model/build_estimate.h"

#include <algorithm>

namespace build_estimate {

uint64_t Estimate(uint64_t totalSize, uint64_t rejoinerLength) {
    return std::max(kOverhead, rejoinerLength + kRecordRoom) + totalSize;
}

int32_t MinimumK(uint64_t rejoinerLength) {
    // The first segment holds the image, its flag byte and 4-byte trailer, and at least one
    // whole entry record (a 255-byte name and ten bytes of header).
    const uint64_t needed = rejoinerLength + 5 + 265;
    return std::max<int32_t>(kMinimumK, static_cast<int32_t>((needed + 999) / 1000));
}

uint64_t DisketteCount(uint64_t estimate, uint64_t usableFree) {
    if (usableFree == 0) return 1;
    uint64_t count = estimate / usableFree + (estimate % usableFree ? 1 : 0);
    return std::max<uint64_t>(count, 1);
}

int32_t RunSizeK(int32_t maxFileSizeK, uint64_t estimate) {
    if (maxFileSizeK == 0) return 0;
    uint64_t needK = estimate / 1000;
    return maxFileSizeK > 0 && needK < uint64_t(maxFileSizeK) ? static_cast<int32_t>(needK) : maxFileSizeK;
}

}  // namespace build_estimate
