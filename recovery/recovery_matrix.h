// The linear algebra of a repair over GF(2^16): which recovery slices to use for the missing
// input slices, and the inverse that turns them back into data.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// constants: those of the m missing input slices; exponents: the recovery slices at hand.
// Picks m exponents whose rows are independent (a PAR 2.0 matrix can be singular for some
// choices) into chosen, and the inverse (m x m, row j gives missing slice j as a sum over the
// chosen slices). False when the slices at hand cannot solve for the missing ones.
bool SolveRecovery(const std::vector<uint16_t>& constants, const std::vector<uint32_t>& exponents,
                   std::vector<size_t>& chosen, std::vector<uint16_t>& inverse);

// dsts[k] ^= factors[k] * src over bytes, for every k; shared between this thread and another
// when the work is large enough to pay for it.
void MultiplyAddMany(const uint8_t* src, size_t bytes, uint8_t* const* dsts, const uint16_t* factors, size_t count);
