#include "platform/screen_window.h"

#include <gtest/gtest.h>

#include <SDL.h>

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

}  // namespace
}  // namespace zelk
