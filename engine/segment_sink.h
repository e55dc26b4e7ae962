// ISegmentSink: sees every byte the split engine writes into each segment, in file order, as it
// is written, so a checksum needs no second read of the set.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

class ISegmentSink {
public:
    virtual ~ISegmentSink() = default;
    virtual void SegmentOpened(const std::string& path) = 0;
    // The bytes as written; the last-segment flag is told as 0 (what is written first).
    virtual void SegmentBytes(const uint8_t* data, size_t count) = 0;
    // flag: the value the flag was given at close (1 only in the last segment), which the
    // bytes told did not carry. written: false when the segment's data were not all written.
    virtual void SegmentClosed(uint8_t flag, bool written) = 0;
};
