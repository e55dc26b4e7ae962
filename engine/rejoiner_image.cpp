// Rejoiner image from the program's own resources.
#include "engine/rejoiner_image.h"

#include "platform/process.h"

bool ResourceRejoinerImage::Load(std::vector<uint8_t>& bytes) {
    return LoadModuleResource("RAW_BINARY", 131, bytes) && !bytes.empty();
}
