// Gaussian elimination over GF(2^16), and the region work split across two cores.
#include "recovery/recovery_matrix.h"

#ifndef ZB_RECOVERY_ONE_THREAD
#include <thread>
#endif

#include "recovery/galois16.h"

using namespace gf16;

bool SolveRecovery(const std::vector<uint16_t>& constants, const std::vector<uint32_t>& exponents,
                   std::vector<size_t>& chosen, std::vector<uint16_t>& inverse) {
    const size_t m = constants.size();
    chosen.clear();
    if (m == 0) {
        inverse.clear();
        return true;
    }
    // Greedy: a row joins when it is independent of those taken (kept reduced, one pivot each).
    std::vector<std::vector<uint16_t>> basis;
    std::vector<size_t> pivots;
    for (size_t e = 0; e < exponents.size() && chosen.size() < m; ++e) {
        std::vector<uint16_t> row(m);
        for (size_t j = 0; j < m; ++j) row[j] = Power(constants[j], exponents[e]);
        for (size_t b = 0; b < basis.size(); ++b) {
            uint16_t f = row[pivots[b]];
            if (!f) continue;
            f = Divide(f, basis[b][pivots[b]]);
            for (size_t j = 0; j < m; ++j) row[j] ^= Multiply(f, basis[b][j]);
        }
        size_t p = 0;
        while (p < m && row[p] == 0) ++p;
        if (p == m) continue;
        basis.push_back(row);
        pivots.push_back(p);
        chosen.push_back(e);
    }
    if (chosen.size() < m) return false;
    // Gauss-Jordan on [A | I], A's row k being chosen exponent k.
    std::vector<uint16_t> a(m * m), inv(m * m, 0);
    for (size_t k = 0; k < m; ++k) {
        for (size_t j = 0; j < m; ++j) a[k * m + j] = Power(constants[j], exponents[chosen[k]]);
        inv[k * m + k] = 1;
    }
    for (size_t col = 0; col < m; ++col) {
        size_t r = col;
        while (r < m && a[r * m + col] == 0) ++r;
        if (r == m) return false;
        if (r != col)
            for (size_t j = 0; j < m; ++j) {
                std::swap(a[r * m + j], a[col * m + j]);
                std::swap(inv[r * m + j], inv[col * m + j]);
            }
        uint16_t scale = Divide(1, a[col * m + col]);
        for (size_t j = 0; j < m; ++j) {
            a[col * m + j] = Multiply(a[col * m + j], scale);
            inv[col * m + j] = Multiply(inv[col * m + j], scale);
        }
        for (size_t i = 0; i < m; ++i) {
            uint16_t f = i == col ? 0 : a[i * m + col];
            if (!f) continue;
            for (size_t j = 0; j < m; ++j) {
                a[i * m + j] ^= Multiply(f, a[col * m + j]);
                inv[i * m + j] ^= Multiply(f, inv[col * m + j]);
            }
        }
    }
    // A * D = R, so D = A^-1 * R: row j of the inverse, in terms of the chosen slices.
    inverse = inv;
    return true;
}

namespace {

void Range(const uint8_t* src, size_t from, size_t to, uint8_t* const* dsts, const uint16_t* factors, size_t count) {
    for (size_t k = 0; k < count; ++k) MultiplyAdd(dsts[k] + from, src + from, factors[k], to - from);
}

}  // namespace

void MultiplyAddMany(const uint8_t* src, size_t bytes, uint8_t* const* dsts, const uint16_t* factors, size_t count) {
#ifdef ZB_RECOVERY_ONE_THREAD
    Range(src, 0, bytes, dsts, factors, count);
#else
    // Below this a second thread costs more than it saves.
    const size_t kWorthSharing = size_t(1) << 19;
    if (bytes * count < kWorthSharing || bytes < 256 || std::thread::hardware_concurrency() < 2) {
        Range(src, 0, bytes, dsts, factors, count);
        return;
    }
    size_t half = bytes / 2 / 64 * 64;
    std::thread other;
    try {
        other = std::thread(Range, src, half, bytes, dsts, factors, count);
    } catch (...) {
        half = bytes;  // no thread to be had: all of it here
    }
    Range(src, 0, half, dsts, factors, count);
    if (other.joinable()) other.join();
#endif
}
