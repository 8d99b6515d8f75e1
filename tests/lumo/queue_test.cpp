// The command queue in its two modes.
#include "lumo_host.h"

using namespace lumo_test;

TEST_F(LumoTest, ImmediateModeChangesBeforeTheCallReturns) {
    const int32_t film = AddFilm(FT_IMAGE);
    setProp(film, FP_X, 12);
    EXPECT_EQ(filmProp(film, FP_X), 12);
}

TEST_F(LumoTest, AutoRedrawModeDefersChangesToTheEngineThread) {
    const int32_t film = AddFilm(FT_IMAGE);
    const int32_t on = 1;
    ASSERT_EQ(SetLumoProp(LP_AUTO_REDRAW, &on), 0);
    setProp(film, FP_X, 12);
    EXPECT_EQ(filmProp(film, FP_X), 0) << "still the old value: the frame has not run";
    ASSERT_EQ(ExeQueue(), 0);
    EXPECT_EQ(filmProp(film, FP_X), 12);
}

TEST_F(LumoTest, AutoRedrawModeIsReadableOnceItsCommandRan) {
    const int32_t on = 1;
    ASSERT_EQ(SetLumoProp(LP_AUTO_REDRAW, &on), 0);
    int32_t mode = -1;
    ASSERT_EQ(GetLumoProp(LP_AUTO_REDRAW, &mode), 0);
    EXPECT_EQ(mode, 1) << "switching on runs at once, as every immediate call";
    const int32_t off = 0;
    ASSERT_EQ(SetLumoProp(LP_AUTO_REDRAW, &off), 0);
    ASSERT_EQ(GetLumoProp(LP_AUTO_REDRAW, &mode), 0);
    EXPECT_EQ(mode, 1) << "switching off waits for the queue";
    ASSERT_EQ(ExeQueue(), 0);
    ASSERT_EQ(GetLumoProp(LP_AUTO_REDRAW, &mode), 0);
    EXPECT_EQ(mode, 0);
}

TEST_F(LumoTest, QueuedCommandsRunInTheOrderTheyWereMade) {
    const int32_t on = 1;
    ASSERT_EQ(SetLumoProp(LP_AUTO_REDRAW, &on), 0);
    const int32_t film = AddFilm(FT_IMAGE);
    for (int x = 1; x <= 50; ++x)
        setProp(film, FP_X, x);
    ASSERT_EQ(ExeQueue(), 0);
    EXPECT_EQ(filmProp(film, FP_X), 50);
}

// Blt and Redraw only add to the queue: a change queued before them is still
// waiting after them, until someone runs the queue.
TEST_F(LumoTest, BltAndRedrawNeverRunTheQueueThemselves) {
    const int32_t screen = makeFilm(FT_SCREEN, -1, 0, 0, 4, 4);
    const int32_t film = makeFilm(FT_IMAGE, screen, 0, 0, 4, 4);
    // Right after one of the engine's redraws its thread leaves the queue
    // alone for most of a second (a frame a second here).
    const int32_t on = 1;
    ASSERT_EQ(SetLumoProp(LP_AUTO_REDRAW, &on), 0);
    ASSERT_EQ(Blt(screen), 0);
    ASSERT_EQ(ExeQueue(), 0);
    ASSERT_EQ(WaitBlt(), 0);

    setProp(film, FP_X, 3);
    ASSERT_EQ(Blt(screen), 0);
    EXPECT_EQ(filmProp(film, FP_X), 0) << "Blt ran the queue";
    ASSERT_EQ(Redraw(), 0);
    EXPECT_EQ(filmProp(film, FP_X), 0) << "Redraw ran the queue";
    ASSERT_EQ(ExeQueue(), 0);
    EXPECT_EQ(filmProp(film, FP_X), 3);
}

TEST_F(LumoTest, CommandsForMissingTargetsAreAcceptedAndDoNothing) {
    int32_t value = 3;
    EXPECT_EQ(SetFilmProp(42, FP_X, &value), 0);
    EXPECT_EQ(CallFilmMethod(42, FM_CLEAR, nullptr), 0);
    EXPECT_EQ(SetActProp(42, AP_SPEED, &value), 0);
    EXPECT_EQ(RemoveFilm(42), 0);
    EXPECT_EQ(Blt(42), -1) << "Blt reads the size at once";
    EXPECT_EQ(GetFilmProp(42, FP_X, &value), -1);
}
