// Windows: the image is the program's own resource "RAW_BINARY" 131.
#include "platform/process.h"
#include "rejoiner/rejoiner_image.h"

bool BuiltInRejoinerImage(std::vector<uint8_t>& bytes) {
    bytes.clear();
    if (!LoadModuleResource("RAW_BINARY", 131, bytes) || bytes.empty()) {
        bytes.clear();
        return false;
    }
    return true;
}
