#include "platform/picture_scaler.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace zelk {

namespace {

// Blends two rows scaled across into the target's bytes: each lane
// (a * (256 - w) + b * w) / 65536, rounded, in 16-bit arithmetic (the high
// halves of the products) so that a vector holds as many lanes as it can.
// The two truncated products are at most 2/256 of a step below the exact
// sum: the result is the exact bilinear value or, rarely, one step off.
inline std::uint8_t BlendValue(std::uint32_t a, std::uint32_t b, std::uint32_t w) {
    if (w == 0) return static_cast<std::uint8_t>((a + 128u) >> 8);
    const std::uint32_t upper = (a * ((256 - w) << 8)) >> 16;
    const std::uint32_t lower = (b * (w << 8)) >> 16;
    return static_cast<std::uint8_t>((upper + lower + 128u) >> 8);
}

inline __attribute__((always_inline)) void BlendLanes(const std::uint16_t* a,
                                                      const std::uint16_t* b, std::uint8_t* out,
                                                      std::size_t count, std::uint32_t w) {
    if (w == 0) {
        for (std::size_t i = 0; i < count; ++i)
            out[i] = static_cast<std::uint8_t>((a[i] + 128u) >> 8);
        return;
    }
    const std::uint16_t keep = static_cast<std::uint16_t>((256 - w) << 8);
    const std::uint16_t take = static_cast<std::uint16_t>(w << 8);
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint16_t upper = static_cast<std::uint16_t>((std::uint32_t{a[i]} * keep) >> 16);
        const std::uint16_t lower = static_cast<std::uint16_t>((std::uint32_t{b[i]} * take) >> 16);
        out[i] = static_cast<std::uint8_t>((upper + lower + 128u) >> 8);
    }
}

void BlendPlain(const std::uint16_t* a, const std::uint16_t* b, std::uint8_t* out,
                std::size_t count, std::uint32_t w) {
    BlendLanes(a, b, out, count, w);
}

__attribute__((target("avx2"))) void BlendAvx2(const std::uint16_t* a, const std::uint16_t* b,
                                               std::uint8_t* out, std::size_t count,
                                               std::uint32_t w) {
    BlendLanes(a, b, out, count, w);
}

void Blend(const std::uint16_t* a, const std::uint16_t* b, std::uint8_t* out, std::size_t count,
           std::uint32_t w) {
    static const bool avx2 = __builtin_cpu_supports("avx2");
    if (avx2) {
        BlendAvx2(a, b, out, count, w);
    } else {
        BlendPlain(a, b, out, count, w);
    }
}

}  // namespace

void PictureScaler::Build(Axis& axis, int source, int output, bool sharp) {
    axis.first.resize(static_cast<size_t>(output));
    axis.second.resize(static_cast<size_t>(output));
    axis.weight.resize(static_cast<size_t>(output));
    for (int o = 0; o < output; ++o) {
        int first = 0, weight = 0;
        if (sharp) {
            first = static_cast<int>(static_cast<long long>(o) * source / output);
        } else {
            // The output pixel's centre, in source pixels.
            const double at = (o + 0.5) * source / output - 0.5;
            const double floor = std::floor(at);
            first = static_cast<int>(floor);
            weight = static_cast<int>(std::lround((at - floor) * 256));
            if (first < 0) first = 0, weight = 0;
        }
        first = std::min(first, source - 1);
        axis.first[static_cast<size_t>(o)] = first;
        axis.second[static_cast<size_t>(o)] = std::min(first + 1, source - 1);
        axis.weight[static_cast<size_t>(o)] = weight;
    }
}

void PictureScaler::BuildPairs(const Axis& axis, int sourceWidth, Pairs& pairs) {
    const size_t count = axis.first.size();
    pairs.offset.resize(count);
    pairs.weights.assign(count * 8, 0);
    pairs.safeEnd = static_cast<int>(count);
    bool safe = true;
    for (size_t o = 0; o < count; ++o) {
        int first = axis.first[o];
        int left = 256 - axis.weight[o], right = axis.weight[o];
        // At the right edge the pair is the last pixel twice: read it as
        // the right of the pair before it, so that the pair stays two
        // pixels wide in the row.
        if (axis.second[o] == first && first > 0) {
            first -= 1;
            left = 0;
            right = 256;
        }
        pairs.offset[o] = first * 3;
        for (int c = 0; c < 3; ++c) {
            pairs.weights[o * 8 + c] = static_cast<std::uint16_t>(left);
            pairs.weights[o * 8 + 3 + c] = static_cast<std::uint16_t>(right);
        }
        if (safe && (sourceWidth < 2 || first * 3 + 8 > sourceWidth * 3)) {
            safe = false;
            pairs.safeEnd = static_cast<int>(o);
        }
    }
}

SDL_Rect PictureScaler::Reach(const PictureSource& source, const SDL_Rect& place,
                              const SDL_Rect& changed) {
    if (source.width <= 0 || source.height <= 0) return SDL_Rect{0, 0, 0, 0};
    // A smooth output pixel reads two source pixels: one more on each side
    // reaches it.
    auto span = [](int from, int to, int size, int out, int& begin, int& end) {
        begin = static_cast<int>(static_cast<long long>(from - 1) * out / size) - 1;
        end = static_cast<int>((static_cast<long long>(to + 1) * out + size - 1) / size) + 1;
        begin = std::clamp(begin, 0, out);
        end = std::clamp(end, 0, out);
    };
    int x0, x1, y0, y1;
    span(changed.x, changed.x + changed.w, source.width, place.w, x0, x1);
    span(changed.y, changed.y + changed.h, source.height, place.h, y0, y1);
    return SDL_Rect{place.x + x0, place.y + y0, x1 - x0, y1 - y0};
}

bool PictureScaler::FourByteLanes(const SDL_PixelFormat& format, Lanes& lanes) {
    if (SDL_BYTEORDER != SDL_LIL_ENDIAN || format.BytesPerPixel != 4) return false;
    if (format.Rloss || format.Gloss || format.Bloss) return false;
    if (format.Rshift % 8 || format.Gshift % 8 || format.Bshift % 8) return false;
    lanes.red = format.Rshift / 8;
    lanes.green = format.Gshift / 8;
    lanes.blue = format.Bshift / 8;
    if (lanes.red == lanes.green || lanes.red == lanes.blue || lanes.green == lanes.blue)
        return false;
    lanes.other = 6 - lanes.red - lanes.green - lanes.blue;
    lanes.otherValue =
        static_cast<std::uint16_t>(((format.Amask >> (lanes.other * 8)) & 0xFF) << 8);
    return true;
}

void PictureScaler::Draw(const PictureSource& source, SDL_Surface& target, const SDL_Rect& place,
                         const SDL_Rect& clip) {
    if (!source.pixels || source.width <= 0 || source.height <= 0 || place.w <= 0 || place.h <= 0) {
        return;
    }
    SDL_Rect area{};
    const SDL_Rect bounds{0, 0, target.w, target.h};
    if (!SDL_IntersectRect(&clip, &place, &area) || !SDL_IntersectRect(&area, &bounds, &area)) {
        return;
    }
    if (mSourceW != source.width || mSourceH != source.height || mPlaceW != place.w ||
        mPlaceH != place.h) {
        const bool sharp = place.w % source.width == 0 && place.h % source.height == 0;
        Build(mX, source.width, place.w, sharp);
        Build(mY, source.height, place.h, sharp);
        BuildPairs(mX, source.width, mPairs);
        mSourceW = source.width, mSourceH = source.height;
        mPlaceW = place.w, mPlaceH = place.h;
    }
    Lanes lanes;
    if (FourByteLanes(*target.format, lanes)) {
        DrawFourBytes(source, target, place, area, lanes);
    } else {
        DrawAnyFormat(source, target, place, area);
    }
}

void PictureScaler::ScaleRow(const std::uint8_t* row, int begin, int end, const Lanes& lanes,
                             std::uint16_t* out) const {
#if defined(__SSE2__)
    // Blue, green, red, other: the window systems' usual layout.
    if (lanes.blue == 0 && lanes.green == 1 && lanes.red == 2) {
        const __m128i zero = _mm_setzero_si128();
        const int vectorEnd = std::min(end, mPairs.safeEnd);
        for (; begin < vectorEnd; ++begin, out += 4) {
            const __m128i pair = _mm_unpacklo_epi8(
                _mm_loadl_epi64(reinterpret_cast<const __m128i*>(row + mPairs.offset[begin])),
                zero);
            const __m128i weighed = _mm_mullo_epi16(
                pair,
                _mm_loadu_si128(reinterpret_cast<const __m128i*>(&mPairs.weights[begin * 8])));
            __m128i sum = _mm_add_epi16(weighed, _mm_srli_si128(weighed, 6));
            sum = _mm_insert_epi16(sum, lanes.otherValue, 3);
            _mm_storel_epi64(reinterpret_cast<__m128i*>(out), sum);
        }
    }
#endif
    const int* first = mX.first.data();
    const int* second = mX.second.data();
    const int* weight = mX.weight.data();
    for (int o = begin; o < end; ++o, out += 4) {
        const std::uint8_t* a = row + first[o] * 3;
        const std::uint8_t* b = row + second[o] * 3;
        const int fx = weight[o];
        out[lanes.blue] = static_cast<std::uint16_t>(a[0] * 256 + (b[0] - a[0]) * fx);
        out[lanes.green] = static_cast<std::uint16_t>(a[1] * 256 + (b[1] - a[1]) * fx);
        out[lanes.red] = static_cast<std::uint16_t>(a[2] * 256 + (b[2] - a[2]) * fx);
        out[lanes.other] = lanes.otherValue;
    }
}

void PictureScaler::DrawFourBytes(const PictureSource& source, SDL_Surface& target,
                                  const SDL_Rect& place, const SDL_Rect& area, const Lanes& lanes) {
    const int begin = area.x - place.x, end = begin + area.w;
    const std::size_t count = static_cast<std::size_t>(area.w) * 4;
    for (std::vector<std::uint16_t>& row : mRows)
        if (row.size() < count) row.resize(count);
    int held[2] = {-1, -1};
    // The source row `index` scaled across, without giving up the slot of
    // `keep` (the other row of the pair).
    auto scaled = [&](int index, int keep) -> const std::uint16_t* {
        for (int slot = 0; slot < 2; ++slot)
            if (held[slot] == index) return mRows[slot].data();
        const int slot = held[0] == keep ? 1 : 0;
        ScaleRow(source.pixels + static_cast<std::size_t>(index) * source.stride, begin, end, lanes,
                 mRows[slot].data());
        held[slot] = index;
        return mRows[slot].data();
    };
    const std::uint8_t* previous = nullptr;
    int previousFirst = -1, previousSecond = -1, previousWeight = -1;
    for (int y = area.y; y < area.y + area.h; ++y) {
        const size_t oy = static_cast<size_t>(y - place.y);
        const int first = mY.first[oy];
        const int weight = mY.weight[oy];
        const int second = weight == 0 ? first : mY.second[oy];
        std::uint8_t* out = static_cast<std::uint8_t*>(target.pixels) +
                            static_cast<std::size_t>(y) * target.pitch +
                            static_cast<std::size_t>(area.x) * 4;
        if (previous && first == previousFirst && second == previousSecond &&
            weight == previousWeight) {
            std::memcpy(out, previous, count);
            continue;
        }
        const std::uint16_t* upper = scaled(first, second);
        const std::uint16_t* lower = second == first ? upper : scaled(second, first);
        Blend(upper, lower, out, count, static_cast<std::uint32_t>(weight));
        previous = out;
        previousFirst = first, previousSecond = second, previousWeight = weight;
    }
}

void PictureScaler::DrawAnyFormat(const PictureSource& source, SDL_Surface& target,
                                  const SDL_Rect& place, const SDL_Rect& area) {
    const SDL_PixelFormat& format = *target.format;
    for (int y = area.y; y < area.y + area.h; ++y) {
        const size_t oy = static_cast<size_t>(y - place.y);
        const std::uint8_t* top = source.pixels + static_cast<size_t>(mY.first[oy]) * source.stride;
        const std::uint8_t* bottom =
            source.pixels + static_cast<size_t>(mY.second[oy]) * source.stride;
        const int fy = mY.weight[oy];
        auto* row =
            static_cast<std::uint8_t*>(target.pixels) + static_cast<size_t>(y) * target.pitch;
        for (int x = area.x; x < area.x + area.w; ++x) {
            const size_t ox = static_cast<size_t>(x - place.x);
            const int a = mX.first[ox] * 3, b = mX.second[ox] * 3, fx = mX.weight[ox];
            std::uint8_t bgr[3];
            for (int c = 0; c < 3; ++c) {
                const int upper = top[a + c] * 256 + (top[b + c] - top[a + c]) * fx;
                const int lower = bottom[a + c] * 256 + (bottom[b + c] - bottom[a + c]) * fx;
                bgr[c] =
                    BlendValue(static_cast<std::uint32_t>(upper), static_cast<std::uint32_t>(lower),
                               static_cast<std::uint32_t>(fy));
            }
            const Uint32 pixel = SDL_MapRGB(&format, bgr[2], bgr[1], bgr[0]);
            std::uint8_t* at = row + static_cast<size_t>(x) * format.BytesPerPixel;
            SDL_memcpy(at, &pixel, format.BytesPerPixel);
        }
    }
}

}  // namespace zelk
