// Custom size checks: name first, then the size, then the 200 K floor.
#include "view/model/custom_size_rules.h"

std::string TrimSpaces(const std::string& text) {
    const char* blanks = " \t\r\n";
    size_t begin = text.find_first_not_of(blanks);
    if (begin == std::string::npos) return std::string();
    return text.substr(begin, text.find_last_not_of(blanks) - begin + 1);
}

const char* CheckCustomSize(CustomSizeValues& values) {
    values.name = TrimSpaces(values.name);
    if (values.name.empty()) return custom_size_text::kMissingName;
    if (values.size == 0) return custom_size_text::kMissingSize;
    // In 64 bits: a large size must not wrap into a small or negative one.
    if (int64_t(values.size) * 1000 < 200000) return custom_size_text::kMinimum;
    values.location = TrimSpaces(values.location);
    return nullptr;
}
