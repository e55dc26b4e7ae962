// The recovery volumes beside a split set: is the set whole, can it be rebuilt, and
// rebuilding it (in place, or in a temporary folder the reader is pointed at).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "recovery/recovery_repair.h"
#include "recovery/recovery_set.h"
#include "recovery/repaired_file_system.h"

class CSetRecovery {
public:
    explicit CSetRecovery(IFileSystem& fs) : fs_(fs) {}
    ~CSetRecovery();
    // Where the check (in Load) and Repair show how far they are and learn of Cancel.
    void SetProgress(IProgress* progress) { progress_ = progress; }
    bool Cancelled() const { return repair_ ? repair_->Cancelled() : cancelled_; }

    // Looks for volumes beside firstSegment (a Windows path) and checks the set against them.
    // False when there are none, or none usable (error says why; empty when none are there).
    bool Load(const std::string& firstSegment, std::string& error);
    // The bytes of the set's files, as the volumes give them (0 before Load).
    uint64_t Bytes() const;
    bool Whole() const { return repair_ && repair_->Whole(); }
    bool Repairable() const { return repair_ && repair_->Repairable(); }
    // "NAME_2.SEG is missing, NAME_3.SEG is damaged (2 of 9 slices)".
    std::string Damage() const;
    // "4 recovery slices, 3 needed".
    std::string Coverage() const;

    // Rebuilds into the set's folder, or when it cannot be written and allowTemporary, into a
    // temporary folder (removed when this object goes). rebuilt names the files, where their
    // folder. False with error.
    bool Repair(bool allowTemporary, std::vector<std::string>& rebuilt, std::string& where, std::string& error);
    // What a reader should read the set through after Repair.
    IFileSystem& ReaderFileSystem() { return redirect_ ? static_cast<IFileSystem&>(*redirect_) : fs_; }

private:
    IFileSystem& fs_;
    std::string folder_, temporary_;
    CRecoverySet set_;
    std::unique_ptr<CRecoveryRepair> repair_;
    std::unique_ptr<CRepairedFileSystem> redirect_;
    std::vector<std::string> inTemporary_;
    IProgress* progress_ = nullptr;
    bool cancelled_ = false;  // the check was cancelled (Load then drops the repair)
};
