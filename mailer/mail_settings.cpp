// The mailer's keys in the mail settings file.
#include "mailer/mail_settings.h"

#include <cstdlib>

namespace {
// The values have always been read into fixed buffers; longer text is cut, never overflows.
std::string Read(ISettings& store, const char* key, size_t limit) {
    std::string value = store.GetString(CMailSettings::kSection, key, "");
    return value.size() > limit ? value.substr(0, limit) : value;
}
}  // namespace

void CMailSettings::Load() {
    server = Read(store_, "IEMailSMTP", 99);
    fromAddress = Read(store_, "IEMailAddress", 99);
    toAddress = Read(store_, "IEMailToAddress", 99);
    size = Read(store_, "IEMailSize", 25);
}

void CMailSettings::SaveAll() {
    store_.WriteString(kSection, "IEMailAddress", fromAddress);
    store_.WriteString(kSection, "IEMailToAddress", toAddress);
    SaveServer();
}

void CMailSettings::SaveServer() { store_.WriteString(kSection, "IEMailSMTP", server); }

uint64_t CMailSettings::SegmentBytes() const {
    // A size of 0 would ask the engine for free-space sizing and mail one huge segment.
    long long k = std::strtoll(size.c_str(), nullptr, 10);
    if (k <= 0 || k > 4194303) return kDefaultSegmentBytes;
    return static_cast<uint64_t>(k) * 1024;
}
