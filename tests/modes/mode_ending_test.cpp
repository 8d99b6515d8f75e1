// The staff roll on the real film engine, its clock in the test's hand.
#include <gtest/gtest.h>

#include "mode_saveload_fixture.h"
#include "modes/mode_ending.h"

namespace zelk::testing {
namespace {

class EndingTest : public SaveLoadModeTest {
protected:
    void SetUp() override {
        SaveLoadModeTest::SetUp();
        Process().ScreenSizeX = 640;
        Process().ScreenSizeY = 480;
    }

    clsModeEnding& Start(const std::string& param, long eSub = clsModeEnding::kStaffRoll) {
        ending = std::make_unique<clsModeEnding>(root, [this] { return now; });
        root.vellMode = kModeEnding;
        ending->ModeStart(eSub, std::any(param));
        return *ending;
    }
    void Click(long eEvent = kCmdClick) { ending->ScreenCmd(kModeEnding, eEvent, nullptr); }
    static std::int32_t Word(std::int32_t film, std::int32_t property) {
        ExeQueue();
        std::int32_t words[2] = {0, 0};
        GetFilmProp(film, property, words);
        return words[0];
    }

    std::uint32_t now = 1000;
    std::unique_ptr<clsModeEnding> ending;
};

TEST_F(EndingTest, ClicksDuringTheRollReArmTheAutoClickWithTheTimeLeft) {
    clsModeEnding& mode = Start("60000, ed_back_a, ed_credits, ed_over_a");
    EXPECT_EQ(mode.SubStatus(), clsModeEnding::kStaffRoll);
    EXPECT_EQ(root.autoClicks.back(), 10000);
    now += 20000;
    Click();
    EXPECT_EQ(root.autoClicks.back(), 10000);
    now += 35000;
    Click();
    EXPECT_EQ(root.autoClicks.back(), 5000);
    EXPECT_TRUE(root.modeChanges.empty());
    now += 5000;
    Click();
    ASSERT_EQ(root.modeChanges.size(), 1u);
    EXPECT_EQ(root.modeChanges[0], std::make_pair(2L, 7L));
    EXPECT_EQ(root.autoClicks.back(), 1);
}

TEST_F(EndingTest, ARightClickInTheFirstSecondEndsTheRoll) {
    Start("36000, ed_back_a, ed_credits, ed_over_a");
    now += 500;
    Click(kCmdCancel);
    ASSERT_EQ(root.modeChanges.size(), 1u);
    EXPECT_EQ(root.modeChanges[0].first, kModeGame);
}

TEST_F(EndingTest, TheCreditsStartBelowTheScreenAndRiseOverTheDuration) {
    clsModeEnding& mode = Start("36000, ed_back_a, ed_credits, ed_over_a");
    const std::int32_t credits = mode.CreditsFilm();
    ASSERT_GE(credits, 0);
    EXPECT_EQ(Word(credits, FP_Y), 480);
    std::int32_t size[2] = {0, 0};
    GetFilmProp(credits, FP_SIZE, size);
    ASSERT_GT(size[1], 0);
    EXPECT_EQ(Word(credits, FP_X), 320 - size[0] / 2);
    ProgressAction(18000);
    ExeQueue();
    EXPECT_NEAR(Word(credits, FP_Y), (480 - size[1]) / 2, 2);
    ProgressAction(18000);
    ExeQueue();
    EXPECT_EQ(Word(credits, FP_Y), -size[1]);
    // The overlay's cells: half a screen high, from 40 % across.
    ASSERT_GE(mode.OverlayFilm(), 0);
    EXPECT_EQ(Word(mode.OverlayFilm(), FP_HEIGHT), 240);
    EXPECT_EQ(Word(mode.OverlayFilm(), FP_X), 256);
}

TEST_F(EndingTest, WithoutAnOverlayTheCreditsStillScroll) {
    clsModeEnding& mode = Start("10001, ed_back_a, ed_credits,");
    EXPECT_EQ(mode.OverlayFilm(), -1);
    EXPECT_GE(mode.CreditsFilm(), 0);
    EXPECT_EQ(mode.Duration(), 10001);
    ProgressAction(5000);
    ExeQueue();
    EXPECT_LT(Word(mode.CreditsFilm(), FP_Y), 480);
}

TEST_F(EndingTest, AnUnknownStartArgumentIsSaidAndStartsNothing) {
    clsModeEnding& mode = Start("", 3);
    ASSERT_EQ(root.asked.size(), 1u);
    EXPECT_EQ(root.asked[0], "不正なモード開始引数です。");
    EXPECT_EQ(mode.CreditsFilm(), -1);
    Click(kCmdCancel);
    EXPECT_TRUE(root.modeChanges.empty());
}

}  // namespace
}  // namespace zelk::testing
