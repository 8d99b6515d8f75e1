// Full screen on a display many times the game's size: a frame drawn whole
// scales millions of pixels, so input with nothing of the interface shown
// draws only what changed, and a bar or menu shown is taken away whole.
#include <gtest/gtest.h>

#include "platform/screen_surface.h"
#include "view_test_support.h"

namespace zelk::testing {
namespace {

class FullScreenPaint : public ViewTest {
protected:
    void SetUp() override {
        ViewTest::SetUp();
        // A wide game: bars above and below it on the (4:3) dummy display.
        view.reset();
        Process().ScreenSizeY = 360;
        view = std::make_unique<clsGameView>(root, [this] { return now; });
        root.view = view.get();
        view->ScreenMode(kScreenWindow);
        view->Visible(true);
        view->EventEnabled(true);
        view->ScreenMode(kScreenFull);
        for (int i = 0; i < 3; ++i)
            view->Paint();
    }
    // A pixel in the bar above the picture, where only a whole frame draws.
    Uint32& BarPixel() {
        SDL_Surface* shown = SDL_GetWindowSurface(view->Window());
        return static_cast<Uint32*>(shown->pixels)[2 * shown->pitch / 4 + 2];
    }
};

TEST_F(FullScreenPaint, InputWithNoInterfaceShownDrawsOnlyWhatChanged) {
    SDL_Surface* shown = SDL_GetWindowSurface(view->Window());
    ASSERT_NE(shown, nullptr);
    ASSERT_GT(view->ScreenToWindow(0, 0).y, 2) << "no bar above the picture";
    constexpr Uint32 kMarker = 0x00FF00FF;
    BarPixel() = kMarker;

    view->HandleEvent(Motion(320, 180));
    view->HandleEvent(Button(320, 180));
    view->Picture().Presented({10, 10, 20, 20});
    for (int i = 0; i < 3; ++i)
        view->Paint();
    EXPECT_EQ(BarPixel(), kMarker) << "a whole frame was drawn for an input";

    // The pointer at the top shows the menu bar over the picture, and moving
    // away takes it off with a whole frame.
    SDL_Event top = Motion(320, 0);
    top.motion.y = 0;
    view->HandleEvent(top);
    view->Paint();
    EXPECT_NE(BarPixel(), kMarker) << "the menu bar was not drawn";
    BarPixel() = kMarker;
    view->HandleEvent(Motion(320, 300));
    view->Paint();
    EXPECT_NE(BarPixel(), kMarker) << "the menu bar was left on the screen";
}

}  // namespace
}  // namespace zelk::testing
