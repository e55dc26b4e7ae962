// SHA-256 (FIPS 180-4), for the checksum file written beside a set and checked on rejoin.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

class CSha256 {
public:
    CSha256() { Reset(); }
    void Reset();
    void Update(const void* data, size_t count);
    // The digest as 64 lower-case hex digits; the object must be Reset before reuse.
    std::string HexDigest();
    // Uses the processor's SHA instructions where it has them (the default); false forces the
    // portable code. Returns whether they are used.
    static bool SetAccelerated(bool on);

private:
    void Block(const uint8_t* p);
    void Blocks(const uint8_t* p, size_t blocks);

    uint32_t h_[8];
    uint8_t buffer_[64];
    size_t buffered_ = 0;
    uint64_t length_ = 0;  // bytes hashed so far
};
