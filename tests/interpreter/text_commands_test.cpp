#include <gtest/gtest.h>

#include "interpreter/command_fixture.h"

namespace zelk::testing {
namespace {

using TextCommands = CommandTest;

TEST_F(TextCommands, APageIsTypedAndWaitsForAClick) {
    Run("put \"あいう\"\r\nup a");
    EXPECT_EQ(host.window.text, "　あいう");
    EXPECT_EQ(host.window.typedPages, 1);
    EXPECT_EQ(intprt.WaitMode(), kWaitClick);
    EXPECT_TRUE(intprt.TextEnabled());
    EXPECT_TRUE(host.textVisible);
    EXPECT_TRUE(host.cursorVisible);
    EXPECT_EQ(host.window.speed, 30);
    // (speed + 3) x 5 x characters + the auto wait.
    EXPECT_EQ(intprt.LastAutoClickTimer(), 5 * 5 * 3 + 1000);
    EXPECT_EQ(host.story.history, (std::vector<std::pair<std::string, long>>{{"t", 0}}));
}

TEST_F(TextCommands, ARestTextIsShownByTheSamePutOnTheNextClick) {
    Run("put \"一\\w二\"\r\nlet a, 1\r\nwait");
    EXPECT_EQ(host.window.text, "　一");
    EXPECT_EQ(intprt.RestText(), "二");
    EXPECT_TRUE(host.story.history.empty());
    intprt.StepNext();
    EXPECT_EQ(host.window.text, "　一二");
    EXPECT_TRUE(intprt.RestText().empty());
    EXPECT_EQ(host.Var("a"), "0");
    EXPECT_EQ(host.story.history.size(), 1u);
    intprt.StepNext();
    EXPECT_EQ(host.Var("a"), "1");
}

TEST_F(TextCommands, APageWithoutWaitRunsOn) {
    Run("put \"一\\nowait\"\r\nlet a, 1\r\nwait");
    EXPECT_EQ(host.Var("a"), "1");
    EXPECT_EQ(intprt.Address(), 3);
}

TEST_F(TextCommands, NovelPagesFollowOnTheSameScreen) {
    Run("ts\r\ntextnovel\r\nwait\r\nput \"一\"\r\nput \"二\"\r\nwait");
    // A change of style hides the text until the next page.
    EXPECT_FALSE(intprt.TextEnabled());
    intprt.StepNext();
    EXPECT_EQ(host.window.text, "一");
    intprt.StepNext();
    EXPECT_EQ(host.window.text, "一\n二");
}

TEST_F(TextCommands, APageUnderTheScreensFilmSetKeepsItsMarks) {
    // Straight after the ending, before the story picks a style again.
    host.window.filmSet = 1;
    Run("put \"\\color(255)一\\np(1)\"\r\nwait");
    EXPECT_EQ(host.window.text.find("D0000FF一"), 0u) << host.window.text;
    EXPECT_NE(host.window.text.find('\n'), std::string::npos) << host.window.text;
}

TEST_F(TextCommands, VoicesFollowTheReadersChoices) {
    host.story.cids = {{"a01", 0, true, false}, {"b01", 0, true, true}};
    host.sound.voiceLength = 2000;
    host.config["CVPan"] = true;
    Run("cg st_a01_normal, 480\r\nput \"\\v(a01_001)「あ」\"\r\nput "
        "\"\\v(b01_001)「い」\"\r\nwait");
    EXPECT_EQ(host.sound.cv, "a01_001");
    EXPECT_EQ(host.sound.cvPan, 15);
    EXPECT_EQ(intprt.VoiceTimer(), 3000);
    EXPECT_EQ(intprt.LastAutoClickTimer(), 3000);
    intprt.StepNext();
    // Male voices stay silent unless the reader wants them.
    EXPECT_EQ(host.sound.cv, "a01_001");
    host.config["MaleVoice"] = true;
    Run("put \"\\v(b01_001)「い」\"\r\nwait");
    EXPECT_EQ(host.sound.cv, "b01_001");
    EXPECT_EQ(host.sound.cvPan, 0);  // not on screen: the middle
}

TEST_F(TextCommands, AMissingVoiceIsReported) {
    Run("put \"\\v(z01_009)「あ」\"\r\nwait");
    EXPECT_TRUE(Reported("CV 'z01_009' 再生失敗"));
    EXPECT_EQ(host.window.text, "　「あ」");
}

TEST_F(TextCommands, CharacterColourNeedsTheReadersSwitch) {
    host.story.cids = {{"a01", 0x0000FF, true, false}};
    Run("put \"\\c(cid_a01)あ\"\r\nwait");
    EXPECT_EQ(host.window.text, "　あ");
    host.config["OriginalTextColor"] = true;
    Run("put \"\\c(cid_a01)あ\"\r\nwait");
    // Stored as blue-green-red, printed as red-green-blue.
    EXPECT_EQ(host.window.text, "　DFF0000あ");
}

TEST_F(TextCommands, SkippingPassesOverPagesAndWaits) {
    host.skipMode = true;
    Run("er 0, 0, 10, 10, t.0\r\nput \"一\"\r\nwait\r\nwaitcv\r\nwaitauto 500\r\npause 300\r\n"
        "pauseabs 200\r\nlet a, 1\r\nselecter");
    EXPECT_EQ(host.Var("a"), "1");
    EXPECT_EQ(host.window.typedPages, 0);
    EXPECT_EQ(host.window.text, "　一");
    EXPECT_EQ(host.story.waited, 200);
    EXPECT_TRUE(host.autoClicks.empty());
    EXPECT_EQ(intprt.WaitMode(), kWaitSelection);
    EXPECT_FALSE(host.skipMode);
}

TEST_F(TextCommands, WaitsArmTheirAutoClick) {
    host.config["TextAutoClick"] = true;
    Run("ts\r\nwait\r\nwaitauto 700\r\npause 300\r\nwait");
    EXPECT_EQ(intprt.LastAutoClickTimer(), 2500);
    EXPECT_TRUE(host.cursorVisible);
    intprt.StepNext();
    // The timed click is armed by the command and again for auto mode, with
    // the same time.
    EXPECT_EQ(host.autoClicks, (std::vector<long>{2500, 700, 700}));
    intprt.StepNext();
    EXPECT_EQ(host.story.waited, 300);
}

TEST_F(TextCommands, AChoiceWaitsWithItsItems) {
    host.skipMode = true;
    Run("item \"右へ\", t.right\r\nitem \"左へ\", t.left\r\nselect\r\nright:\r\nleft:\r\nwait");
    EXPECT_EQ(host.window.choices.size(), 2u);
    EXPECT_EQ(host.window.choices[0].first, "・右へ");
    EXPECT_EQ(host.window.choices[1].second, "t.left");
    EXPECT_TRUE(host.window.choicesVisible);
    EXPECT_EQ(intprt.WaitMode(), kWaitChoice);
    EXPECT_FALSE(host.skipMode);
    EXPECT_NE(std::find(host.log.begin(), host.log.end(), "SelectItem Command"), host.log.end());
}

// The clipboard and the speech service get what the reader sees, without
// the marks the window prints; pages passed over in skip mode are not read.
TEST_F(TextCommands, TheReadersToolsGetPagesAndChoicesAsPlainText) {
    host.sound.voiceLength = 1500;
    Run("put \"\\v(a01_001)\\color(255)一\\n二\\pause(300)三\\w四\"\r\n"
        "item \"\\size(30)右へ\", t.r\r\nitem \"左へ\", t.l\r\nselect\r\nr:\r\nl:\r\nwait");
    EXPECT_EQ(host.story.readerTexts, (std::vector<std::string>{"一\n二三@1500"}));
    intprt.StepNext();
    EXPECT_EQ(host.story.readerTexts.back(), "四@0");
    intprt.StepNext();
    EXPECT_EQ(host.story.readerTexts.back(), "右へ\n左へ");
    EXPECT_EQ(intprt.ChoiceTexts(), "右へ\n左へ");
}

TEST_F(TextCommands, PagesSkippedOverAreNotRead) {
    host.skipMode = true;
    host.config["SkipStopUnread"] = false;
    Run("put \"一\"\r\nput \"二\"\r\nitem \"右へ\", t.r\r\nselect\r\nr:\r\nwait");
    EXPECT_EQ(host.story.readerTexts, (std::vector<std::string>{"右へ"}));
}

TEST_F(TextCommands, ASelectWithoutChoicesGoesOn) {
    Run("select\r\nlet a, 1\r\nwait");
    EXPECT_TRUE(Reported("選択肢が登録されていません。"));
    EXPECT_EQ(host.Var("a"), "1");
    EXPECT_EQ(intprt.WaitMode(), kWaitClick);
}

TEST_F(TextCommands, ChoicesAreRefusedInTheNovelStyle) {
    Run("textnovel\r\nitem \"右へ\", t.0\r\nwait");
    EXPECT_TRUE(Reported("ノベルモードにおける選択肢命令は対応できません。"));
    EXPECT_TRUE(Reported("選択肢\"右へ\"を追加できません。"));
}

TEST_F(TextCommands, ClickableAreasBecomeGameButtons) {
    Process().ScriptScaleX = 320;
    Run("er 10, 20, 30, 40, t.a, %\r\ner 0, 0, 5, 5, %, t.b\r\ncg st_a01_normal\r\n"
        "ercg a01, t.c, t.d, %, 1, 1\r\nercg b01, t.e, t.f, %, 1, 1\r\nselecter");
    ASSERT_EQ(host.view.rects.size(), 3u);
    const EventRectSpec& first = host.view.rects[0].spec;
    EXPECT_EQ(first.STag, "gamemode_button");
    EXPECT_EQ(first.x1, 20);
    EXPECT_EQ(first.y1, 20);
    EXPECT_EQ(first.x2, 80);
    EXPECT_EQ(first.y2, 60);
    EXPECT_EQ(first.RectType, 1);
    EXPECT_EQ(first.ClickScript, "t.a");
    EXPECT_EQ(host.view.rects[1].spec.RectType, 4);
    EXPECT_EQ(host.view.rects[1].spec.PointScript, "t.b");
    const EventRectSpec& fitted = host.view.rects[2].spec;
    EXPECT_EQ(fitted.FilmID, host.graphics.GetCharFilmID("a01"));
    EXPECT_EQ(fitted.TargetCID, "a01");
    EXPECT_EQ(fitted.RectType, 5);
    EXPECT_EQ(intprt.WaitMode(), kWaitSelection);
    EXPECT_EQ(host.view.selectionClears, 1);
}

TEST_F(TextCommands, WindowCommands) {
    Run("site \"岬\"\r\nwnd 1\r\nwnd 9\r\nalarm\r\nalarm \"ok\"\r\nth\r\nwait");
    EXPECT_EQ(host.view.site, "岬");
    EXPECT_EQ(host.window.windowType, 1);
    EXPECT_TRUE(Reported("ウィンドウタイプ 9 の変更に失敗しました。"));
    EXPECT_TRUE(Reported("アラーム"));
    EXPECT_TRUE(Reported("ok"));
    EXPECT_FALSE(host.textVisible);
}

TEST_F(TextCommands, ALoadDuringTypingEndsTheStep) {
    host.window.onType = [] { Process().StatusRestored = true; };
    host.AddScript("t", "put \"一\"\r\nlet a, 1\r\nwait");
    ASSERT_TRUE(intprt.Init());
    intprt.StepStart();
    ASSERT_TRUE(intprt.GoLabel("t.0"));
    EXPECT_EQ(intprt.StepNext(), StepResult::kRestored);
    EXPECT_EQ(host.Var("a"), "0");
}

}  // namespace
}  // namespace zelk::testing
