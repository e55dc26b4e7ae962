// Status bar text of the main form.
#include "model/status_text.h"

#include "platform/text_format.h"

uint64_t SegmentsNeeded(uint64_t totalBytes, int32_t maxFileSizeKb) {
    if (maxFileSizeKb <= 0) return 0;
    const uint64_t segment = static_cast<uint64_t>(maxFileSizeKb) * 1000;
    return totalBytes / segment + (totalBytes % segment != 0 ? 1 : 0);
}

std::string StatusText(uint64_t totalBytes, int32_t maxFileSizeKb) {
    // The MB value keeps its fraction: 2,900,000 bytes are 2.900 MB, not 2.000.
    const bool mb = totalBytes >= 1000001;
    const double value = static_cast<double>(totalBytes) / (mb ? 1000000.0 : 1000.0);
    const char* unit = mb ? "MB" : "KB";
    if (maxFileSizeKb <= 0) return FormatText("%.3f %s", value, unit);
    return FormatText("%.3f %s and %llu Files/Diskettes", value, unit,
                      static_cast<unsigned long long>(SegmentsNeeded(totalBytes, maxFileSizeKb)));
}
