// The cross-fade with vector instructions: out = new + trunc(p × (old - new) / 256)
// is new ± (|old - new| × p) >> 8, the high half of (|old - new| << 8) × p in
// unsigned 16-bit lanes (p ≤ 256 keeps it in range).
#include <algorithm>
#include <cstddef>

#include "byte_runs.h"
#include "pixel_functions.h"
#include "transitions.h"
#include "vector_kernels.h"

namespace lumo {

#if LUMO_X86
namespace vector {
namespace {

void fadeRunSse(std::uint8_t* o, const std::uint8_t* before, const std::uint8_t* after,
                std::ptrdiff_t n, int p) {
    const __m128i weight = _mm_set1_epi16(static_cast<short>(p));
    const __m128i zero = _mm_setzero_si128();
    std::ptrdiff_t i = 0;
    for (; i + 16 <= n; i += 16) {
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(before + i));
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(after + i));
        const __m128i up = _mm_subs_epu8(b, a);
        const __m128i distance = _mm_or_si128(up, _mm_subs_epu8(a, b));
        const __m128i step =
            _mm_packus_epi16(_mm_mulhi_epu16(_mm_unpacklo_epi8(zero, distance), weight),
                             _mm_mulhi_epu16(_mm_unpackhi_epi8(zero, distance), weight));
        const __m128i falling = _mm_cmpeq_epi8(up, zero);
        const __m128i mixed = _mm_sub_epi8(_mm_add_epi8(a, _mm_andnot_si128(falling, step)),
                                           _mm_and_si128(falling, step));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(o + i), mixed);
    }
    pixel::fade(o + i, before + i, after + i, n - i, p);
}

__attribute__((target("avx2"))) void fadeRunAvx2(std::uint8_t* o, const std::uint8_t* before,
                                                 const std::uint8_t* after, std::ptrdiff_t n,
                                                 int p) {
    const __m256i weight = _mm256_set1_epi16(static_cast<short>(p));
    const __m256i zero = _mm256_setzero_si256();
    std::ptrdiff_t i = 0;
    for (; i + 32 <= n; i += 32) {
        const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(before + i));
        const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(after + i));
        const __m256i up = _mm256_subs_epu8(b, a);
        const __m256i distance = _mm256_or_si256(up, _mm256_subs_epu8(a, b));
        const __m256i step =
            _mm256_packus_epi16(_mm256_mulhi_epu16(_mm256_unpacklo_epi8(zero, distance), weight),
                                _mm256_mulhi_epu16(_mm256_unpackhi_epi8(zero, distance), weight));
        const __m256i falling = _mm256_cmpeq_epi8(up, zero);
        const __m256i mixed =
            _mm256_sub_epi8(_mm256_add_epi8(a, _mm256_andnot_si256(falling, step)),
                            _mm256_and_si256(falling, step));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(o + i), mixed);
    }
    fadeRunSse(o + i, before + i, after + i, n - i, p);
}

}  // namespace

void fadeSse(const PixelBuffer& out, const PixelBuffer& oldImage, const PixelBuffer& newImage,
             int p) {
    forEachRun(out, oldImage, newImage, [p](auto... run) { fadeRunSse(run..., p); });
}

void fadeAvx2(const PixelBuffer& out, const PixelBuffer& oldImage, const PixelBuffer& newImage,
              int p) {
    forEachRun(out, oldImage, newImage, [p](auto... run) { fadeRunAvx2(run..., p); });
}

// ((up + down + left + right) × 115 + centre × 51) / 512 needs 17 bits: the sum
// of the four and the centre are paired in 16-bit lanes and multiplied by
// (115, 51) into 32-bit sums.
void smoothRowSse(std::uint8_t* out, const std::uint8_t* up, const std::uint8_t* centre,
                  const std::uint8_t* down, int count, int step) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i factors = _mm_set1_epi32(51 << 16 | 115);
    const auto load = [](const std::uint8_t* p) {
        return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    };
    const auto weigh = [&](__m128i around, __m128i middle) {
        const __m128i low =
            _mm_srli_epi32(_mm_madd_epi16(_mm_unpacklo_epi16(around, middle), factors), 9);
        const __m128i high =
            _mm_srli_epi32(_mm_madd_epi16(_mm_unpackhi_epi16(around, middle), factors), 9);
        return _mm_packs_epi32(low, high);
    };
    int i = 0;
    for (; i + 16 <= count; i += 16) {
        const __m128i u = load(up + i), d = load(down + i), c = load(centre + i);
        const __m128i l = load(centre + i - step), r = load(centre + i + step);
        const __m128i aroundLow =
            _mm_add_epi16(_mm_add_epi16(_mm_unpacklo_epi8(u, zero), _mm_unpacklo_epi8(d, zero)),
                          _mm_add_epi16(_mm_unpacklo_epi8(l, zero), _mm_unpacklo_epi8(r, zero)));
        const __m128i aroundHigh =
            _mm_add_epi16(_mm_add_epi16(_mm_unpackhi_epi8(u, zero), _mm_unpackhi_epi8(d, zero)),
                          _mm_add_epi16(_mm_unpackhi_epi8(l, zero), _mm_unpackhi_epi8(r, zero)));
        const __m128i low = weigh(aroundLow, _mm_unpacklo_epi8(c, zero));
        const __m128i high = weigh(aroundHigh, _mm_unpackhi_epi8(c, zero));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm_packus_epi16(low, high));
    }
    pixel::smooth(out + i, up + i, centre + i, down + i, count - i, step);
}

}  // namespace vector

void fadeVector(const PixelBuffer& out, const PixelBuffer& oldImage, const PixelBuffer& newImage,
                int p) {
    p = std::clamp(p, 0, 256);
    if (vector::hasAvx2()) {
        vector::fadeAvx2(out, oldImage, newImage, p);
    } else {
        vector::fadeSse(out, oldImage, newImage, p);
    }
}

#else

void fadeVector(const PixelBuffer& out, const PixelBuffer& oldImage, const PixelBuffer& newImage,
                int p) {
    p = std::clamp(p, 0, 256);
    forEachRun(out, oldImage, newImage, [p](auto... run) { pixel::fade(run..., p); });
}

#endif

}  // namespace lumo
