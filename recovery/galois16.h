// Arithmetic in GF(2^16) with the generator 0x1100B (x^16+x^12+x^3+x+1), the field of
// recovery volumes, and the region operation that makes and uses recovery slices.
#pragma once

#include <cstddef>
#include <cstdint>

namespace gf16 {

uint16_t Multiply(uint16_t a, uint16_t b);
// a / b; b must not be 0.
uint16_t Divide(uint16_t a, uint16_t b);
uint16_t Power(uint16_t base, uint32_t exponent);
// 2^n: the field element whose logarithm is n (mod 65535).
uint16_t Exp(uint32_t n);

// The constant of input slice index (0-based): 2^n for the index-th n > 0 coprime to 65535.
// Valid for index < 32768.
uint16_t InputConstant(uint32_t index);

// dst[w] ^= factor * src[w] over words 16-bit little-endian words (bytes / 2).
void MultiplyAdd(uint8_t* dst, const uint8_t* src, uint16_t factor, size_t bytes);

// Uses the processor's vector instructions where present (the default); false forces the
// table code. Returns whether they are used.
bool SetAccelerated(bool on);

}  // namespace gf16
