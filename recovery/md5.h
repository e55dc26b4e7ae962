// MD5 (RFC 1321): the hash recovery volumes use for packets, slices and whole files.
#pragma once

#include <cstddef>
#include <cstdint>

struct Md5Digest {
    uint8_t bytes[16] = {};
    bool operator==(const Md5Digest& o) const;
    bool operator!=(const Md5Digest& o) const { return !(*this == o); }
};

class CMd5 {
public:
    CMd5() { Reset(); }
    void Reset();
    void Update(const void* data, size_t count);
    // Finishes the hash; Reset before reusing the object.
    Md5Digest Final();
    static Md5Digest Of(const void* data, size_t count);

private:
    void Block(const uint8_t* p);

    uint32_t h_[4];
    uint8_t buffer_[64];
    size_t buffered_ = 0;
    uint64_t length_ = 0;
};
