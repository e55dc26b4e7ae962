// Custom size checks: name first, then the size, then the 200 K floor.
#include "view/model/custom_size_rules.h"

namespace {

// Spaces, tabs and line breaks cut from both ends.
std::string Trimmed(const std::string& text) {
    const char* blanks = " \t\r\n";
    size_t begin = text.find_first_not_of(blanks);
    if (begin == std::string::npos) return std::string();
    return text.substr(begin, text.find_last_not_of(blanks) - begin + 1);
}

}  // namespace

const char* CheckCustomSize(CustomSizeValues& values) {
    values.name = Trimmed(values.name);
    if (values.name.empty()) return custom_size_text::kMissingName;
    if (values.size == 0) return custom_size_text::kMissingSize;
    // In 64 bits: a large size must not wrap into a small or negative one.
    if (int64_t(values.size) * 1000 < 200000) return custom_size_text::kMinimum;
    values.location = Trimmed(values.location);
    return nullptr;
}
