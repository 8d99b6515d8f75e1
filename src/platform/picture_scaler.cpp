#include "platform/picture_scaler.h"

#include <algorithm>
#include <cmath>

namespace zelk {

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
        mSourceW = source.width, mSourceH = source.height;
        mPlaceW = place.w, mPlaceH = place.h;
    }
    const SDL_PixelFormat& format = *target.format;
    const bool fast = format.BytesPerPixel == 4;
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
                    static_cast<std::uint8_t>((upper * 256 + (lower - upper) * fy + 32768) >> 16);
            }
            if (fast) {
                const Uint32 pixel = (Uint32{bgr[2]} << format.Rshift) |
                                     (Uint32{bgr[1]} << format.Gshift) |
                                     (Uint32{bgr[0]} << format.Bshift) | format.Amask;
                reinterpret_cast<Uint32*>(row)[x] = pixel;
            } else {
                const Uint32 pixel = SDL_MapRGB(&format, bgr[2], bgr[1], bgr[0]);
                std::uint8_t* at = row + static_cast<size_t>(x) * format.BytesPerPixel;
                SDL_memcpy(at, &pixel, format.BytesPerPixel);
            }
        }
    }
}

}  // namespace zelk
