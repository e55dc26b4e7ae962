// The mailer's keys in the mail settings file "ReZove.ini", section "EMailSetup", which the
// main program reads and writes as well.
#pragma once

#include <cstdint>
#include <string>

#include "platform/settings.h"

class CMailSettings {
public:
    static constexpr const char* kFileName = "ReZove.ini";
    static constexpr const char* kSection = "EMailSetup";
    // Segment size in file-list mode when "IEMailSize" is empty (or holds no usable number).
    static constexpr uint64_t kDefaultSegmentBytes = 1536000;

    explicit CMailSettings(ISettings& store) : store_(store) {}

    void Load();
    // Writes "IEMailAddress", "IEMailToAddress" and "IEMailSMTP" (the mailer's Send).
    void SaveAll();
    void SaveServer();
    // "IEMailSize" is in K of 1024 bytes.
    uint64_t SegmentBytes() const;

    std::string server, fromAddress, toAddress, size;

private:
    ISettings& store_;
};
