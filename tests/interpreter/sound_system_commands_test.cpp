#include <gtest/gtest.h>

#include "interpreter/command_fixture.h"

namespace zelk::testing {
namespace {

using SoundCommands = CommandTest;
using SystemCommands = CommandTest;

TEST_F(SoundCommands, ChannelsHoldWhatTheScenarioStarted) {
    Run("bgm bgm_day, TRUE\r\nse se_wave\r\nsel se_waves, 3\r\nbgmvolumerate 60\r\nwait");
    EXPECT_EQ(host.sound.bgm, "bgm_day");
    EXPECT_TRUE(host.sound.bgmLoop);
    EXPECT_EQ(host.sound.se, "se_wave");
    EXPECT_EQ(host.sound.seLoop, "se_waves");
    EXPECT_EQ(host.sound.seLoopCount, 3);
    EXPECT_EQ(host.sound.bgmRate, 60);
    EXPECT_TRUE(host.messages.empty());
}

TEST_F(SoundCommands, EmptyArgumentsStop) {
    host.sound.cv = "a01_001";
    Run("bgm bgm_day\r\nse se_wave\r\nsel se_waves\r\nbgm\r\nse\r\nsel\r\nstopcv\r\nwait");
    EXPECT_TRUE(host.sound.bgm.empty());
    EXPECT_TRUE(host.sound.bgmStopSync);
    EXPECT_TRUE(host.sound.se.empty());
    EXPECT_TRUE(host.sound.seLoop.empty());
    EXPECT_TRUE(host.sound.cv.empty());
}

TEST_F(SoundCommands, BrokenArgumentsAreReported) {
    Run("bgm bgm_day, maybe\r\nbgmvolumerate 150\r\nbgm nothing\r\nse nothing\r\n"
        "sel nothing\r\nwait");
    EXPECT_TRUE(Reported("ループフラグにはtrueかfalseしか指定できません。"));
    EXPECT_TRUE(host.sound.bgmLoop);
    EXPECT_TRUE(Reported("BGM音量比は０から１００"));
    EXPECT_EQ(host.sound.bgmRate, 100);
    EXPECT_TRUE(Reported("BGM 'nothing' 再生失敗"));
    EXPECT_TRUE(Reported("SE 'nothing' 再生失敗"));
    EXPECT_TRUE(Reported("SEL 'nothing' 再生失敗"));
}

TEST_F(SystemCommands, TheEndingRollsOnceAndTheStoryGoesOn) {
    Run("playending 36000, ed_back_a, ed_credits\r\nlet a, 1\r\nwait");
    EXPECT_EQ(host.story.mode, 4);
    EXPECT_EQ(host.story.modeSub, 14);
    EXPECT_EQ(host.story.modeParam, "36000,ed_back_a,ed_credits,");
    EXPECT_EQ(intprt.WaitMode(), kWaitClick);
    // Back in the game mode, the next step runs what follows the ending.
    intprt.StepNext();
    EXPECT_EQ(host.Var("a"), "1");
    EXPECT_EQ(host.story.mode, 4);
}

TEST_F(SystemCommands, RestartingTheTitleStopsSkippingAndThawsTheScreen) {
    host.skipMode = true;
    host.graphics.drawActive = false;
    host.drawActivity = false;
    Run("restarttitle\r\nwait");
    EXPECT_EQ(host.story.titleRestarts, 1);
    EXPECT_FALSE(host.skipMode);
    EXPECT_EQ(host.graphics.transitions, (std::vector<std::string>{"on0:1000"}));
    EXPECT_EQ(intprt.Address(), 0);
}

TEST_F(SystemCommands, TheReplayReturnsToTheExtras) {
    host.skipMode = true;
    Run("restartreplaymode\r\nwait");
    EXPECT_EQ(host.story.mode, 5);
    EXPECT_FALSE(host.skipMode);
}

// The root looks the name up in the movie folder (and refuses one that
// leaves it): the command hands it on as the game gave it.
TEST_F(SystemCommands, MoviesGoToTheRootByTheGamesName) {
    Run("playmovie \"opening.mpg\", 1\r\nwait");
    EXPECT_EQ(host.story.movie, "opening.mpg");
    EXPECT_EQ(host.story.movieCancel, 1);
    EXPECT_EQ(host.story.cgHistory, std::vector<std::string>{"opening.mpg"});
    EXPECT_EQ(host.menus, "");
    host.story.movieWorks = false;
    Run("playmovie \"opening.mpg\"\r\nwait");
    EXPECT_TRUE(Reported("ムービー'opening.mpg'を再生できません。"));
}

TEST_F(SystemCommands, ReturnWithAnEmptyStackIsReported) {
    Run("return\r\nwait");
    EXPECT_TRUE(Reported("スタックが空の状態でreturnしようとしました。"));
    EXPECT_EQ(intprt.WaitMode(), kWaitClick);
}

}  // namespace
}  // namespace zelk::testing
