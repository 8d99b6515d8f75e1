// The extras screens with the demo's settings: the frame, the gallery's
// open tests and command lists, the completion figure and the replay.
#include <gtest/gtest.h>

#include "mode_omake_fixture.h"

namespace zelk::testing {
namespace {

class OmakeScreenTest : public OmakeModeTest {};

TEST(OmakeKeys, PanelAndCommandKeysCountFromOneWithTwoDigits) {
    EXPECT_EQ(clsModeOmake::PanelKey(0, 0), "panel01_01");
    EXPECT_EQ(clsModeOmake::PanelKey(11, 9), "panel12_10");
    EXPECT_EQ(clsModeOmake::CommandKey(1, 2, 3), "cmd02_03_04");
}

TEST_F(OmakeScreenTest, StartShowsTheGalleryWithItsFrameAndDisablesTheGameMenus) {
    clsModeOmake& mode = Open();
    ASSERT_TRUE(mode.Started());
    EXPECT_EQ(mode.SubStatus(), 16);
    EXPECT_EQ(mode.SubMode(), clsModeOmake::kSubCG);
    EXPECT_EQ(mode.CurrentPage(), 0);
    EXPECT_EQ(mode.PanelCount(), 6);
    EXPECT_EQ(root.lumo->BGName(), "om_bg_cg");
    EXPECT_TRUE(root.lumo->DrawActivity());
    // The gallery's own mode button is the selected one.
    EXPECT_FALSE(Rect(mode.ModeRect(0))->Enabled);
    EXPECT_EQ(CellOf(*Rect(mode.ModeRect(0))), 2);
    EXPECT_TRUE(Rect(mode.ModeRect(1))->Enabled);
    EXPECT_FALSE(Rect(mode.PageRect(0))->Enabled);
    for (const char* menu : {"file!saveload", "file!qsave", "message!skip", "message!log"})
        EXPECT_FALSE(root.view->MenuItem(menu)->Enabled) << menu;
    // The observer polls the movie and music every half second.
    EXPECT_EQ(root.autoClicks.back(), 500);
    EXPECT_EQ(root.autoClickRects.back(), mode.ObserverRect());
    EXPECT_EQ(Rect(mode.ObserverRect())->STag, "mediaobserver");
}

TEST_F(OmakeScreenTest, NothingSeenLeavesEveryPanelClosed) {
    clsModeOmake& mode = Open();
    for (long k = 0; k < mode.PanelCount(); ++k) {
        EXPECT_FALSE(Panel(k).Enabled) << k;
        EXPECT_EQ(AlphaOf(Panel(k)), 255) << k;
    }
    EXPECT_EQ(mode.PercentPicture(), "pct000");
}

TEST_F(OmakeScreenTest, AnUnseenFirstCommandWithASeenSecondOpensThePanelAtTheSecond) {
    SeeCG("ev_letter");
    clsModeOmake& mode = Open();
    ASSERT_TRUE(Panel(0).Enabled);
    EXPECT_FALSE(Panel(1).Enabled);
    Click(mode.PanelRect(0));
    EXPECT_EQ(mode.CGPanel(), 0);
    EXPECT_EQ(mode.CGCommandIndex(), 1);
    EXPECT_EQ(root.lumo->BGName(), "ev_letter");
    // The list's screen has only the observer: a click on the background
    // ends the list, which returns to the page.
    EXPECT_EQ(root.view->EvRects().Count(), 1);
    Background(kCmdClick);
    EXPECT_EQ(mode.CGCommandIndex(), -1);
    EXPECT_EQ(root.lumo->BGName(), "om_bg_cg");
    EXPECT_TRUE(Panel(0).Enabled);
    EXPECT_TRUE(root.modeChanges.size() == 1u);  // only the start
}

TEST_F(OmakeScreenTest, AListPlaysEveryOpenCommandInOrder) {
    for (const char* name : {"bg_street", "bg_lighthouse"})
        SeeCG(name);
    clsModeOmake& mode = Open();
    Click(mode.PanelRect(5));
    EXPECT_EQ(root.lumo->BGName(), "bg_street");
    Background(kCmdClick);
    EXPECT_EQ(mode.CGCommandIndex(), 2);
    EXPECT_EQ(root.lumo->BGName(), "bg_lighthouse");
    Background(kCmdClick);
    EXPECT_EQ(mode.CGCommandIndex(), -1);
}

TEST_F(OmakeScreenTest, ARightClickDuringAListReturnsToThePageNotTheTitle) {
    SeeCG("ev_coast");
    clsModeOmake& mode = Open();
    Click(mode.PanelRect(1));
    ASSERT_EQ(mode.CGCommandIndex(), 0);
    EXPECT_EQ(root.lumo->BGName(), "ev_coast");
    Background(kCmdCancel);
    EXPECT_EQ(mode.CGCommandIndex(), -1);
    EXPECT_EQ(root.vellMode, kModeOmake);
    EXPECT_EQ(root.lumo->BGName(), "om_bg_cg");
    EXPECT_TRUE(Panel(1).Enabled);
    // Without a list, the right click leaves for the title.
    Background(kCmdCancel);
    EXPECT_EQ(root.modeChanges.back(), std::make_pair(long{kModeTitle}, 3L));
}

TEST_F(OmakeScreenTest, AMovieCommandMutesTheMusicUntilTheObserverSeesItEnd) {
    SeeCG("opening.mpg");
    clsModeOmake& mode = Open();
    Click(mode.PanelRect(4));
    ASSERT_TRUE(mode.MovieRunning());
    ASSERT_EQ(root.movies.size(), 1u);
    EXPECT_EQ(root.movies[0], "opening.mpg");
    // A refused name would be said to come from the entry that gave it.
    EXPECT_EQ(root.moviePlaces[0], "omake_mode.ini [cgmode_cmd] cmd01_05_01");
    EXPECT_EQ(root.wavo->BGMVolumeRate(), 0);
    // Nothing plays (the fake root starts no movie): the next poll ends it
    // and the list goes on, here to its end.
    Observer();
    EXPECT_FALSE(mode.MovieRunning());
    EXPECT_EQ(root.wavo->BGMVolumeRate(), 100);
    EXPECT_EQ(mode.CGCommandIndex(), -1);
    EXPECT_EQ(root.autoClicks.back(), 500);
    EXPECT_EQ(root.autoClickRects.back(), mode.ObserverRect());
}

TEST_F(OmakeScreenTest, ARightClickDuringAMovieEndsItAndRestoresTheMusicVolume) {
    SeeCG("opening.mpg");
    root.wavo->BGMVolumeRate(100);
    clsModeOmake& mode = Open();
    Click(mode.PanelRect(4));
    ASSERT_TRUE(mode.MovieRunning());
    Background(kCmdCancel);
    EXPECT_FALSE(mode.MovieRunning());
    EXPECT_EQ(root.wavo->BGMVolumeRate(), 100);
    EXPECT_EQ(mode.CGCommandIndex(), -1);
    EXPECT_EQ(root.vellMode, kModeOmake);
}

TEST_F(OmakeScreenTest, AnUnknownCommandIsReportedAndTheListWaits) {
    root.omake->KeySection("cgmode_cmd").KeyValue("cmd01_03_01", "ev_light,zoom,ev_light");
    root.omake->KeySection("cgmode_cmd").KeyValue("cmd01_03_02", "ev_light,bg,ev_light");
    SeeCG("ev_light");
    clsModeOmake& mode = Open();
    Click(mode.PanelRect(2));
    ASSERT_FALSE(root.asked.empty());
    EXPECT_EQ(root.asked.back(), "CGMode Command error");
    EXPECT_EQ(mode.CGCommandIndex(), 0);
    Background(kCmdClick);
    EXPECT_EQ(mode.CGCommandIndex(), 1);
    EXPECT_EQ(root.lumo->BGName(), "ev_light");
}

TEST_F(OmakeScreenTest, ThreeOfEightSeenGiveTheCompletionPicture037) {
    INISection& commands = root.omake->KeySection("cgmode_cmd");
    commands.LineRemove(commands.KeyIndex("cmd01_06_03"));
    for (const char* name : {"ev_bottle", "ev_dawn", "bg_beach"})
        SeeCG(name);
    clsModeOmake& mode = Open();
    EXPECT_EQ(mode.CGPercent(), 37);
    EXPECT_EQ(mode.PercentPicture(), "pct037");
    EXPECT_FALSE(Rect(root.view->EvRects().Count() - 1)->Enabled);
}

TEST_F(OmakeScreenTest, CompletionIsAHundredOnlyWhenEverythingIsSeen) {
    INISection& commands = root.omake->KeySection("cgmode_cmd");
    for (int i = 0; i < commands.Count(); ++i) {
        if (commands.LineKey(i).empty()) continue;
        const std::string value = commands.LineValue(i);
        SeeCG(value.substr(0, value.find(',')));
    }
    EXPECT_EQ(Open().CGPercent(), 100);
    root.shared->CGHistory().KeyValue("ev_dawn", "0");
    EXPECT_EQ(Mode().CGPercent(), 88);  // 8 of 9
}

TEST_F(OmakeScreenTest, TheAllCGSwitchOpensEverything) {
    Process().Debug.AllCG = true;
    clsModeOmake& mode = Open();
    EXPECT_EQ(mode.PercentPicture(), "pct100");
    for (long k = 0; k < mode.PanelCount(); ++k)
        EXPECT_TRUE(Panel(k).Enabled) << k;
}

TEST_F(OmakeScreenTest, PointingHighlightsOneButtonAndTheBackgroundResetsThem) {
    clsModeOmake& mode = Open();
    Command(kCmdSelect, mode.ModeRect(1));
    EXPECT_EQ(CellOf(*Rect(mode.ModeRect(1))), 1);
    Command(kCmdSelect, mode.ReturnRect());
    EXPECT_EQ(CellOf(*Rect(mode.ModeRect(1))), 0);
    EXPECT_EQ(CellOf(*Rect(mode.ReturnRect())), 1);
    // The selected mode button keeps its own cell.
    EXPECT_EQ(CellOf(*Rect(mode.ModeRect(0))), 2);
    Background(kCmdSelect);
    EXPECT_EQ(CellOf(*Rect(mode.ReturnRect())), 0);
}

TEST_F(OmakeScreenTest, ModeButtonsSwitchTheSubScreenAndReturnLeavesForTheTitle) {
    clsModeOmake& mode = Open();
    Click(mode.ModeRect(1));
    EXPECT_EQ(mode.SubMode(), clsModeOmake::kSubReplay);
    EXPECT_EQ(root.lumo->BGName(), "om_bg_rep");
    EXPECT_FALSE(Rect(mode.ModeRect(1))->Enabled);
    Click(mode.ModeRect(2));
    EXPECT_EQ(mode.SubMode(), clsModeOmake::kSubMusic);
    EXPECT_EQ(mode.PanelCount(), 3);
    Click(mode.ReturnRect());
    EXPECT_EQ(root.modeChanges.back(), std::make_pair(long{kModeTitle}, 3L));
    // The ended screen's observer no longer clicks whatever comes next.
    EXPECT_EQ(root.autoClicks.back(), 0);
}

TEST_F(OmakeScreenTest, AClosedReplayPanelShowsThePlaceholderAndAnOpenOneItsScene) {
    root.shared->Var().KeyValue("rep_s2", "1");
    clsModeOmake& mode = Open();
    Click(mode.ModeRect(1));
    EXPECT_FALSE(Panel(0).Enabled);
    ASSERT_TRUE(Panel(1).Enabled);
    EXPECT_EQ(Panel(1).ClickScript, "replay.rep2");
    // Panel 6 has no scene at all: hidden.
    EXPECT_FALSE(Panel(5).Enabled);
    EXPECT_EQ(AlphaOf(Panel(5)), 0);
}

TEST_F(OmakeScreenTest, AReplayStartsTheGameAtItsSceneAndComesBackToItsPage) {
    root.shared->Var().KeyValue("rep_s3", "1");
    clsModeOmake& mode = Open();
    Click(mode.ModeRect(1));
    Click(mode.PanelRect(2));
    EXPECT_EQ(root.modeChanges.back(), std::make_pair(long{kModeGame}, 8L));
    EXPECT_EQ(root.params.back(), "replay.rep3");
    EXPECT_TRUE(root.shared->IsBackFromReplay());
    EXPECT_EQ(root.shared->ReplayModePageNumber(), 0);
    // The scenario's "restartreplaymode".
    root.ChangeMode(kModeOmake, 0, std::string());
    ASSERT_NE(root.Omake(), nullptr);
    EXPECT_EQ(root.Omake()->SubMode(), clsModeOmake::kSubReplay);
    EXPECT_EQ(root.Omake()->CurrentPage(), 0);
    EXPECT_FALSE(root.shared->IsBackFromReplay());
    EXPECT_TRUE(Panel(2).Enabled);
}

TEST_F(OmakeScreenTest, AStoredReplayPageThatNoLongerExistsFallsBackToTheLast) {
    root.shared->IsBackFromReplay(true);
    root.shared->ReplayModePageNumber(7);
    clsModeOmake& mode = Open();
    EXPECT_EQ(mode.SubMode(), clsModeOmake::kSubReplay);
    EXPECT_EQ(mode.CurrentPage(), 0);
}

TEST_F(OmakeScreenTest, TheReplayTextDescribesThePanelUnderThePointer) {
    Process().Debug.AllCG = true;
    clsModeOmake& mode = Open();
    Click(mode.ModeRect(1));
    ASSERT_GE(mode.TextFilm(), 0);
    EXPECT_EQ(FilmWord(mode.TextFilm(), FP_ALPHA), 0);
    Command(kCmdSelect, mode.PanelRect(3));
    EXPECT_EQ(FilmWord(mode.TextFilm(), FP_ALPHA), 256);
    EXPECT_EQ(CellOf(Panel(3)), 1);
    Command(kCmdSelect, mode.PanelRect(1));
    EXPECT_EQ(CellOf(Panel(3)), 0);
    EXPECT_EQ(CellOf(Panel(1)), 1);
    Background(kCmdSelect);
    EXPECT_EQ(FilmWord(mode.TextFilm(), FP_ALPHA), 0);
}

TEST_F(OmakeScreenTest, AReplayTextPictureThatIsMissingHidesTheText) {
    Process().Debug.AllCG = true;
    root.omake->KeySection("repmode").KeyValue("RepModeTextPrefix", "nothing_");
    clsModeOmake& mode = Open();
    Click(mode.ModeRect(1));
    Command(kCmdSelect, mode.PanelRect(0));
    EXPECT_EQ(FilmWord(mode.TextFilm(), FP_ALPHA), 0);
}

TEST_F(OmakeScreenTest, AMissingSettingsFileIsReportedAndTheRightClickStillLeaves) {
    root.omake.reset();
    Open();
    ASSERT_FALSE(root.asked.empty());
    EXPECT_EQ(root.asked.back(), "おまけモード初期化ファイルがロードできません。");
    EXPECT_FALSE(Mode().Started());
    Background(kCmdClick);
    EXPECT_EQ(root.vellMode, kModeOmake);
    Background(kCmdCancel);
    EXPECT_EQ(root.vellMode, kModeTitle);
}

TEST_F(OmakeScreenTest, AClickMeantForTheTitleIsIgnored) {
    clsModeOmake& mode = Open();
    root.ModeScreenCmd(kModeTitle, kCmdClick, Rect(mode.ReturnRect()));
    EXPECT_EQ(root.vellMode, kModeOmake);
}

}  // namespace
}  // namespace zelk::testing
