// Custom size checks: name first, then the size, then the 200 K floor.
#include "model/custom_size_rules.h"

#include "platform/text_trim.h"

const char* CheckCustomSize(CustomSizeValues& values) {
    values.name = TrimWhiteSpace(values.name);
    if (values.name.empty()) return custom_size_text::kMissingName;
    if (values.size == 0) return custom_size_text::kMissingSize;
    // In 64 bits: a large size must not wrap into a small or negative one.
    if (int64_t(values.size) * 1000 < 200000) return custom_size_text::kMinimum;
    values.location = TrimWhiteSpace(values.location);
    return nullptr;
}
