// File-list mode: splits the files handed to the mailer into the set "mailxp" in its work
// folder, with the engine's mailer behaviour (no progress, no overwrite question).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/rejoiner_image.h"
#include "platform/file_system.h"
#include "platform/prompts.h"

class CMailSetBuilder {
public:
    static constexpr const char* kSetName = "mailxp";

    CMailSetBuilder(IFileSystem& fs, IPrompts& prompts, IRejoinerImage& image)
        : fs_(fs), prompts_(prompts), image_(image) {}

    // Builds the set in workFolder (created when missing) with segments of segmentBytes.
    // Returns the number of segments written, 0 when the engine failed (it said why);
    // prefix receives the segment path prefix.
    int Build(const std::vector<std::string>& files, const std::string& workFolder,
              uint64_t segmentBytes, std::string& prefix);

private:
    IFileSystem& fs_;
    IPrompts& prompts_;
    IRejoinerImage& image_;
};
