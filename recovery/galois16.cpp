// GF(2^16) by logarithm tables; regions by per-factor byte tables, or by nibble shuffles on
// processors with SSSE3/AVX2 (four 16-entry lookups per word, sixteen or thirty-two words a step).
#include "recovery/galois16.h"

#include <cstring>
#include <vector>

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#include <immintrin.h>
#define ZB_GF_VECTOR 1
#endif

namespace gf16 {
namespace {

struct Tables {
    std::vector<uint16_t> log, exp;  // exp doubled so log a + log b needs no reduction
    Tables() : log(65536), exp(2 * 65535) {
        uint32_t x = 1;
        for (uint32_t i = 0; i < 65535; ++i) {
            exp[i] = exp[i + 65535] = static_cast<uint16_t>(x);
            log[x] = static_cast<uint16_t>(i);
            x <<= 1;
            if (x & 0x10000) x ^= 0x1100B;
        }
    }
};

const Tables& T() {
    static const Tables tables;
    return tables;
}

// The products of factor with every low byte and every high byte of a word.
void ByteTables(uint16_t factor, uint16_t lo[256], uint16_t hi[256]) {
    for (uint32_t b = 0; b < 256; ++b) {
        lo[b] = Multiply(factor, static_cast<uint16_t>(b));
        hi[b] = Multiply(factor, static_cast<uint16_t>(b << 8));
    }
}

void MultiplyAddTables(uint8_t* dst, const uint8_t* src, uint16_t factor, size_t words) {
    uint16_t lo[256], hi[256];
    ByteTables(factor, lo, hi);
    for (size_t i = 0; i < words; ++i) {
        uint16_t p = lo[src[2 * i]] ^ hi[src[2 * i + 1]];
        dst[2 * i] ^= static_cast<uint8_t>(p);
        dst[2 * i + 1] ^= static_cast<uint8_t>(p >> 8);
    }
}

#ifdef ZB_GF_VECTOR
// Low and high result bytes of factor * (n << 4k) for each nibble n, k = 0..3.
void NibbleTables(uint16_t factor, uint8_t low[4][16], uint8_t high[4][16]) {
    for (int k = 0; k < 4; ++k)
        for (uint32_t n = 0; n < 16; ++n) {
            uint16_t p = Multiply(factor, static_cast<uint16_t>(n << (4 * k)));
            low[k][n] = static_cast<uint8_t>(p);
            high[k][n] = static_cast<uint8_t>(p >> 8);
        }
}

__attribute__((target("ssse3"))) size_t MultiplyAddSsse3(uint8_t* dst, const uint8_t* src, uint16_t factor,
                                                        size_t words) {
    uint8_t low[4][16], high[4][16];
    NibbleTables(factor, low, high);
    __m128i tl[4], th[4];
    for (int k = 0; k < 4; ++k) {
        tl[k] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(low[k]));
        th[k] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(high[k]));
    }
    const __m128i byte = _mm_set1_epi16(0x00FF), nibble = _mm_set1_epi8(0x0F);
    size_t done = 0;
    for (; done + 16 <= words; done += 16) {
        __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + 2 * done));
        __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + 2 * done + 16));
        __m128i lo = _mm_packus_epi16(_mm_and_si128(a, byte), _mm_and_si128(b, byte));
        __m128i hi = _mm_packus_epi16(_mm_srli_epi16(a, 8), _mm_srli_epi16(b, 8));
        __m128i n0 = _mm_and_si128(lo, nibble), n1 = _mm_and_si128(_mm_srli_epi16(lo, 4), nibble);
        __m128i n2 = _mm_and_si128(hi, nibble), n3 = _mm_and_si128(_mm_srli_epi16(hi, 4), nibble);
        __m128i rl = _mm_xor_si128(_mm_xor_si128(_mm_shuffle_epi8(tl[0], n0), _mm_shuffle_epi8(tl[1], n1)),
                                   _mm_xor_si128(_mm_shuffle_epi8(tl[2], n2), _mm_shuffle_epi8(tl[3], n3)));
        __m128i rh = _mm_xor_si128(_mm_xor_si128(_mm_shuffle_epi8(th[0], n0), _mm_shuffle_epi8(th[1], n1)),
                                   _mm_xor_si128(_mm_shuffle_epi8(th[2], n2), _mm_shuffle_epi8(th[3], n3)));
        __m128i* d = reinterpret_cast<__m128i*>(dst + 2 * done);
        _mm_storeu_si128(d, _mm_xor_si128(_mm_loadu_si128(d), _mm_unpacklo_epi8(rl, rh)));
        _mm_storeu_si128(d + 1, _mm_xor_si128(_mm_loadu_si128(d + 1), _mm_unpackhi_epi8(rl, rh)));
    }
    return done;
}

// The same per 128-bit lane: pack and unpack keep lanes apart, so words come back in place.
__attribute__((target("avx2"))) size_t MultiplyAddAvx2(uint8_t* dst, const uint8_t* src, uint16_t factor,
                                                      size_t words) {
    uint8_t low[4][16], high[4][16];
    NibbleTables(factor, low, high);
    __m256i tl[4], th[4];
    for (int k = 0; k < 4; ++k) {
        tl[k] = _mm256_broadcastsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(low[k])));
        th[k] = _mm256_broadcastsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(high[k])));
    }
    const __m256i byte = _mm256_set1_epi16(0x00FF), nibble = _mm256_set1_epi8(0x0F);
    size_t done = 0;
    for (; done + 32 <= words; done += 32) {
        __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + 2 * done));
        __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + 2 * done + 32));
        __m256i lo = _mm256_packus_epi16(_mm256_and_si256(a, byte), _mm256_and_si256(b, byte));
        __m256i hi = _mm256_packus_epi16(_mm256_srli_epi16(a, 8), _mm256_srli_epi16(b, 8));
        __m256i n0 = _mm256_and_si256(lo, nibble), n1 = _mm256_and_si256(_mm256_srli_epi16(lo, 4), nibble);
        __m256i n2 = _mm256_and_si256(hi, nibble), n3 = _mm256_and_si256(_mm256_srli_epi16(hi, 4), nibble);
        __m256i rl = _mm256_xor_si256(
            _mm256_xor_si256(_mm256_shuffle_epi8(tl[0], n0), _mm256_shuffle_epi8(tl[1], n1)),
            _mm256_xor_si256(_mm256_shuffle_epi8(tl[2], n2), _mm256_shuffle_epi8(tl[3], n3)));
        __m256i rh = _mm256_xor_si256(
            _mm256_xor_si256(_mm256_shuffle_epi8(th[0], n0), _mm256_shuffle_epi8(th[1], n1)),
            _mm256_xor_si256(_mm256_shuffle_epi8(th[2], n2), _mm256_shuffle_epi8(th[3], n3)));
        __m256i* d = reinterpret_cast<__m256i*>(dst + 2 * done);
        _mm256_storeu_si256(d, _mm256_xor_si256(_mm256_loadu_si256(d), _mm256_unpacklo_epi8(rl, rh)));
        _mm256_storeu_si256(d + 1, _mm256_xor_si256(_mm256_loadu_si256(d + 1), _mm256_unpackhi_epi8(rl, rh)));
    }
    return done;
}

enum class Path { Tables, Ssse3, Avx2 };

Path BestPath() {
    unsigned a = 0, b = 0, c = 0, d = 0;
    if (!__get_cpuid(1, &a, &b, &c, &d) || !(c & (1u << 9))) return Path::Tables;
    // AVX2 also needs the system to save the wide registers (OSXSAVE, and XCR0 bits 1-2).
    bool osAvx = (c & (1u << 27)) && (c & (1u << 28));
    if (osAvx) {
        unsigned lo = 0, hi = 0;
        __asm__("xgetbv" : "=a"(lo), "=d"(hi) : "c"(0));
        osAvx = (lo & 6) == 6;
    }
    if (osAvx && __get_cpuid_count(7, 0, &a, &b, &c, &d) && (b & (1u << 5))) return Path::Avx2;
    return Path::Ssse3;
}

Path& Chosen() {
    static Path path = BestPath();
    return path;
}
#endif

}  // namespace

uint16_t Multiply(uint16_t a, uint16_t b) {
    if (a == 0 || b == 0) return 0;
    const Tables& t = T();
    return t.exp[t.log[a] + t.log[b]];
}

uint16_t Divide(uint16_t a, uint16_t b) {
    if (a == 0 || b == 0) return 0;
    const Tables& t = T();
    return t.exp[t.log[a] + 65535 - t.log[b]];
}

uint16_t Exp(uint32_t n) { return T().exp[n % 65535]; }

uint16_t Power(uint16_t base, uint32_t exponent) {
    if (exponent == 0) return 1;
    if (base == 0) return 0;
    return Exp(static_cast<uint32_t>((static_cast<uint64_t>(T().log[base]) * exponent) % 65535));
}

uint16_t InputConstant(uint32_t index) {
    // Made once (thread-safe static), then asked for per slice and recovery exponent.
    static const std::vector<uint16_t> constants = [] {
        std::vector<uint16_t> c;
        c.reserve(32768);
        for (uint32_t n = 1; c.size() < 32768; ++n)
            if (n % 3 && n % 5 && n % 17 && n % 257) c.push_back(Exp(n));
        return c;
    }();
    return index < constants.size() ? constants[index] : 0;
}

void MultiplyAdd(uint8_t* dst, const uint8_t* src, uint16_t factor, size_t bytes) {
    size_t words = bytes / 2;
    if (factor == 0 || words == 0) return;
    if (factor == 1) {
        for (size_t i = 0; i < words * 2; ++i) dst[i] ^= src[i];
        return;
    }
    size_t done = 0;
#ifdef ZB_GF_VECTOR
    if (words >= 64) {
        if (Chosen() == Path::Avx2) done = MultiplyAddAvx2(dst, src, factor, words);
        else if (Chosen() == Path::Ssse3) done = MultiplyAddSsse3(dst, src, factor, words);
    }
#endif
    if (done < words) MultiplyAddTables(dst + 2 * done, src + 2 * done, factor, words - done);
}

bool SetAccelerated(bool on) {
#ifdef ZB_GF_VECTOR
    Chosen() = on ? BestPath() : Path::Tables;
    return Chosen() != Path::Tables;
#else
    (void)on;
    return false;
#endif
}

}  // namespace gf16
