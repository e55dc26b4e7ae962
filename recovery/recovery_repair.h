// Checking a set's files against its recovery set, and rebuilding the damaged or missing ones.
// A rebuilt file reaches its name only after its whole MD5 matched the set's.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "recovery/recovery_progress.h"
#include "recovery/recovery_set.h"

struct RecoveryFileState {
    bool present = false;  // a file of that name could be opened
    bool whole = false;    // length, every slice and the whole MD5 match
    uint32_t badSlices = 0;
};

class CRecoveryRepair {
public:
    // Files are looked for in folder (ending with a backslash).
    CRecoveryRepair(IFileSystem& fs, const CRecoverySet& set, const std::string& folder)
        : fs_(fs), set_(set), folder_(folder) {}
    // Where Check and Repair show how far they are and learn of Cancel: then they fail with
    // "cancelled", and Repair leaves nothing half made.
    void SetProgress(IProgress* progress) { progress_.SetSink(progress); }
    bool Cancelled() const { return progress_.Cancelled(); }

    // Reads every file and finds its good slices. False only when cancelled (told in error); a
    // missing or unreadable file is no failure, its slices are bad.
    bool Check(std::string& error);
    const std::vector<RecoveryFileState>& States() const { return states_; }
    uint32_t MissingSlices() const { return static_cast<uint32_t>(missing_.size()); }
    size_t RecoveryAvailable() const { return set_.Recovery().size(); }
    bool Whole() const;
    bool Repairable() const { return missing_.size() <= set_.Recovery().size(); }

    // Rebuilds every file that is not whole into outFolder (ending with a backslash; the set's
    // folder or another) and names them in rebuilt. Memory stays within budget bytes (at
    // least one slice piece per missing slice). False with error when it could not: then no
    // file was written under a set file's name, and what was half written is removed.
    bool Repair(const std::string& outFolder, std::vector<std::string>& rebuilt, std::string& error,
                size_t budget = size_t(64) << 20);

private:
    bool CheckFile(size_t index, std::string& error);
    bool Assemble(const std::string& outFolder, const std::vector<size_t>& files, std::string& error);
    bool Finish(const std::string& outFolder, size_t file, std::string& error);

    IFileSystem& fs_;
    const CRecoverySet& set_;
    std::string folder_;
    std::vector<RecoveryFileState> states_;
    std::vector<std::vector<bool>> good_;  // per file, per slice
    std::vector<uint32_t> missing_;        // global indices of the bad slices
    CRecoveryProgress progress_;
};
