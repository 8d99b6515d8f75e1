// The picture drawn scaled into a window's surface: a part drawn after a
// change matches a whole redraw exactly, at every size, and sharp scales
// keep pixels whole.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "platform/picture_scaler.h"

namespace zelk {
namespace {

using SurfacePtr = std::unique_ptr<SDL_Surface, decltype(&SDL_FreeSurface)>;

SurfacePtr MakeTarget(int width, int height, Uint32 format = SDL_PIXELFORMAT_RGB888) {
    return SurfacePtr(SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, format),
                      SDL_FreeSurface);
}

// A picture whose every pixel differs from its neighbours.
std::vector<std::uint8_t> Pattern(int width, int height, int seed) {
    std::vector<std::uint8_t> pixels(static_cast<size_t>(width) * height * 3);
    for (size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = static_cast<std::uint8_t>((i * 7919 + seed * 104729) >> 3);
    return pixels;
}

bool SamePixels(const SDL_Surface& a, const SDL_Surface& b) {
    for (int y = 0; y < a.h; ++y) {
        if (std::memcmp(static_cast<const std::uint8_t*>(a.pixels) + y * a.pitch,
                        static_cast<const std::uint8_t*>(b.pixels) + y * b.pitch,
                        static_cast<size_t>(a.w) * 4) != 0) {
            return false;
        }
    }
    return true;
}

TEST(PictureScaler, APartDrawnAfterAChangeMatchesAWholeRedrawAtEverySize) {
    constexpr int kW = 64, kH = 48;
    std::vector<std::uint8_t> pixels = Pattern(kW, kH, 1);
    const PictureSource source{pixels.data(), kW, kH, kW * 3};
    for (const SDL_Rect place : {SDL_Rect{0, 24, 64, 48}, SDL_Rect{10, 5, 128, 96},
                                 SDL_Rect{3, 0, 100, 75}, SDL_Rect{1, 2, 41, 31}}) {
        SCOPED_TRACE(testing::Message() << place.w << "x" << place.h);
        const int width = place.x + place.w + 4, height = place.y + place.h + 3;
        SurfacePtr partial = MakeTarget(width, height);
        SurfacePtr whole = MakeTarget(width, height);
        PictureScaler partialScaler, wholeScaler;
        partialScaler.Draw(source, *partial, place, place);
        // Changes in the middle, at the edges and of one pixel.
        for (const SDL_Rect changed : {SDL_Rect{20, 10, 9, 7}, SDL_Rect{0, 0, 5, 48},
                                       SDL_Rect{63, 47, 1, 1}, SDL_Rect{31, 0, 1, 1}}) {
            const std::vector<std::uint8_t> next = Pattern(kW, kH, changed.x + changed.y + 2);
            for (int y = changed.y; y < changed.y + changed.h; ++y) {
                std::memcpy(&pixels[(static_cast<size_t>(y) * kW + changed.x) * 3],
                            &next[(static_cast<size_t>(y) * kW + changed.x) * 3],
                            static_cast<size_t>(changed.w) * 3);
            }
            partialScaler.Draw(source, *partial, place,
                               PictureScaler::Reach(source, place, changed));
            wholeScaler.Draw(source, *whole, place, place);
            EXPECT_TRUE(SamePixels(*partial, *whole))
                << "change at " << changed.x << "," << changed.y;
        }
    }
}

TEST(PictureScaler, WholeMultiplesKeepEveryPixelSharp) {
    const std::vector<std::uint8_t> pixels = Pattern(4, 3, 5);
    const PictureSource source{pixels.data(), 4, 3, 12};
    SurfacePtr target = MakeTarget(8, 6);
    PictureScaler scaler;
    const SDL_Rect place{0, 0, 8, 6};
    scaler.Draw(source, *target, place, place);
    for (int y = 0; y < 6; ++y) {
        for (int x = 0; x < 8; ++x) {
            const std::uint8_t* bgr = &pixels[(static_cast<size_t>(y / 2) * 4 + x / 2) * 3];
            Uint8 r, g, b;
            SDL_GetRGB(static_cast<const Uint32*>(target->pixels)[y * target->pitch / 4 + x],
                       target->format, &r, &g, &b);
            EXPECT_EQ(r, bgr[2]) << x << "," << y;
            EXPECT_EQ(g, bgr[1]) << x << "," << y;
            EXPECT_EQ(b, bgr[0]) << x << "," << y;
        }
    }
}

TEST(PictureScaler, NothingIsDrawnOutsideThePlaceOrTheClip) {
    const std::vector<std::uint8_t> pixels(4 * 4 * 3, 255);
    const PictureSource source{pixels.data(), 4, 4, 12};
    SurfacePtr target = MakeTarget(10, 10);
    SDL_FillRect(target.get(), nullptr, 0);
    PictureScaler scaler;
    scaler.Draw(source, *target, SDL_Rect{2, 2, 6, 6}, SDL_Rect{0, 0, 5, 10});
    const auto at = [&](int x, int y) {
        return static_cast<const Uint32*>(target->pixels)[y * target->pitch / 4 + x] & 0xFFFFFF;
    };
    EXPECT_EQ(at(1, 4), 0u);
    EXPECT_EQ(at(2, 4), 0xFFFFFFu);
    EXPECT_EQ(at(4, 7), 0xFFFFFFu);
    EXPECT_EQ(at(5, 4), 0u);  // right of the clip
    EXPECT_EQ(at(4, 8), 0u);  // below the place
}

// A surface of another layout takes the same colours.
TEST(PictureScaler, OtherSurfaceFormatsGetTheSameColours) {
    const std::vector<std::uint8_t> pixels = Pattern(8, 8, 3);
    const PictureSource source{pixels.data(), 8, 8, 24};
    SurfacePtr wide = MakeTarget(13, 11);
    SurfacePtr other = SurfacePtr(
        SDL_CreateRGBSurfaceWithFormat(0, 13, 11, 24, SDL_PIXELFORMAT_BGR24), SDL_FreeSurface);
    PictureScaler a, b;
    const SDL_Rect place{0, 0, 13, 11};
    a.Draw(source, *wide, place, place);
    b.Draw(source, *other, place, place);
    for (int y = 0; y < 11; ++y) {
        for (int x = 0; x < 13; ++x) {
            Uint8 r1, g1, b1;
            SDL_GetRGB(static_cast<const Uint32*>(wide->pixels)[y * wide->pitch / 4 + x],
                       wide->format, &r1, &g1, &b1);
            const std::uint8_t* p =
                static_cast<const std::uint8_t*>(other->pixels) + y * other->pitch + x * 3;
            EXPECT_EQ(p[0], b1);
            EXPECT_EQ(p[1], g1);
            EXPECT_EQ(p[2], r1);
        }
    }
}

}  // namespace
}  // namespace zelk
