// The packets of a PAR 2.0 recovery set: their layout, how ours are written, and the limits a
// reader holds every packet to before trusting any of its fields.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "recovery/md5.h"

namespace par2 {

const size_t kHeaderSize = 64;  // magic 8, length 8, packet MD5 16, set id 16, type 16
const size_t kSliceHeaderSize = kHeaderSize + 4;  // a recovery slice packet before its data
// At most this many input slices: their constants must be distinct powers of 2 in GF(2^16).
const uint32_t kMaxInputSlices = 32768;
// Largest slice we read or write: keeps every buffer a packet can ask for bounded.
const uint64_t kMaxSliceSize = uint64_t(1) << 30;
// Largest packet other than a recovery slice (a main or checksum packet of 32768 slices fits).
const uint64_t kMaxSmallPacket = uint64_t(4) << 20;

enum class PacketType { Main, FileDescription, SliceChecksums, RecoverySlice, Creator, Unknown };

extern const uint8_t kMagic[8];

PacketType TypeOf(const uint8_t type[16]);
const uint8_t* TypeBytes(PacketType type);

// Little-endian fields.
void PutU32(std::vector<uint8_t>& out, uint32_t v);
void PutU64(std::vector<uint8_t>& out, uint64_t v);
uint32_t GetU32(const uint8_t* p);
uint64_t GetU64(const uint8_t* p);

struct SliceCheck {
    Md5Digest md5;
    uint32_t crc = 0;
};

// A file the set protects, as its description and checksum packets give it.
struct FileEntry {
    Md5Digest id;
    Md5Digest md5;      // of the whole file
    Md5Digest md5Head;  // of its first 16 KiB
    uint64_t length = 0;
    std::string name;
    std::vector<SliceCheck> slices;
};

// The file id: MD5 of the head hash, the length and the name (without its padding).
Md5Digest FileId(const Md5Digest& head, uint64_t length, const std::string& name);

// Whole packets (header included) for set; the header's MD5 covers set id, type and body.
std::vector<uint8_t> MakePacket(const Md5Digest& setId, PacketType type, const std::vector<uint8_t>& body);
// The main packet's body: slice size, then the ids of the protected files in set order.
std::vector<uint8_t> MainBody(uint64_t sliceSize, const std::vector<Md5Digest>& fileIds);
std::vector<uint8_t> FileDescriptionBody(const FileEntry& file);
std::vector<uint8_t> SliceChecksumsBody(const FileEntry& file);
std::vector<uint8_t> CreatorBody(const std::string& client);
// The header of a recovery slice packet whose data has the given MD5 context already fed with
// set id, type, exponent and data: the caller finishes the hash.
std::vector<uint8_t> SliceHeader(uint64_t sliceSize, const Md5Digest& packetMd5, const Md5Digest& setId,
                                 uint32_t exponent);

// Orders file ids the way the set lists them: as 16-byte little-endian numbers.
bool IdBefore(const Md5Digest& a, const Md5Digest& b);

}  // namespace par2
