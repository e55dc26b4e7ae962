// SHA-256 of each segment as it is written.
#include "cli/segment_hasher.h"

void CSegmentHasher::SegmentOpened(const std::string& path) {
    // A segment the engine gave up on without closing it leaves its stream open: not hashed.
    if (!path_.empty()) hasher_.End(std::string());
    path_ = path;
}

void CSegmentHasher::SegmentClosed(uint8_t flag, bool written) {
    // A segment written again under its name (a rerun into the same folder) is a new stream.
    hasher_.End(written && flag == 0 ? path_ : std::string());
    path_.clear();
}
