// A PAR 2.0 recovery set read back from its volumes: which files it protects, their slice
// checksums, and where each recovery slice lies. Every field is checked before use: volumes
// may be damaged, truncated, of another set, or made to mislead.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "recovery/par2_packets.h"

struct RecoverySliceRef {
    uint32_t exponent = 0;
    size_t volume = 0;    // index into Volumes()
    uint64_t offset = 0;  // of the slice data in that volume
};

class CRecoverySet {
public:
    // Reads the packets of every volume and keeps the set that describes the most of names
    // (any set when names is empty). False with error when no usable set is there.
    bool Load(IFileSystem& fs, const std::vector<std::string>& volumes, const std::vector<std::string>& names,
              std::string& error);

    uint64_t SliceSize() const { return sliceSize_; }
    // The protected files in set order; slices are numbered through them in that order.
    const std::vector<par2::FileEntry>& Files() const { return files_; }
    uint32_t FirstSlice(size_t file) const { return firstSlice_[file]; }
    uint32_t SliceCount() const { return sliceCount_; }
    const std::vector<RecoverySliceRef>& Recovery() const { return recovery_; }
    const std::vector<std::string>& Volumes() const { return volumes_; }
    // Index of the file of that name (case-insensitive), or -1.
    int FindFile(const std::string& name) const;

    // Volumes beside a segment set: "<base>.par2" and "<base>.vol*.par2" in folder (ending
    // with a backslash), any case.
    static std::vector<std::string> FindVolumes(IFileSystem& fs, const std::string& folder, const std::string& base);

private:
    struct Packets {
        std::vector<uint8_t> main;
        std::map<std::string, std::vector<uint8_t>> descriptions, checksums;
        std::map<uint32_t, RecoverySliceRef> recovery;
        std::map<uint32_t, uint64_t> recoveryLength;
        size_t kept = 0;  // bytes of small packets held, bounded
    };
    void ReadVolume(IFileSystem& fs, size_t index);
    void Keep(size_t volume, const uint8_t* header, const std::vector<uint8_t>& body, uint64_t dataOffset,
              uint64_t dataLength);
    bool Build(const Packets& p, std::string& error);

    std::vector<std::string> volumes_;
    std::map<std::string, Packets> sets_;
    uint64_t sliceSize_ = 0;
    std::vector<par2::FileEntry> files_;
    std::vector<uint32_t> firstSlice_;
    uint32_t sliceCount_ = 0;
    std::vector<RecoverySliceRef> recovery_;
};
