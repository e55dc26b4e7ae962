// Writing recovery volumes for a set's files: BASE.par2 (the checksums alone) and
// BASE.volXX+YY.par2 (recovery slices XX to XX+YY-1, with the checksums when they fit).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "recovery/recovery_progress.h"

struct RecoveryPlan {
    uint64_t sliceSize = 0;
    uint32_t recoverySlices = 0;
    uint32_t perVolume = 0;          // recovery slices in each volume (the last may hold fewer)
    bool checksumsInVolumes = false;  // each volume also carries the set's checksum packets
    uint32_t Volumes() const { return perVolume ? (recoverySlices + perVolume - 1) / perVolume : 0; }
};

class CRecoveryCreator {
public:
    explicit CRecoveryCreator(IFileSystem& fs) : fs_(fs) {}
    // Where Create shows how far it is, and learns of Cancel (then it fails, its volumes gone).
    void SetProgress(IProgress* progress) { progress_.SetSink(progress); }
    bool Cancelled() const { return progress_.Cancelled(); }

    // Slices such that any rebuild files can be rebuilt and no volume exceeds volumeLimit
    // bytes. False with error when no such plan exists (too many files, too small a limit).
    static bool Plan(const std::vector<uint64_t>& lengths, const std::vector<std::string>& names, uint32_t rebuild,
                     uint64_t volumeLimit, RecoveryPlan& plan, std::string& error);

    // Before a split: whether the index volume (BASE.par2, the checksums of every segment)
    // can fit in one segment of segmentSize bytes when a set of setBytes bytes (segments and
    // all) is cut into them. It grows with every segment, so it is checked before anything is
    // written. When not, smallest is the least segment size that would do (0: none).
    static bool IndexFits(uint64_t setBytes, uint64_t segmentSize, size_t baseLength, uint64_t& smallest);

    // Writes the volumes for the named files of folder (ending with a backslash) beside them.
    // budget bounds the memory the recovery slices take at once (more passes when they do
    // not fit). False with error after removing what it wrote.
    bool Create(const std::string& folder, const std::string& base, const std::vector<std::string>& names,
                uint32_t rebuild, uint64_t volumeLimit, std::string& error, size_t budget = size_t(256) << 20);
    const std::vector<std::string>& Written() const { return written_; }

    // "BASE.vol03+03.par2"
    static std::string VolumeName(const std::string& base, uint32_t first, uint32_t count, uint32_t total);

private:
    IFileSystem& fs_;
    std::vector<std::string> written_;
    CRecoveryProgress progress_;
};
