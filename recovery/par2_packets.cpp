// Layout of PAR 2.0 packets.
#include "recovery/par2_packets.h"

#include <cstring>

namespace par2 {
namespace {

const uint8_t kTypes[5][16] = {
    {'P', 'A', 'R', ' ', '2', '.', '0', 0, 'M', 'a', 'i', 'n', 0, 0, 0, 0},
    {'P', 'A', 'R', ' ', '2', '.', '0', 0, 'F', 'i', 'l', 'e', 'D', 'e', 's', 'c'},
    {'P', 'A', 'R', ' ', '2', '.', '0', 0, 'I', 'F', 'S', 'C', 0, 0, 0, 0},
    {'P', 'A', 'R', ' ', '2', '.', '0', 0, 'R', 'e', 'c', 'v', 'S', 'l', 'i', 'c'},
    {'P', 'A', 'R', ' ', '2', '.', '0', 0, 'C', 'r', 'e', 'a', 't', 'o', 'r', 0},
};

void PutBytes(std::vector<uint8_t>& out, const void* p, size_t n) {
    const uint8_t* b = static_cast<const uint8_t*>(p);
    out.insert(out.end(), b, b + n);
}

// Names and client texts are padded with zero bytes to a multiple of four.
void PutPadded(std::vector<uint8_t>& out, const std::string& text) {
    PutBytes(out, text.data(), text.size());
    while (out.size() % 4) out.push_back(0);
}

}  // namespace

const uint8_t kMagic[8] = {'P', 'A', 'R', '2', 0, 'P', 'K', 'T'};

PacketType TypeOf(const uint8_t type[16]) {
    for (int i = 0; i < 5; ++i)
        if (std::memcmp(type, kTypes[i], 16) == 0) return static_cast<PacketType>(i);
    return PacketType::Unknown;
}

const uint8_t* TypeBytes(PacketType type) { return kTypes[static_cast<int>(type)]; }

void PutU32(std::vector<uint8_t>& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

void PutU64(std::vector<uint8_t>& out, uint64_t v) {
    for (int i = 0; i < 8; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

uint32_t GetU32(const uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24; }

uint64_t GetU64(const uint8_t* p) { return GetU32(p) | static_cast<uint64_t>(GetU32(p + 4)) << 32; }

Md5Digest FileId(const Md5Digest& head, uint64_t length, const std::string& name) {
    std::vector<uint8_t> b;
    PutBytes(b, head.bytes, 16);
    PutU64(b, length);
    PutBytes(b, name.data(), name.size());
    return CMd5::Of(b.data(), b.size());
}

std::vector<uint8_t> MakePacket(const Md5Digest& setId, PacketType type, const std::vector<uint8_t>& body) {
    std::vector<uint8_t> p;
    PutBytes(p, kMagic, 8);
    PutU64(p, kHeaderSize + body.size());
    p.resize(32);
    PutBytes(p, setId.bytes, 16);
    PutBytes(p, TypeBytes(type), 16);
    PutBytes(p, body.data(), body.size());
    Md5Digest d = CMd5::Of(p.data() + 32, p.size() - 32);
    std::memcpy(p.data() + 16, d.bytes, 16);
    return p;
}

std::vector<uint8_t> MainBody(uint64_t sliceSize, const std::vector<Md5Digest>& fileIds) {
    std::vector<uint8_t> b;
    PutU64(b, sliceSize);
    PutU32(b, static_cast<uint32_t>(fileIds.size()));
    for (const Md5Digest& id : fileIds) PutBytes(b, id.bytes, 16);
    return b;
}

std::vector<uint8_t> FileDescriptionBody(const FileEntry& file) {
    std::vector<uint8_t> b;
    PutBytes(b, file.id.bytes, 16);
    PutBytes(b, file.md5.bytes, 16);
    PutBytes(b, file.md5Head.bytes, 16);
    PutU64(b, file.length);
    PutPadded(b, file.name);
    return b;
}

std::vector<uint8_t> SliceChecksumsBody(const FileEntry& file) {
    std::vector<uint8_t> b;
    PutBytes(b, file.id.bytes, 16);
    for (const SliceCheck& s : file.slices) {
        PutBytes(b, s.md5.bytes, 16);
        PutU32(b, s.crc);
    }
    return b;
}

std::vector<uint8_t> CreatorBody(const std::string& client) {
    std::vector<uint8_t> b;
    PutPadded(b, client);
    return b;
}

std::vector<uint8_t> SliceHeader(uint64_t sliceSize, const Md5Digest& packetMd5, const Md5Digest& setId,
                                 uint32_t exponent) {
    std::vector<uint8_t> p;
    PutBytes(p, kMagic, 8);
    PutU64(p, kSliceHeaderSize + sliceSize);
    PutBytes(p, packetMd5.bytes, 16);
    PutBytes(p, setId.bytes, 16);
    PutBytes(p, TypeBytes(PacketType::RecoverySlice), 16);
    PutU32(p, exponent);
    return p;
}

bool IdBefore(const Md5Digest& a, const Md5Digest& b) {
    for (int i = 15; i >= 0; --i)
        if (a.bytes[i] != b.bytes[i]) return a.bytes[i] < b.bytes[i];
    return false;
}

}  // namespace par2
