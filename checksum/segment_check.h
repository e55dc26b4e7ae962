// The rejoin's check of each segment against NAME.sha256, on the file the reader is about to
// use: one line for it and a matching digest, or the user's word to go on without a line.
#pragma once

#include <atomic>
#include <string>

#include "checksum/set_checksums.h"
#include "platform/file_system.h"
#include "platform/prompts.h"

// The SHA-256 of a file already open, read from its start; it is left at its start again. Gives
// up (false) on a read error, or when stop is set.
bool HashOpenFile(IFile& file, std::string& hex, const std::atomic<bool>* stop = nullptr);

class CSegmentCheck {
public:
    // sums as read from the file named sumsName; prompts asks whether to go on unchecked.
    CSegmentCheck(const CSetChecksums& sums, std::string sumsName, IPrompts& prompts)
        : sums_(sums), sumsName_(std::move(sumsName)), prompts_(prompts) {}

    // For CSegmentReader::SetSegmentCheck: false with refusal naming the segment when it does
    // not match, cannot be read, or has no single line and the user did not say go on.
    bool Check(IFile& file, const std::string& path, std::string& refusal);

    int Matched() const { return matched_; }
    int Unchecked() const { return unchecked_; }

private:
    const CSetChecksums& sums_;
    std::string sumsName_;
    IPrompts& prompts_;
    int matched_ = 0;
    int unchecked_ = 0;
};
