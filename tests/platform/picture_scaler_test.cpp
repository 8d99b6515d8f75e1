// The picture drawn scaled into a window's surface: a part drawn after a
// change matches a whole redraw exactly, at every size, and sharp scales
// keep pixels whole.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
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

// The smooth scale as plain arithmetic: each output pixel's centre mapped
// into the source, the four pixels around it weighed by distance.
std::uint8_t Bilinear(const std::vector<std::uint8_t>& pixels, int width, int height, int ox,
                      int oy, int outW, int outH, int channel) {
    auto clampTo = [](double v, int size) { return std::clamp(v, 0.0, double(size - 1)); };
    const double x = clampTo((ox + 0.5) * width / outW - 0.5, width);
    const double y = clampTo((oy + 0.5) * height / outH - 0.5, height);
    const int x0 = int(x), y0 = int(y);
    const int x1 = std::min(x0 + 1, width - 1), y1 = std::min(y0 + 1, height - 1);
    auto at = [&](int px, int py) {
        return double(pixels[(static_cast<size_t>(py) * width + px) * 3 + channel]);
    };
    const double fx = x - x0, fy = y - y0;
    const double top = at(x0, y0) * (1 - fx) + at(x1, y0) * fx;
    const double bottom = at(x0, y1) * (1 - fx) + at(x1, y1) * fx;
    return static_cast<std::uint8_t>(std::lround(top * (1 - fy) + bottom * fy));
}

// Full screen draws only the part of the window a change reaches; the
// rectangles meet with no seam only if each equals the same region of one
// whole scale, whatever the factors: odd sizes, whole multiples, factors
// of no simple ratio, smaller than the picture.
TEST(PictureScaler, EachDirtyRectangleEqualsTheSameRegionOfAWholeScale) {
    struct Case {
        int sourceW, sourceH;
        SDL_Rect place;
    };
    const Case cases[] = {
        {37, 23, SDL_Rect{0, 0, 37, 23}},    // one to one
        {40, 30, SDL_Rect{0, 0, 120, 90}},   // three times, sharp
        {40, 30, SDL_Rect{5, 0, 180, 135}},  // four and a half times
        {37, 23, SDL_Rect{3, 7, 211, 131}},  // odd, no simple ratio
        {64, 48, SDL_Rect{1, 1, 47, 29}},    // smaller than the picture
        {1, 1, SDL_Rect{0, 0, 9, 5}},        // a single pixel
        {64, 36, SDL_Rect{12, 0, 131, 74}},  // wide
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.sourceW << "x" << c.sourceH << " to " << c.place.w << "x" << c.place.h);
        const std::vector<std::uint8_t> pixels = Pattern(c.sourceW, c.sourceH, 9);
        const PictureSource source{pixels.data(), c.sourceW, c.sourceH, c.sourceW * 3};
        const int width = c.place.x + c.place.w + 2, height = c.place.y + c.place.h + 2;
        SurfacePtr whole = MakeTarget(width, height);
        PictureScaler wholeScaler;
        wholeScaler.Draw(source, *whole, c.place, c.place);
        const std::vector<SDL_Rect> changes = {
            {0, 0, 1, 1},
            {c.sourceW - 1, c.sourceH - 1, 1, 1},
            {c.sourceW / 3, c.sourceH / 4, (c.sourceW + 1) / 2, (c.sourceH + 2) / 3},
            {0, c.sourceH / 2, c.sourceW, 1},
            {c.sourceW / 2, 0, 1, c.sourceH},
        };
        for (const SDL_Rect& changed : changes) {
            const SDL_Rect reach = PictureScaler::Reach(source, c.place, changed);
            SurfacePtr part = MakeTarget(width, height);
            SDL_FillRect(part.get(), nullptr, 0x123456);
            PictureScaler partScaler;
            partScaler.Draw(source, *part, c.place, reach);
            for (int y = 0; y < height; ++y) {
                for (int x = 0; x < width; ++x) {
                    const SDL_Point point{x, y};
                    const Uint32 got =
                        static_cast<const Uint32*>(part->pixels)[y * part->pitch / 4 + x];
                    const Uint32 want =
                        SDL_PointInRect(&point, &reach)
                            ? static_cast<const Uint32*>(whole->pixels)[y * whole->pitch / 4 + x]
                            : 0x123456;
                    ASSERT_EQ(got & 0xFFFFFF, want & 0xFFFFFF)
                        << "at " << x << "," << y << " for a change at " << changed.x << ","
                        << changed.y << " " << changed.w << "x" << changed.h;
                }
            }
        }
    }
}

// The two-pass kernel keeps the quality of a plain bilinear scale: no
// output channel strays more than one step from the exact arithmetic.
TEST(PictureScaler, SmoothScalesStayWithinOneStepOfExactBilinear) {
    const std::vector<std::uint8_t> pixels = Pattern(29, 17, 4);
    const PictureSource source{pixels.data(), 29, 17, 29 * 3};
    for (const SDL_Rect place : {SDL_Rect{0, 0, 130, 77}, SDL_Rect{0, 0, 20, 11}}) {
        SurfacePtr target = MakeTarget(place.w, place.h);
        PictureScaler scaler;
        scaler.Draw(source, *target, place, place);
        for (int y = 0; y < place.h; ++y) {
            for (int x = 0; x < place.w; ++x) {
                Uint8 rgb[3];
                SDL_GetRGB(static_cast<const Uint32*>(target->pixels)[y * target->pitch / 4 + x],
                           target->format, &rgb[0], &rgb[1], &rgb[2]);
                for (int c = 0; c < 3; ++c) {
                    const int exact = Bilinear(pixels, 29, 17, x, y, place.w, place.h, c);
                    ASSERT_LE(std::abs(int(rgb[2 - c]) - exact), 1)
                        << "channel " << c << " at " << x << "," << y << " of " << place.w;
                }
            }
        }
    }
}

// A surface with an alpha byte (as some window systems give) shows the
// picture opaque.
TEST(PictureScaler, ASurfaceWithAlphaIsDrawnOpaque) {
    const std::vector<std::uint8_t> pixels = Pattern(5, 4, 2);
    const PictureSource source{pixels.data(), 5, 4, 15};
    for (const Uint32 format :
         {SDL_PIXELFORMAT_ARGB8888, SDL_PIXELFORMAT_ABGR8888, SDL_PIXELFORMAT_RGBA8888}) {
        SurfacePtr target = MakeTarget(11, 9, format);
        SurfacePtr plain = MakeTarget(11, 9);
        PictureScaler a, b;
        const SDL_Rect place{0, 0, 11, 9};
        a.Draw(source, *target, place, place);
        b.Draw(source, *plain, place, place);
        for (int i = 0; i < 11 * 9; ++i) {
            Uint8 r, g, bl, alpha, r2, g2, b2;
            SDL_GetRGBA(static_cast<const Uint32*>(target->pixels)[i], target->format, &r, &g, &bl,
                        &alpha);
            SDL_GetRGB(static_cast<const Uint32*>(plain->pixels)[i], plain->format, &r2, &g2, &b2);
            ASSERT_EQ(alpha, 255) << SDL_GetPixelFormatName(format);
            ASSERT_EQ(r, r2);
            ASSERT_EQ(g, g2);
            ASSERT_EQ(bl, b2);
        }
    }
}

}  // namespace
}  // namespace zelk
