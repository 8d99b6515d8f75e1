// The screen surface gathers what the engine thread presented until the
// view takes it.
#include "platform/screen_surface.h"

#include <gtest/gtest.h>

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
