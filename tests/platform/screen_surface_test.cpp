// The screen surface gathers what the engine thread presented until the
// view takes it.
#include "platform/screen_surface.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

namespace zelk {
namespace {

TEST(ScreenSurface, ChangedRectanglesGatherIntoOneUntilTaken) {
    ScreenSurface surface(640, 480);
    EXPECT_EQ(surface.Stride(), 1920);
    EXPECT_FALSE(surface.TakeChanged());
    surface.Presented({10, 10, 20, 20});
    surface.Presented({100, 5, 110, 15});
    EXPECT_EQ(surface.TakeChanged(), (ScreenRect{10, 5, 110, 20}));
    EXPECT_FALSE(surface.TakeChanged()) << "taken once";
    surface.Presented({-5, 470, 700, 900});
    EXPECT_EQ(surface.TakeChanged(), (ScreenRect{0, 470, 640, 480})) << "clipped";
    surface.Presented({50, 50, 50, 60});
    EXPECT_FALSE(surface.TakeChanged()) << "an empty rectangle changes nothing";
    EXPECT_EQ(surface.PresentCount(), 4u);
}

// A line typed at the top and a cursor blinking at the bottom are drawn
// as two small rectangles; touching ones become one.
TEST(ScreenSurface, ChangesFarApartStaySeparateAndTouchingOnesJoin) {
    ScreenSurface surface(640, 480);
    surface.Presented({10, 10, 30, 30});
    surface.Presented({600, 440, 620, 460});
    surface.Presented({30, 10, 50, 30});  // touches the first
    std::vector<ScreenRect> rects = surface.TakeChangedRects();
    ASSERT_EQ(rects.size(), 2u);
    EXPECT_NE(std::find(rects.begin(), rects.end(), ScreenRect{10, 10, 50, 30}), rects.end());
    EXPECT_NE(std::find(rects.begin(), rects.end(), ScreenRect{600, 440, 620, 460}), rects.end());
    EXPECT_TRUE(surface.TakeChangedRects().empty()) << "taken once";

    // A rectangle that joins two others makes them one.
    surface.Presented({0, 0, 10, 10});
    surface.Presented({100, 0, 110, 10});
    surface.Presented({5, 5, 105, 6});
    EXPECT_EQ(surface.TakeChangedRects(), (std::vector<ScreenRect>{{0, 0, 110, 10}}));
}

TEST(ScreenSurface, ManyChangesAreHeldInAFewRectanglesThatCoverThemAll) {
    ScreenSurface surface(640, 480);
    std::vector<ScreenRect> presented;
    for (int i = 0; i < 40; ++i) {
        const ScreenRect rect{(i * 97) % 600, (i * 53) % 450, (i * 97) % 600 + 7,
                              (i * 53) % 450 + 5};
        presented.push_back(rect);
        surface.Presented(rect);
    }
    const std::vector<ScreenRect> rects = surface.TakeChangedRects();
    EXPECT_LE(rects.size(), ScreenSurface::kMostRects);
    for (const ScreenRect& p : presented) {
        const bool covered = std::any_of(rects.begin(), rects.end(), [&](const ScreenRect& r) {
            return r.left <= p.left && r.top <= p.top && p.right <= r.right && p.bottom <= r.bottom;
        });
        EXPECT_TRUE(covered) << p.left << "," << p.top;
    }
}

TEST(ScreenSurface, AnOddWidthPadsRowsToFourBytes) {
    ScreenSurface surface(3, 2);
    EXPECT_EQ(surface.Stride(), 12);
    EXPECT_EQ(surface.Target().bytesPerPixel, 3);
}

TEST(ScreenSurface, PresentsFromAnotherThreadReachTheListener) {
    ScreenSurface surface(64, 64);
    std::atomic<int> heard{0};
    surface.OnPresented([&heard] { ++heard; });
    std::vector<std::thread> presenters;
    for (int t = 0; t < 4; ++t) {
        presenters.emplace_back([&surface, t] {
            for (int i = 0; i < 100; ++i) {
                std::lock_guard lock(surface.Mutex());
                surface.Pixels()[t] = static_cast<std::uint8_t>(i);
                surface.Presented({t, t, t + 1, t + 1});
            }
        });
    }
    for (auto& thread : presenters)
        thread.join();
    EXPECT_EQ(heard.load(), 400);
    EXPECT_EQ(surface.TakeChanged(), (ScreenRect{0, 0, 4, 4}));
}

}  // namespace
}  // namespace zelk
