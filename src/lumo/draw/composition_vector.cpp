// The per-pixel blend with vector instructions. Each block of pixels computes
// the same integer formula as the scalar reference: c + trunc((s - c) × e / 256)
// is c ± (|s - c| × e) >> 8, and (|s - c| × e) >> 8 is the high half of
// (|s - c| << 8) × e, which fits unsigned 16-bit lanes.
#include <algorithm>
#include <array>
#include <cstring>

#include "composition.h"
#include "pixel_functions.h"
#include "vector_kernels.h"

namespace lumo {

#if LUMO_X86
namespace vector {
namespace {

// Shuffle indices that spread one alpha byte a pixel over the three channel bytes
// of that pixel. Vector k of a block holds bytes 16k .. 16k + 15 of the colour
// row; `half` 0 or 1 picks its bytes 0-7 or 8-15 as 16-bit lanes (high byte
// zero), `base` is the first pixel of the alpha vector being shuffled.
constexpr std::array<char, 16> wideSpread(int k, int half, int base) {
    std::array<char, 16> index{};
    for (int lane = 0; lane < 8; ++lane) {
        index[2 * lane] = static_cast<char>((16 * k + 8 * half + lane) / 3 - base);
        index[2 * lane + 1] = static_cast<char>(0x80);
    }
    return index;
}

constexpr std::array<char, 16> byteSpread(int k, int base) {
    std::array<char, 16> index{};
    for (int j = 0; j < 16; ++j)
        index[j] = static_cast<char>((16 * k + j) / 3 - base);
    return index;
}

__m128i load(const std::array<char, 16>& index) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(index.data()));
}

__m128i loadBytes(const std::uint8_t* p) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

void storeBytes(std::uint8_t* p, __m128i v) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v);
}

// c + trunc((s - c) × w / 256) for 16 bytes, the weights of bytes 0-7 in the
// 16-bit lanes of wLow and of bytes 8-15 in wHigh (each 0..256).
inline __m128i lerp(__m128i c, __m128i s, __m128i wLow, __m128i wHigh) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i up = _mm_subs_epu8(s, c);
    const __m128i down = _mm_subs_epu8(c, s);
    const __m128i distance = _mm_or_si128(up, down);
    const __m128i low = _mm_mulhi_epu16(_mm_unpacklo_epi8(zero, distance), wLow);
    const __m128i high = _mm_mulhi_epu16(_mm_unpackhi_epi8(zero, distance), wHigh);
    const __m128i step = _mm_packus_epi16(low, high);
    const __m128i falling = _mm_cmpeq_epi8(up, zero);
    return _mm_sub_epi8(_mm_add_epi8(c, _mm_andnot_si128(falling, step)),
                        _mm_and_si128(falling, step));
}

// The effective alphas (a × o) >> 8 of 16 pixels.
inline __m128i effectiveAlpha(__m128i alpha, __m128i opacity) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i low = _mm_srli_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(alpha, zero), opacity), 8);
    const __m128i high =
        _mm_srli_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(alpha, zero), opacity), 8);
    return _mm_packus_epi16(low, high);
}

struct Spreads {
    __m128i wide[3][2];
    __m128i bytes[3];
    Spreads() {
        for (int k = 0; k < 3; ++k) {
            wide[k][0] = load(wideSpread(k, 0, 0));
            wide[k][1] = load(wideSpread(k, 1, 0));
            bytes[k] = load(byteSpread(k, 0));
        }
    }
};

// The pixels of a row end that do not fill a block, by the reference formulas.
void plainTail(std::uint8_t* c, const std::uint8_t* s, const std::uint8_t* a, int count,
               int opacity) {
    for (int x = 0; x < count; ++x) {
        const int e = (a[x] * opacity) >> 8;
        if (e != 0) pixel::plain(c + 3 * x, s + 3 * x, e);
    }
}

void keepAlphaTail(std::uint8_t* c, const std::uint8_t* s, const std::uint8_t* a, std::uint8_t* d,
                   int count, int opacity) {
    for (int x = 0; x < count; ++x) {
        const int e = (a[x] * opacity) >> 8;
        if (e != 0) pixel::keepAlpha(c + 3 * x, s + 3 * x, d + x, e);
    }
}

// One row of the plain blend, 16 pixels a block.
void plainRowSse(std::uint8_t* c, const std::uint8_t* s, const std::uint8_t* a, int width,
                 int opacity, const Spreads& spreads) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i full = _mm_set1_epi8(-1);
    const __m128i opacityLanes = _mm_set1_epi16(static_cast<short>(opacity));
    const int blocks = width / 16;
    for (int b = 0; b < blocks; ++b, c += 48, s += 48, a += 16) {
        const __m128i e = effectiveAlpha(loadBytes(a), opacityLanes);
        const __m128i opaque = _mm_cmpeq_epi8(e, full);
        if (_mm_movemask_epi8(_mm_cmpeq_epi8(e, zero)) == 0xFFFF) continue;
        if (_mm_movemask_epi8(opaque) == 0xFFFF) {
            std::memcpy(c, s, 48);
            continue;
        }
        for (int k = 0; k < 3; ++k) {
            const __m128i source = loadBytes(s + 16 * k);
            const __m128i mixed =
                lerp(loadBytes(c + 16 * k), source, _mm_shuffle_epi8(e, spreads.wide[k][0]),
                     _mm_shuffle_epi8(e, spreads.wide[k][1]));
            // An opaque pixel is copied, not weighted by 255/256.
            const __m128i copy = _mm_shuffle_epi8(opaque, spreads.bytes[k]);
            storeBytes(c + 16 * k, _mm_blendv_epi8(mixed, source, copy));
        }
    }
    plainTail(c, s, a, width - 16 * blocks, opacity);
}

}  // namespace

void blendPlainSse(const Piece& piece, int opacity) {
    const Spreads spreads;
    for (int y = 0; y < piece.height; ++y) {
        plainRowSse(piece.destinationImage.row(y), piece.sourceImage.row(y),
                    piece.sourceAlpha.row(y), piece.width, opacity, spreads);
    }
}

void blendKeepAlphaSse(const Piece& piece, int opacity) {
    const Spreads spreads;
    const __m128i zero = _mm_setzero_si128();
    const __m128i opacityLanes = _mm_set1_epi16(static_cast<short>(opacity));
    const __m128i ones = _mm_set1_epi8(-1);
    const int blocks = piece.width / 16;
    for (int y = 0; y < piece.height; ++y) {
        std::uint8_t* c = piece.destinationImage.row(y);
        const std::uint8_t* s = piece.sourceImage.row(y);
        const std::uint8_t* a = piece.sourceAlpha.row(y);
        std::uint8_t* d = piece.destinationAlpha.row(y);
        for (int b = 0; b < blocks; ++b, c += 48, s += 48, a += 16, d += 16) {
            const __m128i e = effectiveAlpha(loadBytes(a), opacityLanes);
            const __m128i skipped = _mm_cmpeq_epi8(e, zero);
            if (_mm_movemask_epi8(skipped) == 0xFFFF) continue;
            const __m128i alpha = loadBytes(d);
            // Where the parent is still clear the child's pixel is taken as it is.
            const __m128i taken = _mm_andnot_si128(skipped, _mm_cmpeq_epi8(alpha, zero));
            for (int k = 0; k < 3; ++k) {
                const __m128i source = loadBytes(s + 16 * k);
                const __m128i mixed =
                    lerp(loadBytes(c + 16 * k), source, _mm_shuffle_epi8(e, spreads.wide[k][0]),
                         _mm_shuffle_epi8(e, spreads.wide[k][1]));
                const __m128i copy = _mm_shuffle_epi8(taken, spreads.bytes[k]);
                storeBytes(c + 16 * k, _mm_blendv_epi8(mixed, source, copy));
            }
            // d - ((e × (d - 255) + 255) >> 8) is d + (e × (255 - d)) >> 8.
            const __m128i room = _mm_xor_si128(alpha, ones);
            const __m128i low =
                _mm_mulhi_epu16(_mm_unpacklo_epi8(zero, room), _mm_unpacklo_epi8(e, zero));
            const __m128i high =
                _mm_mulhi_epu16(_mm_unpackhi_epi8(zero, room), _mm_unpackhi_epi8(e, zero));
            const __m128i grown = _mm_add_epi8(alpha, _mm_packus_epi16(low, high));
            storeBytes(d, _mm_blendv_epi8(grown, e, taken));
        }
        keepAlphaTail(c, s, a, d, piece.width - 16 * blocks, opacity);
    }
}

namespace {

__attribute__((target("avx2"))) inline __m256i lerp256(__m256i c, __m256i s, __m256i wLow,
                                                       __m256i wHigh) {
    const __m256i zero = _mm256_setzero_si256();
    const __m256i up = _mm256_subs_epu8(s, c);
    const __m256i down = _mm256_subs_epu8(c, s);
    const __m256i distance = _mm256_or_si256(up, down);
    const __m256i low = _mm256_mulhi_epu16(_mm256_unpacklo_epi8(zero, distance), wLow);
    const __m256i high = _mm256_mulhi_epu16(_mm256_unpackhi_epi8(zero, distance), wHigh);
    const __m256i step = _mm256_packus_epi16(low, high);
    const __m256i falling = _mm256_cmpeq_epi8(up, zero);
    return _mm256_sub_epi8(_mm256_add_epi8(c, _mm256_andnot_si256(falling, step)),
                           _mm256_and_si256(falling, step));
}

// A 256-bit shuffle index: its low lane spreads from alpha pixels starting at
// lowBase, its high lane from pixels starting at highBase. Vector k covers the
// colour bytes 32k .. 32k + 31 of a 32-pixel block.
struct Spread256 {
    std::array<char, 32> index;
};

constexpr Spread256 wideSpread256(int k, int half, int lowBase, int highBase) {
    Spread256 s{};
    for (int lane = 0; lane < 2; ++lane) {
        const int base = lane == 0 ? lowBase : highBase;
        for (int j = 0; j < 8; ++j) {
            const int byte = 32 * k + 16 * lane + 8 * half + j;
            s.index[16 * lane + 2 * j] = static_cast<char>(byte / 3 - base);
            s.index[16 * lane + 2 * j + 1] = static_cast<char>(0x80);
        }
    }
    return s;
}

constexpr Spread256 byteSpread256(int k, int lowBase, int highBase) {
    Spread256 s{};
    for (int lane = 0; lane < 2; ++lane) {
        const int base = lane == 0 ? lowBase : highBase;
        for (int j = 0; j < 16; ++j) {
            s.index[16 * lane + j] = static_cast<char>((32 * k + 16 * lane + j) / 3 - base);
        }
    }
    return s;
}

// Shuffles stay inside 128-bit lanes, so each colour vector shuffles from an
// alpha vector whose lanes hold the pixels it needs: pixels 0-15 in both lanes
// for the first, 0-15 and 16-31 for the second, 16-31 in both for the third.
constexpr int kLowBase[3] = {0, 0, 16};
constexpr int kHighBase[3] = {0, 16, 16};

}  // namespace

__attribute__((target("avx2"))) void blendPlainAvx2(const Piece& piece, int opacity) {
    const Spreads spreads;  // for the row ends
    __m256i wide[3][2];
    __m256i bytes[3];
    for (int k = 0; k < 3; ++k) {
        for (int half = 0; half < 2; ++half) {
            const Spread256 s = wideSpread256(k, half, kLowBase[k], kHighBase[k]);
            wide[k][half] = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s.index.data()));
        }
        const Spread256 s = byteSpread256(k, kLowBase[k], kHighBase[k]);
        bytes[k] = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s.index.data()));
    }
    const __m256i zero = _mm256_setzero_si256();
    const __m256i full = _mm256_set1_epi8(-1);
    const __m256i opacityLanes = _mm256_set1_epi16(static_cast<short>(opacity));
    const int blocks = piece.width / 32;
    for (int y = 0; y < piece.height; ++y) {
        std::uint8_t* c = piece.destinationImage.row(y);
        const std::uint8_t* s = piece.sourceImage.row(y);
        const std::uint8_t* a = piece.sourceAlpha.row(y);
        for (int b = 0; b < blocks; ++b, c += 96, s += 96, a += 32) {
            const __m256i alpha = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(a));
            const __m256i low = _mm256_srli_epi16(
                _mm256_mullo_epi16(_mm256_unpacklo_epi8(alpha, zero), opacityLanes), 8);
            const __m256i high = _mm256_srli_epi16(
                _mm256_mullo_epi16(_mm256_unpackhi_epi8(alpha, zero), opacityLanes), 8);
            const __m256i e = _mm256_packus_epi16(low, high);  // lanes keep pixel order
            if (static_cast<unsigned>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(e, zero))) ==
                0xFFFFFFFFu) {
                continue;
            }
            const __m256i opaque = _mm256_cmpeq_epi8(e, full);
            if (static_cast<unsigned>(_mm256_movemask_epi8(opaque)) == 0xFFFFFFFFu) {
                std::memcpy(c, s, 96);
                continue;
            }
            const __m256i eOf[3] = {_mm256_permute2x128_si256(e, e, 0x00), e,
                                    _mm256_permute2x128_si256(e, e, 0x11)};
            const __m256i opaqueOf[3] = {_mm256_permute2x128_si256(opaque, opaque, 0x00), opaque,
                                         _mm256_permute2x128_si256(opaque, opaque, 0x11)};
            for (int k = 0; k < 3; ++k) {
                auto* cv = reinterpret_cast<__m256i*>(c + 32 * k);
                const __m256i source =
                    _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + 32 * k));
                const __m256i mixed =
                    lerp256(_mm256_loadu_si256(cv), source, _mm256_shuffle_epi8(eOf[k], wide[k][0]),
                            _mm256_shuffle_epi8(eOf[k], wide[k][1]));
                const __m256i copy = _mm256_shuffle_epi8(opaqueOf[k], bytes[k]);
                _mm256_storeu_si256(cv, _mm256_blendv_epi8(mixed, source, copy));
            }
        }
        plainRowSse(c, s, a, piece.width - 32 * blocks, opacity, spreads);
    }
}

bool hasAvx2() {
    static const bool available = __builtin_cpu_supports("avx2");
    return available;
}

}  // namespace vector

void blendPiece(const Piece& piece, int opacity, const Tone& tone, std::uint32_t parentType) {
    if (piece.empty()) return;
    opacity = std::clamp(opacity, 0, 256);
    if (opacity == 0) return;
    // A child without alpha map (a plain picture), a toning parent and slivers
    // narrower than a block go pixel by pixel; the host composes those rarely.
    if (piece.sourceAlpha.bits == nullptr || piece.width < 16) {
        blendScalar(piece, opacity, tone, parentType);
    } else if ((parentType & LUMO_FILM_KEEPS_ALPHA) != 0 &&
               piece.destinationAlpha.bits != nullptr) {
        vector::blendKeepAlphaSse(piece, opacity);
    } else if ((parentType & LUMO_FILM_TONED) != 0) {
        blendScalar(piece, opacity, tone, parentType);
    } else if (vector::hasAvx2()) {
        vector::blendPlainAvx2(piece, opacity);
    } else {
        vector::blendPlainSse(piece, opacity);
    }
}

#else

void blendPiece(const Piece& piece, int opacity, const Tone& tone, std::uint32_t parentType) {
    blendScalar(piece, opacity, tone, parentType);
}

#endif

}  // namespace lumo
