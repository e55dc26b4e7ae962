// CRC-32 (the IEEE/zip polynomial), kept per slice in recovery volumes.
#pragma once

#include <cstddef>
#include <cstdint>

// Continues crc (0 to start) over data; the result is the finished CRC of everything so far.
uint32_t Crc32Update(uint32_t crc, const void* data, size_t count);
