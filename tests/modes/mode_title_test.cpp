#include "modes/mode_title.h"

#include <gtest/gtest.h>

#include "modes/mode_fixture.h"
#include "modes/save_data.h"
#include "settings/ini_io.h"

namespace zelk {
namespace {

using testing::FakeRoot;

class TitleMode : public testing::ModeTest {
protected:
    // The fades take real time; the tests look at what they lead to.
    TitleMode() { TitleModeWith("FadeTime=800", "FadeTime=0"); }

    clsModeBase& Start(long eSub) {
        Root().ChangeMode(kModeTitle, eSub);
        return *Root().Mode();
    }
    clsEventRect& Button(const std::string& command) {
        clsEventRect* rect = Root().RectByExtension("main_menu", command);
        if (rect == nullptr) throw std::runtime_error("no button " + command);
        return *rect;
    }
    // A copy of the demo's "title_mode" with one line replaced.
    void TitleModeWith(const std::string& from, const std::string& to) {
        std::string text;
        ASSERT_TRUE(ReadTextFile(Process().IniDir + "/title_mode.ini", text));
        const size_t at = text.find(from);
        ASSERT_NE(at, std::string::npos);
        text.replace(at, from.size(), to);
        const std::string folder = mFolder / "ini";
        std::filesystem::create_directories(folder);
        ASSERT_TRUE(WriteTextFile(folder + "/title_mode.ini", text));
        Process().IniDir = folder;
    }
};

TEST_F(TitleMode, TheLogoComesFirstAndGivesWayByItself) {
    clsModeBase& title = Start(1);
    EXPECT_EQ(title.SubStatus(), kTitleLogo);
    EXPECT_EQ(Root().armed.time, 3000);
    EXPECT_EQ(Root().armed.event, kCmdClick);
    EXPECT_EQ(Root().GameView()->EvRects().Count(), 0);
    Root().FireAutoClick();
    EXPECT_EQ(title.SubStatus(), kTitleMenu);
    EXPECT_EQ(Root().GameView()->EvRects().CountByTag("main_menu"), 5);
}

TEST_F(TitleMode, ARightClickOnTheLogoSkipsToTheMenu) {
    clsModeBase& title = Start(1);
    Root().Click(kCmdCancel);
    EXPECT_EQ(title.SubStatus(), kTitleMenu);
    EXPECT_EQ(Root().armed.time, 0);
}

TEST_F(TitleMode, ALogoWithoutAutoClickTimeWaitsForTheReader) {
    TitleModeWith("AutoclickTime=3000", "AutoclickTime=0");
    clsModeBase& title = Start(1);
    EXPECT_EQ(title.SubStatus(), kTitleLogo);
    EXPECT_EQ(Root().armed.time, 0);
    Root().Click(kCmdClick);
    EXPECT_EQ(title.SubStatus(), kTitleMenu);
}

TEST_F(TitleMode, TheMenuButtonsFollowTheirOrderAndCommands) {
    Start(3);
    long order = 0;
    for (const char* command : {"start", "quickload", "load", "omake", "exit"}) {
        EXPECT_EQ(Button(command).KBOrder, order++) << command;
    }
    EXPECT_EQ(Button("start").x1, 60);
    EXPECT_EQ(Button("start").y1, 236);
    EXPECT_TRUE(Root().GameView()->MenuItem("file!qload")->Enabled);
    EXPECT_FALSE(Root().IsSkipMode());
}

TEST_F(TitleMode, WithoutAQuickSaveQuickLoadIsDisabledAndHalfTransparent) {
    Start(3);
    clsEventRect& qload = Button("quickload");
    EXPECT_FALSE(qload.Enabled);
    EXPECT_EQ(FakeRoot::FilmProp(qload.FilmID, FP_ALPHA), 150);
    EXPECT_EQ(FakeRoot::FilmProp(Button("start").FilmID, FP_ALPHA), 255);
    // The view never hits a disabled rectangle: pointing there is nothing.
    EXPECT_EQ(Root().GameView()->EvRects().HitTest(qload.x1 + 2, qload.y1 + 2, 4), nullptr);
}

TEST_F(TitleMode, AQuickSaveEnablesQuickLoad) {
    Root().SD()->Var().KeyValue("hp", "1");
    ASSERT_TRUE(Root().SD()->Save(clsSaveData::FormatSlotName(5, 0)));
    Start(3);
    EXPECT_TRUE(Button("quickload").Enabled);
    EXPECT_EQ(FakeRoot::FilmProp(Button("quickload").FilmID, FP_ALPHA), 255);
}

TEST_F(TitleMode, TheExtrasWaitForTheirFlags) {
    Start(3);
    EXPECT_FALSE(Button("omake").Enabled);
    EXPECT_EQ(FakeRoot::FilmProp(Button("omake").FilmID, FP_ALPHA), 128);

    Root().SharedData()->Var().KeyValue("clear_b", "1");
    Start(3);
    EXPECT_TRUE(Button("omake").Enabled);

    Root().SharedData()->Var().KeyValue("clear_b", "0");
    Process().Debug.AllCG = true;
    Start(3);
    EXPECT_TRUE(Button("omake").Enabled);
    Process().Debug.AllCG = false;
}

TEST_F(TitleMode, PointingAndPressingShowTheButtonsRows) {
    Start(3);
    clsEventRect& start = Button("start");
    clsEventRect& load = Button("load");
    Root().Click(kCmdSelect, &start);
    EXPECT_EQ(FakeRoot::FilmProp(start.FilmID, FP_CELL_Y), 1);
    Root().Click(kCmdSelect, &load);
    EXPECT_EQ(FakeRoot::FilmProp(start.FilmID, FP_CELL_Y), 0);
    EXPECT_EQ(FakeRoot::FilmProp(load.FilmID, FP_CELL_Y), 1);
    Root().Click(kCmdSelect);
    EXPECT_EQ(FakeRoot::FilmProp(load.FilmID, FP_CELL_Y), 0);
}

TEST_F(TitleMode, StartBeginsANewGame) {
    Root().Host().AddScript("main", "start:\r\nwait");
    Start(3);
    Root().Click(kCmdClick, &Button("start"));
    ASSERT_FALSE(Root().modeChanges.empty());
    EXPECT_EQ(Root().modeChanges.back(), (std::pair<long, long>{kModeGame, 6}));
    EXPECT_EQ(Root().VellMode(), kModeGame);
    // The title's rectangles went with it.
    EXPECT_EQ(Root().GameView()->EvRects().CountByTag("main_menu"), 0);
}

TEST_F(TitleMode, TheOtherCommands) {
    Start(3);
    Root().Click(kCmdClick, &Button("load"));
    EXPECT_EQ(Root().modeChanges.back(), (std::pair<long, long>{kModeSaveLoad, 12}));
    Start(3);
    Root().Click(kCmdClick, &Button("exit"));
    // The view's exit command closes the player.
    EXPECT_EQ(Root().closes, 1);
}

TEST_F(TitleMode, AFailedQuickLoadStaysAtTheTitleAndSaysSo) {
    // Loadable when the menu was built, gone when pressed.
    ASSERT_TRUE(Root().SD()->Save(clsSaveData::FormatSlotName(5, 0)));
    Start(3);
    clsEventRect& qload = Button("quickload");
    ASSERT_TRUE(qload.Enabled);
    std::filesystem::remove(Root().SD()->FormatINIPath(5, 0));
    const std::size_t changes = Root().modeChanges.size();
    Root().Click(kCmdClick, &qload);
    EXPECT_EQ(Root().VellMode(), kModeTitle);
    EXPECT_EQ(Root().modeChanges.size(), changes);
    EXPECT_EQ(Root().restores, 0);
    ASSERT_FALSE(Root().messages.empty());
    EXPECT_EQ(Root().messages.back(), "クイックロードに失敗しました。");
}

TEST_F(TitleMode, AQuickLoadRestoresTheSlot) {
    ASSERT_TRUE(Root().SD()->Save(clsSaveData::FormatSlotName(5, 0)));
    Start(3);
    Root().Click(kCmdClick, &Button("quickload"));
    EXPECT_EQ(Root().modeChanges.back(), (std::pair<long, long>{kModeGame, 7}));
    EXPECT_EQ(Root().restores, 1);
}

TEST_F(TitleMode, BadStartsAreReported) {
    Start(5);
    ASSERT_FALSE(Root().messages.empty());
    EXPECT_EQ(Root().messages.back(), "不正なモード開始引数です。");
    Process().IniDir = mFolder / "nothing";
    Start(1);
    EXPECT_EQ(Root().messages.back(), "モード初期化ファイルがロードできません。");
    EXPECT_EQ(Root().Mode()->SubStatus(), 0);
}

}  // namespace
}  // namespace zelk
