// Host: the image is a win32 remblo.exe compiled in as bytes (none when the build had none).
#include "rejoiner/rejoiner_image.h"

#include <cstddef>

extern const uint8_t kRejoinerImage[];
extern const size_t kRejoinerImageSize;

bool BuiltInRejoinerImage(std::vector<uint8_t>& bytes) {
    bytes.assign(kRejoinerImage, kRejoinerImage + kRejoinerImageSize);
    return kRejoinerImageSize != 0;
}
