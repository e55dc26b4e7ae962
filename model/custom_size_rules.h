// The rules the custom size dialog enforces on OK, without the window.
#pragma once

#include <cstdint>
#include <string>

// One preset as the custom size dialog edits it: display name, size in K (1000 bytes), folder.
struct CustomSizeValues {
    std::string name;
    int32_t size = 0;
    std::string location;
};

namespace custom_size_text {
constexpr const char kMissingName[] = "Missing Name";
constexpr const char kMissingSize[] = "Missing Size in KB";
constexpr const char kMinimum[] = "Minimum size is 200 K";
}  // namespace custom_size_text

// Checks the values in the dialog's order. Returns the refusal's text, or nullptr when they are
// accepted. The name is trimmed before it is tested; the location only once the values are
// accepted. The dialog's controls keep what was typed either way.
const char* CheckCustomSize(CustomSizeValues& values);
