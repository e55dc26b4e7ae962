// Build arithmetic.
#include "model/build_estimate.h"

#include <algorithm>

namespace build_estimate {

uint64_t Estimate(uint64_t totalSize, uint64_t rejoinerLength) {
    return std::max(kOverhead, rejoinerLength + kRecordRoom) + totalSize;
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
