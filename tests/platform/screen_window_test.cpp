#include "platform/screen_window.h"

#include <gtest/gtest.h>

#include <SDL.h>

#include <cstring>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/picture_scaler.h"
#include "platform/screen_surface.h"

namespace zelk {
namespace {

// A window place kept from another set of displays, or written into the
// settings by hand, must not put the window where no one can reach it.
TEST(ScreenWindow, APlaceOnNoDisplayCentresTheWindow) {
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0) << SDL_GetError();
    SDL_Rect display{};
    ASSERT_EQ(SDL_GetDisplayBounds(0, &display), 0) << SDL_GetError();
    {
        ScreenWindow window("t", 320, 240);
        ASSERT_TRUE(window.Ok()) << SDL_GetError();
        window.Position(display.x + 10, display.y + 20);
        EXPECT_EQ(window.Position().x, display.x + 10);
        EXPECT_EQ(window.Position().y, display.y + 20);

        window.Position(100000, 100000);
        const SDL_Point centred = window.Position();
        EXPECT_TRUE(ReachableOnADisplay(SDL_Rect{centred.x, centred.y, 320, 240}))
            << centred.x << "," << centred.y;
        EXPECT_NE(centred.x, 100000);

        window.Position(-100000, display.y);
        EXPECT_NE(window.Position().x, -100000);
    }
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

TEST(ScreenWindow, APlaceIsReachableWhenEnoughOfItLiesOnADisplay) {
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0) << SDL_GetError();
    SDL_Rect display{};
    ASSERT_EQ(SDL_GetDisplayBounds(0, &display), 0) << SDL_GetError();
    const int right = display.x + display.w;
    const int bottom = display.y + display.h;
    EXPECT_TRUE(ReachableOnADisplay({display.x, display.y, 640, 480}));
    // Half off the right edge: still there to take hold of.
    EXPECT_TRUE(ReachableOnADisplay({right - 100, display.y, 640, 480}));
    // A sliver of a few pixels is not.
    EXPECT_FALSE(ReachableOnADisplay({right - 4, display.y, 640, 480}));
    EXPECT_FALSE(ReachableOnADisplay({display.x, bottom - 4, 640, 480}));
    EXPECT_FALSE(ReachableOnADisplay({100000, 100000, 640, 480}));
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

// Full screen keeps the picture's aspect: bars left and right for a 4:3
// game on a 16:9 display, above and below for a 16:9 game on a 4:3 one.
TEST(ScreenWindow, TheLetterboxKeepsThePicturesAspect) {
    auto same = [](const SDL_Rect& a, const SDL_Rect& b) {
        return a.x == b.x && a.y == b.y && a.w == b.w && a.h == b.h;
    };
    EXPECT_TRUE(same(LetterboxRect(3840, 2160, 0, 640, 480), SDL_Rect{480, 0, 2880, 2160}));
    EXPECT_TRUE(same(LetterboxRect(1920, 1080, 0, 640, 480), SDL_Rect{240, 0, 1440, 1080}));
    EXPECT_TRUE(same(LetterboxRect(1024, 768, 0, 1280, 720), SDL_Rect{0, 96, 1024, 576}));
    EXPECT_TRUE(same(LetterboxRect(3840, 2160, 0, 1280, 720), SDL_Rect{0, 0, 3840, 2160}));
    // The menu band in a window: the picture below it.
    EXPECT_TRUE(same(LetterboxRect(640, 504, 24, 640, 480), SDL_Rect{0, 24, 640, 480}));
    // A window narrower than the picture's aspect: bars above and below the
    // room under the band.
    EXPECT_TRUE(same(LetterboxRect(320, 504, 24, 640, 480), SDL_Rect{0, 144, 320, 240}));
}

TEST(ScreenWindow, SoftwareRasterizersAreToldFromGraphicsProcessors) {
    EXPECT_TRUE(SoftwareRasterizer("llvmpipe (LLVM 15.0.6, 256 bits)"));
    EXPECT_TRUE(SoftwareRasterizer("softpipe"));
    EXPECT_TRUE(SoftwareRasterizer("Software Rasterizer"));
    EXPECT_TRUE(SoftwareRasterizer("Mesa X11 (swrast)"));
    EXPECT_FALSE(SoftwareRasterizer("Mesa Intel(R) UHD Graphics 620 (KBL GT2)"));
    EXPECT_FALSE(SoftwareRasterizer("AMD Radeon RX 6600 (navi23, LLVM 15.0.6, DRM 3.49)"));
    EXPECT_FALSE(SoftwareRasterizer("NVIDIA GeForce GTX 1660/PCIe/SSE2"));
}

class FullScreenWindow : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0) << SDL_GetError();
        ASSERT_EQ(SDL_GetDesktopDisplayMode(0, &mDisplay), 0) << SDL_GetError();
    }
    void TearDown() override { SDL_QuitSubSystem(SDL_INIT_VIDEO); }
    SDL_DisplayMode mDisplay{};
};

// In full screen only the window rectangles a change reaches are scaled and
// sent to the display, and what they show is what a whole redraw shows:
// no seam at their borders.
TEST_F(FullScreenWindow, OnlyTheChangedRectanglesAreDrawnAndSent) {
    constexpr int kW = 320, kH = 240;
    ScreenSurface surface(kW, kH);
    auto paint = [&](const ScreenRect& r, int seed) {
        std::lock_guard lock(surface.Mutex());
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left * 3; x < r.right * 3; ++x)
                surface.Pixels()[y * surface.Stride() + x] =
                    static_cast<std::uint8_t>((x * 31 + y * 17 + seed * 101) >> 2);
    };
    paint({0, 0, kW, kH}, 1);
    surface.InvalidateAll();
    ScreenWindow window("t", kW, kH);
    ASSERT_TRUE(window.Ok()) << SDL_GetError();
    ASSERT_FALSE(window.Accelerated()) << "the dummy driver has no graphics processor";
    window.Show(true);
    ASSERT_TRUE(window.FullScreen(true)) << SDL_GetError();
    window.Upload(surface);
    window.Render({});
    SDL_Surface* shown = SDL_GetWindowSurface(window.Window());
    ASSERT_NE(shown, nullptr);
    ASSERT_EQ(shown->w, mDisplay.w);
    ASSERT_EQ(window.LastSent().size(), 1u);

    // A line typed at the top and the cursor at the bottom corner.
    const ScreenRect text{40, 20, 200, 44}, cursor{300, 220, 316, 236};
    paint(text, 2);
    paint(cursor, 3);
    surface.Presented(text);
    surface.Presented(cursor);
    ASSERT_TRUE(window.Upload(surface));
    ASSERT_TRUE(window.RenderChanged());
    const std::vector<SDL_Rect> sent = window.LastSent();
    ASSERT_EQ(sent.size(), 2u);
    long long area = 0;
    for (const SDL_Rect& r : sent)
        area += static_cast<long long>(r.w) * r.h;
    const long long whole = static_cast<long long>(shown->w) * shown->h;
    EXPECT_LT(area * 10, whole) << "far less than the window";

    // What the partial drawings left equals a whole scale of the picture.
    std::unique_ptr<SDL_Surface, decltype(&SDL_FreeSurface)> expected(
        SDL_CreateRGBSurfaceWithFormat(0, shown->w, shown->h, 32, shown->format->format),
        SDL_FreeSurface);
    ASSERT_TRUE(expected);
    const SDL_Rect place = LetterboxRect(shown->w, shown->h, 0, kW, kH);
    std::vector<std::uint8_t> picture(static_cast<size_t>(kW) * kH * 3);
    for (int y = 0; y < kH; ++y)
        std::memcpy(&picture[static_cast<size_t>(y) * kW * 3],
                    surface.Pixels() + static_cast<size_t>(y) * surface.Stride(),
                    static_cast<size_t>(kW) * 3);
    PictureScaler scaler;
    scaler.Draw(PictureSource{picture.data(), kW, kH, kW * 3}, *expected, place, place);
    for (int y = place.y; y < place.y + place.h; ++y) {
        ASSERT_EQ(std::memcmp(static_cast<const std::uint8_t*>(shown->pixels) + y * shown->pitch +
                                  place.x * 4,
                              static_cast<const std::uint8_t*>(expected->pixels) +
                                  y * expected->pitch + place.x * 4,
                              static_cast<size_t>(place.w) * 4),
                  0)
            << "row " << y;
    }

    // Nothing changed: nothing drawn.
    EXPECT_FALSE(window.Upload(surface));
}

// Pointer positions in full screen map to the game's pixels through the
// letterbox: the bars lie outside the screen, the picture's corners land on
// the screen's corners.
TEST_F(FullScreenWindow, PointerPositionsMapThroughTheLetterbox) {
    // A wide game on the display (4:3 under the dummy driver) and a narrow
    // one: bars one way and the other.
    for (const SDL_Point game : {SDL_Point{400, 225}, SDL_Point{240, 320}}) {
        SCOPED_TRACE(testing::Message() << game.x << "x" << game.y);
        ScreenWindow window("t", game.x, game.y);
        ASSERT_TRUE(window.Ok()) << SDL_GetError();
        window.Show(true);
        ASSERT_TRUE(window.FullScreen(true));
        const SDL_Rect picture = window.PictureRect();
        const SDL_Rect expected = LetterboxRect(mDisplay.w, mDisplay.h, 0, game.x, game.y);
        EXPECT_EQ(picture.x, expected.x);
        EXPECT_EQ(picture.y, expected.y);
        EXPECT_EQ(picture.w, expected.w);
        EXPECT_EQ(picture.h, expected.h);
        const SDL_Point topLeft = window.WindowToScreen(picture.x, picture.y);
        EXPECT_EQ(topLeft.x, 0);
        EXPECT_EQ(topLeft.y, 0);
        const SDL_Point bottomRight =
            window.WindowToScreen(picture.x + picture.w - 1, picture.y + picture.h - 1);
        EXPECT_EQ(bottomRight.x, game.x - 1);
        EXPECT_EQ(bottomRight.y, game.y - 1);
        const SDL_Point onBar = window.WindowToScreen(picture.x - 1, picture.y - 1);
        EXPECT_TRUE(onBar.x < 0 || onBar.y < 0);
        for (int y = 0; y < game.y; y += 19) {
            for (int x = 0; x < game.x; x += 23) {
                const SDL_Point there = window.ScreenToWindow(x, y);
                const SDL_Point back = window.WindowToScreen(there.x, there.y);
                ASSERT_EQ(back.x, x) << x << "," << y;
                ASSERT_EQ(back.y, y) << x << "," << y;
            }
        }
    }
}

}  // namespace
}  // namespace zelk
