#include <gtest/gtest.h>

#include "interpreter/command_fixture.h"

namespace zelk::testing {
namespace {

using GraphicsCommands = CommandTest;

TEST_F(GraphicsCommands, AScenePutsBackgroundAndCharactersInPlace) {
    Run("bg bg_beach\r\ncg st_a01_normal, 100, 200\r\ncg st_b01_normal\r\nfc fa_a01_smile\r\n"
        "cgbc 255\r\nwait");
    EXPECT_EQ(host.graphics.background, "bg_beach");
    EXPECT_EQ(host.graphics.bgX, 320);
    EXPECT_EQ(host.graphics.bgY, 240);
    ASSERT_NE(host.graphics.Find("a01"), nullptr);
    EXPECT_EQ(host.graphics.Find("a01")->x, 100);
    EXPECT_EQ(host.graphics.Find("a01")->y, 200);
    EXPECT_EQ(host.graphics.Find("b01")->x, 320);
    EXPECT_EQ(host.graphics.face, "fa_a01_smile");
    EXPECT_EQ(host.graphics.blend, 255);
    EXPECT_EQ(host.story.cgHistory,
              (std::vector<std::string>{"bg_beach", "st_a01_normal", "st_b01_normal"}));
    EXPECT_TRUE(host.messages.empty());
}

TEST_F(GraphicsCommands, ScriptCoordinatesBecomeScreenPixels) {
    Process().ScriptScaleX = 320;
    Process().ScriptScaleY = 240;
    Run("bg bg_beach\r\ncg st_a01_normal, 51, 30, 100, 50\r\ncgmvas a01, 10, -5\r\nwait");
    // The default centre is the middle of the script space.
    EXPECT_EQ(host.graphics.bgX, 320);
    EXPECT_EQ(host.graphics.Find("a01")->x, 102 + 20);
    EXPECT_EQ(host.graphics.Find("a01")->y, 60 - 10);
}

TEST_F(GraphicsCommands, OpacityIsAPercentageOfFullyOpaque) {
    Run("cg st_a01_normal\r\ncga a01, 50\r\nwait\r\ncga a01\r\nwait\r\ncgaas a01, 0\r\nwait\r\n"
        "cga a01, 150\r\nwait");
    EXPECT_EQ(host.graphics.Find("a01")->alpha, 128);
    intprt.StepNext();
    EXPECT_EQ(host.graphics.Find("a01")->alpha, 256);
    intprt.StepNext();
    EXPECT_EQ(host.graphics.Find("a01")->alpha, 0);
    intprt.StepNext();
    EXPECT_TRUE(Reported("アルファ値は０から１００"));
    EXPECT_EQ(host.graphics.Find("a01")->alpha, 0);
}

TEST_F(GraphicsCommands, FailuresNameWhatFailed) {
    Run("bg nothing\r\ncg nobody\r\ncgh zzz\r\ncga zzz\r\ndam nomask\r\ncgactstart zzz\r\n"
        "wto nothing\r\nwait");
    EXPECT_TRUE(Reported("背景 'nothing'のロードに失敗しました。"));
    EXPECT_TRUE(Reported("人物'nobody'のロードに失敗しました。"));
    EXPECT_TRUE(Reported("人物'zzz'の非表示に失敗しました。"));
    EXPECT_TRUE(Reported("人物'zzz'の透明度変更に失敗しました。"));
    EXPECT_TRUE(Reported("マスク'nomask'のロードに失敗しました。"));
    EXPECT_TRUE(Reported("人物'zzz'の自由アクション開始に失敗しました。"));
    EXPECT_TRUE(Reported("通常背景'nothing'のロードに失敗しました。"));
    EXPECT_TRUE(host.story.cgHistory.empty());
    // A failed scene change does not leave the screen frozen.
    EXPECT_TRUE(host.graphics.drawActive);
}

TEST_F(GraphicsCommands, HideWithoutAnIdHidesEveryone) {
    Run("cg st_a01_normal\r\ncg st_b01_normal\r\ncgh b01\r\nwait\r\ncgh\r\nwait");
    EXPECT_EQ(host.graphics.characters.size(), 1u);
    intprt.StepNext();
    EXPECT_TRUE(host.graphics.characters.empty());
}

TEST_F(GraphicsCommands, MovingWithoutDurationFadesWithOneSlides) {
    Run("bg bg_beach\r\ncg st_a01_normal\r\ncglc a01, 100\r\nwait\r\ncgmv a01, 10, 0, 800\r\n"
        "wait");
    EXPECT_EQ(host.graphics.Find("a01")->x, 100);
    EXPECT_EQ(host.graphics.transitions, (std::vector<std::string>{"off0:0", "on1:500"}));
    intprt.StepNext();
    EXPECT_EQ(host.graphics.Find("a01")->x, 110);
    EXPECT_EQ(host.graphics.cgTime, 800);
    EXPECT_EQ(host.graphics.transitions.size(), 2u);
}

TEST_F(GraphicsCommands, BackgroundMoveWithoutDurationShowsItAgainInPlace) {
    Run("bg bg_beach\r\nbglc 100, 100\r\nwait\r\nbgmv 10, 0, 700\r\nwait");
    EXPECT_EQ(host.graphics.background, "bg_beach");
    EXPECT_EQ(host.graphics.bgX, 100);
    EXPECT_EQ(host.graphics.bgTime, 500);
    intprt.StepNext();
    EXPECT_EQ(host.graphics.bgX, 110);
    EXPECT_EQ(host.graphics.bgTime, 700);
}

TEST_F(GraphicsCommands, SkippingWithoutEffectsShowsEverythingAtOnce) {
    host.skipMode = true;
    host.config["SkipGrpEffect"] = true;
    Run("bg bg_beach\r\ncg st_a01_normal\r\nbglc 100, 100, 800\r\ncgmv a01, 10, 0, 800\r\n"
        "ddb 300\r\ndaa\r\nwto bg_street\r\nwait");
    EXPECT_EQ(host.graphics.bgTime, 1000);  // the scene change's own time
    EXPECT_EQ(host.graphics.cgTime, 0);
    EXPECT_EQ(host.graphics.transitions,
              (std::vector<std::string>{"off1:0", "on1:0", "off2:0", "on1:0"}));
    EXPECT_EQ(host.graphics.background, "bg_street");
    EXPECT_TRUE(host.graphics.characters.empty());
}

TEST_F(GraphicsCommands, FreeFlipsQueueTheirActionList) {
    Run("cg st_a01_normal\r\ncghfas a01, 400\r\nwait\r\ncgactclear a01\r\n"
        "cgactadd a01, 1, 2\r\ncgf a01, 2\r\nwait");
    const std::vector<long> flip = {0x20022010, 0x11000030, 1, 0x20020001, 400, 0x20020003};
    EXPECT_EQ(host.graphics.Find("a01")->actions, flip);
    EXPECT_TRUE(host.graphics.Find("a01")->acting);
    intprt.StepNext();
    EXPECT_EQ(host.graphics.Find("a01")->actions, (std::vector<long>{1, 2}));
    EXPECT_EQ(host.graphics.Find("a01")->cellX, 2);
    EXPECT_EQ(host.graphics.Find("a01")->cellY, 0);
}

TEST_F(GraphicsCommands, MaskTransitionHidesTheTextAndLoadsTheMask) {
    Run("ts\r\ncg st_a01_normal\r\nmto bg_street, rule_wave, 900\r\nwait");
    EXPECT_FALSE(intprt.TextEnabled());
    EXPECT_EQ(host.graphics.mask, "rule_wave");
    EXPECT_EQ(host.graphics.transitions.back(), "on2:900");
    EXPECT_EQ(host.story.cgHistory.back(), "bg_street");
}

}  // namespace
}  // namespace zelk::testing
