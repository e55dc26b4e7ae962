// SHA-256 of each segment as it is written.
#include "cli/segment_hasher.h"

void CSegmentHasher::SegmentOpened(const std::string& path) {
    path_ = path;
    digests_.erase(path);
    hasher_.Begin();
}

void CSegmentHasher::SegmentClosed(uint8_t flag, bool written) {
    std::string hex = hasher_.Finish();
    if (written && flag == 0) digests_[path_] = hex;
    path_.clear();
}
