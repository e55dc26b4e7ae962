// The rejoiner program image a splitting program writes at the head of every first segment.
#pragma once

#include <cstdint>
#include <vector>

// Fills bytes with the remblo image this program carries (resource "RAW_BINARY" 131 on
// Windows, compiled-in bytes on the host). False, with bytes left empty, when it carries none.
bool BuiltInRejoinerImage(std::vector<uint8_t>& bytes);
