// CSegmentHasher: the SHA-256 of each segment as the split engine writes it, on a second
// thread. A segment's digest is known when it closes with its flag as first written (0, so
// every segment but the last); the last one's flag changes at close and must be read again.
#pragma once

#include <map>
#include <string>

#include "cli/stream_hasher.h"
#include "engine/segment_sink.h"

class CSegmentHasher : public ISegmentSink {
public:
    void SegmentOpened(const std::string& path) override;
    void SegmentBytes(const uint8_t* data, size_t count) override { hasher_.Add(data, count); }
    void SegmentClosed(uint8_t flag, bool written) override;

    // Digests by segment path, for the segments whose bytes were all seen as they stand; waits
    // for the hashing to catch up.
    const std::map<std::string, std::string>& Digests() { return hasher_.Digests(); }

private:
    CStreamHasher hasher_;
    std::string path_;
};
