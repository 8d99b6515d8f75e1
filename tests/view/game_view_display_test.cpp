// Full screen in the display's own mode: the view asks the sound engine to
// change it, and takes desktop full screen where the display refuses.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>

#include "drivers/wavo_driver.h"
#include "view_test_support.h"
#include "wavo.h"

namespace zelk::testing {
namespace {

class ViewDisplay : public ViewTest {
protected:
    void SetUp() override {
        ViewTest::SetUp();
        ASSERT_EQ(SDL_GetDesktopDisplayMode(0, &mOffered), 0) << SDL_GetError();
        mWavo = std::make_unique<clsWavoDriver>();
        mWavo->Init();
        root.wavo = mWavo.get();
    }
    void TearDown() override {
        ViewTest::TearDown();
        root.wavo = nullptr;
        mWavo.reset();
    }
    // A view whose screen is width x height, in its window.
    void Reopen(int width, int height, bool exactMode) {
        view.reset();
        Process().ScreenSizeX = width;
        Process().ScreenSizeY = height;
        MakeConfig(exactMode ? "DXFullScreen=True\r\n" : "DXFullScreen=False\r\n");
        view = std::make_unique<clsGameView>(root);
        root.view = view.get();
        view->ScreenMode(kScreenWindow);
        view->Visible(true);
    }
    Uint32 FullScreenFlags() const {
        return SDL_GetWindowFlags(view->Window()) & SDL_WINDOW_FULLSCREEN_DESKTOP;
    }
    static std::int32_t EngineProp(std::int32_t property) {
        std::int32_t value = 0;
        GetWavoProp(property, &value);
        return value;
    }

    SDL_DisplayMode mOffered{};
    std::unique_ptr<clsWavoDriver> mWavo;
};

TEST_F(ViewDisplay, TheOwnModeIsTheSoundEnginesChangeAndTheWindowComesBack) {
    Reopen(mOffered.w, mOffered.h, true);
    view->ScreenMode(kScreenFull);
    EXPECT_EQ(static_cast<Uint32>(EngineProp(WP_DISPLAY_WINDOW)), SDL_GetWindowID(view->Window()));
    EXPECT_EQ(FullScreenFlags(), static_cast<Uint32>(SDL_WINDOW_FULLSCREEN));
    SDL_DisplayMode mode{};
    ASSERT_EQ(SDL_GetWindowDisplayMode(view->Window(), &mode), 0);
    EXPECT_EQ(mode.w, mOffered.w);
    EXPECT_EQ(mode.h, mOffered.h);
    EXPECT_TRUE(view->MenuItem("screen!full")->Checked);
    view->ScreenMode(kScreenWindow);
    EXPECT_EQ(FullScreenFlags(), 0u);
    EXPECT_TRUE(view->MenuItem("screen!window")->Checked);
}

TEST_F(ViewDisplay, AModeTheDisplayRefusesGivesDesktopFullScreen) {
    Reopen(mOffered.w - 2, mOffered.h, true);
    view->ScreenMode(kScreenFull);
    EXPECT_EQ(EngineProp(WP_EXT_ERROR1), 3);  // asked, and refused
    EXPECT_EQ(FullScreenFlags(), static_cast<Uint32>(SDL_WINDOW_FULLSCREEN_DESKTOP));
    view->ScreenMode(kScreenWindow);
    EXPECT_EQ(FullScreenFlags(), 0u);
}

TEST_F(ViewDisplay, WithoutTheSwitchTheDisplayKeepsItsMode) {
    const std::uint32_t none = 0;
    SetWavoProp(WP_DISPLAY_WINDOW, &none);
    Reopen(mOffered.w, mOffered.h, false);
    view->ScreenMode(kScreenFull);
    EXPECT_EQ(EngineProp(WP_DISPLAY_WINDOW), 0);
    EXPECT_EQ(FullScreenFlags(), static_cast<Uint32>(SDL_WINDOW_FULLSCREEN_DESKTOP));
    view->ScreenMode(kScreenWindow);
    EXPECT_EQ(FullScreenFlags(), 0u);
}

}  // namespace
}  // namespace zelk::testing
