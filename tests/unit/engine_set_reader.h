// Reads a written split set back the way the rejoiner does, for the engine's tests.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "fakes/test_files.h"

// One entry as read back from a set's entry stream.
struct ReadEntry {
    uint32_t size = 0;
    uint8_t attributes = 0;
    uint32_t parent = 0;
    std::string name;
    std::string data;
};

inline uint32_t LE32(const std::string& s, size_t at) {
    return uint32_t(uint8_t(s[at])) | uint32_t(uint8_t(s[at + 1])) << 8 | uint32_t(uint8_t(s[at + 2])) << 16 |
           uint32_t(uint8_t(s[at + 3])) << 24;
}

// Reads a set the way the rejoiner does, checking flags and the trailer on the way; records
// must lie whole within a segment.
inline std::vector<ReadEntry> ReadSet(const std::vector<std::string>& segments, uint32_t imageLength) {
    std::vector<ReadEntry> entries;
    std::string stream;
    std::vector<size_t> bounds;  // where each segment's data starts in the stream
    for (size_t i = 0; i < segments.size(); ++i) {
        const std::string& s = segments[i];
        uint8_t expectedFlag = i + 1 == segments.size() ? 1 : 0;
        bounds.push_back(stream.size());
        if (i == 0) {
            EXPECT_GE(s.size(), imageLength + 5u);
            EXPECT_EQ(LE32(s, s.size() - 4), imageLength) << "trailer";
            EXPECT_EQ(uint8_t(s[imageLength]), expectedFlag) << "flag of segment 1";
            stream += s.substr(imageLength + 1, s.size() - imageLength - 5);
        } else {
            EXPECT_EQ(uint8_t(s[0]), expectedFlag) << "flag of segment " << i + 1;
            stream += s.substr(1);
        }
    }
    bounds.push_back(stream.size());
    size_t at = 0;
    while (at < stream.size()) {
        ReadEntry e;
        size_t start = at;
        e.size = LE32(stream, at);
        e.attributes = uint8_t(stream[at + 4]);
        e.parent = LE32(stream, at + 5);
        size_t nul = stream.find('\0', at + 9);
        e.name = stream.substr(at + 9, nul - at - 9);
        at = nul + 1;
        for (size_t b : bounds)
            EXPECT_FALSE(b > start && b < at) << "record of " << e.name << " straddles a segment";
        if (!(e.attributes & 0x10)) {
            e.data = stream.substr(at, e.size);
            at += e.size;
        }
        entries.push_back(e);
    }
    return entries;
}

