#include "modes/mode_game.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <mutex>
#include <set>

#include "modes/mode_fixture.h"
#include "modes/mode_game_log.h"

namespace zelk {
namespace {

using testing::FakeRoot;

class GameMode : public testing::ModeTest {
protected:
    clsModeGame& Start(const std::string& scenario, long eSub = 6, std::any vParam = true) {
        Root().Host().AddScript("main", scenario);
        Root().ChangeMode(kModeGame, eSub, std::move(vParam));
        return static_cast<clsModeGame&>(*Root().Mode());
    }
    // Starts and runs the first step, as the first timer tick does.
    clsModeGame& Reading(const std::string& scenario) {
        clsModeGame& game = Start(scenario);
        Root().FireAutoClick();
        return game;
    }
    clsInterpreter& Intprt() { return *Root().Intprt(); }
    clsEventRect& AddRect(const std::string& tag, long lTag, const std::string& extension = "") {
        clsEventRect& rect = Root().GameView()->EvRects().Add(lTag, tag);
        rect.Extension = extension;
        return rect;
    }
};

// [SECTION] Starting

TEST_F(GameMode, ANewGameStartsAtTheEntryOnTheNextTick) {
    clsModeGame& game = Start("start:\r\nlet a, 1\r\nwait");
    EXPECT_EQ(game.SubStatus(), kGameReading);
    EXPECT_TRUE(game.TextFilmsVisible());
    EXPECT_FALSE(game.IsReplayMode());
    EXPECT_TRUE(Root().GameView()->MenuItem("file!title")->Enabled);
    EXPECT_EQ(Root().armed.time, 1);
    EXPECT_EQ(Root().armed.event, kCmdClick);
    EXPECT_EQ(Root().Lumo()->BaseFilmSet(), 2);
    EXPECT_EQ(Root().SD()->Var().KeyValue("hp"), "3");
    EXPECT_EQ(Root().Host().Var("a"), "0");
    Root().FireAutoClick();
    EXPECT_EQ(Root().Host().Var("a"), "1");
    EXPECT_EQ(Intprt().WaitMode(), kWaitClick);
}

TEST_F(GameMode, AMissingEntryIsReported) {
    Root().System().KeySection("Game").KeyValue("EntryPoint", "");
    Start("start:\r\nwait");
    EXPECT_EQ(Root().messages,
              (std::vector<std::string>{
                  "システム情報かデバッグセクションにエントリポイントを指定してください。",
                  "シナリオを開始できませんでした。"}));
    EXPECT_TRUE(Root().GameView()->EventEnabled());
}

TEST_F(GameMode, AReplayStartsAtItsLabelWithFewerMenus) {
    clsModeGame& game =
        Start("start:\r\nwait\r\nscene:\r\nlet a, 2\r\nwait", 8, std::string("main.scene"));
    EXPECT_TRUE(game.IsReplayMode());
    EXPECT_FALSE(Root().GameView()->MenuItem("file!qsave")->Enabled);
    EXPECT_TRUE(Root().GameView()->MenuItem("message!log")->Enabled);
    Root().FireAutoClick();
    EXPECT_EQ(Root().Host().Var("a"), "2");
}

TEST_F(GameMode, AfterALoadEveryGameMenuIsOpen) {
    Start("start:\r\nwait", 7);
    for (const char* item : {"file!saveload", "file!qsave", "file!qload", "file!title",
                             "message!skip", "message!auto", "message!log"})
        EXPECT_TRUE(Root().GameView()->MenuItem(item)->Enabled) << item;
    EXPECT_EQ(Root().armed.time, 0);
}

TEST_F(GameMode, AnUnknownStartIsReported) {
    Start("start:\r\nwait", 3);
    EXPECT_EQ(Root().messages, std::vector<std::string>{"不正なモード開始引数です。"});
}

// [SECTION] How a step ended

TEST_F(GameMode, AStepEndingInAWaitKeepsReading) {
    Reading("start:\r\nwait\r\nwait\r\nwait");
    Root().Click(kCmdClick);
    Root().Click(kCmdClick);
    EXPECT_EQ(Root().titleRestarts, 0);
    EXPECT_EQ(Intprt().Address(), 3);
}

TEST_F(GameMode, AStepEndingWithoutAWaitReturnsToTheTitle) {
    Intprt().OverrideCommand("nop", [](clsInterpreter& intprt) {
        intprt.WaitMode(kWaitRunning);
        intprt.EndStep();
    });
    Reading("start:\r\nwait\r\nnop");
    Root().Click(kCmdClick);
    EXPECT_EQ(Root().titleRestarts, 1);
    EXPECT_FALSE(Root().Lumo()->DrawActivity());
}

TEST_F(GameMode, AClosePendingKeepsTheTitleAway) {
    // The end of the script asks to close the player.
    Reading("start:\r\nwait");
    Root().Click(kCmdClick);
    EXPECT_TRUE(Process().ShutdownRequested);
    EXPECT_EQ(Root().titleRestarts, 0);
}

TEST_F(GameMode, ARestoredStepKeepsReading) {
    Reading("start:\r\nwait\r\nlet a, 1\r\nwait");
    Root().Host().onPump = [] { Process().StatusRestored = true; };
    Root().Click(kCmdClick);
    EXPECT_EQ(Root().titleRestarts, 0);
    EXPECT_EQ(Root().Host().Var("a"), "0");
}

TEST_F(GameMode, AClickWhileTypingOnlyCompletesTheText) {
    Reading("start:\r\nwait\r\nlet a, 1\r\nwait");
    Intprt().WaitMode(kWaitTyping);
    Root().Click(kCmdClick);
    EXPECT_TRUE(Root().Lumo()->WaitCanceled());
    EXPECT_EQ(Root().Host().Var("a"), "0");
}

// [SECTION] The window and the right button

TEST_F(GameMode, ARightClickHidesTheWindowAndALeftClickBringsItBack) {
    clsModeGame& game = Reading("start:\r\nwait\r\nlet a, 1\r\nwait");
    Intprt().TextEnabled(true);
    Root().Lumo()->TextVisible(true);
    Root().MakeAutoClickTimer(2500, kCmdClick);
    clsEventRect& button = AddRect("gamemode_button", 0);

    Root().Click(kCmdCancel);
    EXPECT_FALSE(game.TextFilmsVisible());
    EXPECT_FALSE(Root().Lumo()->TextVisible());
    EXPECT_FALSE(button.Enabled);
    EXPECT_EQ(Root().armed.time, 0);  // the auto click waits

    Root().Click(kCmdClick);
    EXPECT_TRUE(game.TextFilmsVisible());
    EXPECT_TRUE(Root().Lumo()->TextVisible());
    EXPECT_TRUE(button.Enabled);
    EXPECT_EQ(Root().armed.time, 2500);
    EXPECT_EQ(Root().Host().Var("a"), "0");  // the text did not advance
}

TEST_F(GameMode, NothingToHideLeavesTheWindowShown) {
    clsModeGame& game = Reading("start:\r\nwait\r\nwait");
    Root().Click(kCmdCancel);
    EXPECT_TRUE(game.TextFilmsVisible());
}

TEST_F(GameMode, HidingTheWindowHidesTheChoicesToo) {
    clsModeGame& game = Reading("start:\r\nwait\r\nwait");
    ASSERT_TRUE(Root().Lumo()->AddChoiceItem("海へ", "main.0"));
    Root().Lumo()->ChoiceArrange();
    Root().Lumo()->ChoiceVisible(true);
    Intprt().WaitMode(kWaitChoice);
    Root().Click(kCmdCancel);
    EXPECT_FALSE(game.TextFilmsVisible());
    EXPECT_FALSE(Root().Lumo()->ChoiceVisible());
    Root().Click(kCmdClick);
    EXPECT_TRUE(Root().Lumo()->ChoiceVisible());
}

// [SECTION] Buttons and choices

TEST_F(GameMode, TakingAChoiceJumpsAndClearsThem) {
    Reading("start:\r\nwait\r\nwait\r\nsea:\r\nlet a, 7\r\nwait");
    ASSERT_TRUE(Root().Lumo()->AddChoiceItem("海へ", "main.sea"));
    Root().Lumo()->ChoiceArrange();
    Root().Lumo()->ChoiceVisible(true);
    Intprt().WaitMode(kWaitChoice);
    clsEventRect* item = Root().RectByTag("selectionitem", 0);
    ASSERT_NE(item, nullptr);
    Root().Click(kCmdClick, item);
    EXPECT_EQ(Root().Lumo()->ChoiceCount(), 0);
    EXPECT_EQ(Intprt().WaitMode(), kWaitClick);
    EXPECT_EQ(Root().armed.time, 1);
    Root().FireAutoClick();
    EXPECT_EQ(Root().Host().Var("a"), "7");
}

TEST_F(GameMode, InAReplayTheSlotButtonsNeitherHighlightNorAct) {
    Start("start:\r\nwait\r\nscene:\r\nwait", 8, std::string("main.scene"));
    clsEventRect& save = AddRect("wndbutton", 1, "save");
    clsEventRect& load = AddRect("wndbutton", 2, "load");
    Root().Click(kCmdSelect, &save);
    Root().Click(kCmdClick, &save);
    Root().Click(kCmdClick, &load);
    EXPECT_TRUE(Root().quickSaves.empty());
    EXPECT_TRUE(Root().quickLoads.empty());
}

TEST_F(GameMode, TheWindowButtonsReachTheRoot) {
    Reading("start:\r\nwait\r\nwait");
    Root().Click(kCmdClick, &AddRect("wndbutton", 1, "save"));
    Root().Click(kCmdClick, &AddRect("wndbutton", 2, "load"));
    EXPECT_EQ(Root().quickSaves, std::vector<bool>{Root().Cfg()->BoolVal("QueryQuickSave")});
    EXPECT_EQ(Root().quickLoads, std::vector<bool>{Root().Cfg()->BoolVal("QueryQuickLoad")});
    // "auto" is the view's menu command: it turns the configuration's switch.
    Root().changeEvents.clear();
    Root().Click(kCmdClick, &AddRect("wndbutton", 3, "auto"));
    EXPECT_NE(std::find(Root().changeEvents.begin(), Root().changeEvents.end(), "TextAutoClick"),
              Root().changeEvents.end());
    Root().Click(kCmdClick, &AddRect("wndbutton", 4, "skip"));
    EXPECT_TRUE(Root().IsSkipMode());
    EXPECT_EQ(Root().armed.time, 1);
}

TEST_F(GameMode, AScenarioButtonJumpsToItsScript) {
    Reading("start:\r\nwait\r\nwait\r\nhere:\r\nlet a, 5\r\nwait");
    clsEventRect& button = AddRect("gamemode_button", 0);
    button.ClickScript = "main.here";
    AddRect("gamemode_button", 1);
    Root().Click(kCmdClick, &button);
    EXPECT_EQ(Root().GameView()->EvRects().CountByTag("gamemode_button"), 0);
    EXPECT_EQ(Root().armed.time, 1);
    Root().FireAutoClick();
    EXPECT_EQ(Root().Host().Var("a"), "5");
}

// [SECTION] Movies

TEST_F(GameMode, MovieRulesDecideWhichButtonStopsIt) {
    clsModeGame& game = Reading("start:\r\nwait\r\nwait");
    // Rule 1: the right button stops it.
    game.SetMoviePlayMode(1);
    EXPECT_EQ(game.SubStatus(), kGameMovie);
    game.CtrlTabHeld = [] { return false; };
    Root().Click(kCmdCancel);
    EXPECT_EQ(game.SubStatus(), kGameReading);
    EXPECT_EQ(Root().armed.time, 1);
    // No movie plays in the tests, so any click finds it ended: a click on
    // an ended movie resumes reading whatever the rule.
    game.SetMoviePlayMode(0);
    Root().Click(kCmdClick);
    EXPECT_EQ(game.SubStatus(), kGameReading);
    // A right click never stops a movie of rule 0 or 2.
    game.SetMoviePlayMode(2);
    Root().Click(kCmdCancel);
    EXPECT_EQ(game.SubStatus(), kGameMovie);
    Root().Click(kCmdClick);
    EXPECT_EQ(game.SubStatus(), kGameReading);
}

// [SECTION] Log mode

// Story text is full-width: a half-width digit would start a two-byte
// character in the engine's text.
std::string Digit(int i) {
    static const char* const kDigits[] = {"０", "１", "２", "３", "４",
                                          "５", "６", "７", "８", "９"};
    return kDigits[i % 10];
}

std::string Logged(int i) {
    return "F010G010H014行" + Digit(i);
}

class LogMode : public GameMode {
protected:
    clsModeGame& WithHistory(int entries) {
        std::string scenario = "start:\r\nwait\r\nwait\r\n";
        for (int i = 0; i < entries; ++i)
            scenario +=
                "put \"行" + Digit(i) + "\\v(a01_00" + std::to_string(i % 9 + 1) + ")\"\r\n";
        clsModeGame& game = Reading(scenario);
        const auto& script = Intprt().CurrentScript();
        for (int k = 0; k < 64; ++k)
            if (script->Element(k).starts_with("put")) Root().SD()->AddHistory("main", k);
        return game;
    }
};

TEST_F(LogMode, TwoEntriesFillTheLowerTwoLines) {
    clsModeGame& game = WithHistory(2);
    Root().Click(kCmdWheelForward);
    EXPECT_EQ(game.SubStatus(), kGameLog);
    EXPECT_EQ(game.LogTextIndex(), 1);
    EXPECT_EQ(game.Log().LineText(0), "");
    EXPECT_EQ(game.Log().LineText(1), "");
    EXPECT_EQ(game.Log().LineText(2), Logged(0));
    EXPECT_EQ(game.Log().LineText(3), Logged(1));
    EXPECT_EQ(game.Log().LineVoices(3), std::vector<std::string>{"a01_002"});
    EXPECT_TRUE(Root().RectByTag("log_cv", 3)->Enabled);
    EXPECT_FALSE(Root().RectByTag("log_cv", 0)->Enabled);
    EXPECT_TRUE(Root().GameView()->MenuItem("file!title")->Enabled);
    EXPECT_FALSE(Root().GameView()->MenuItem("message!log")->Enabled);
    EXPECT_EQ(Root().GameView()->EvRects().CountByTag("log_move"), 5);
}

TEST_F(LogMode, TheWheelStopsAtTheOldestPageAndLeavesPastTheNewest) {
    clsModeGame& game = WithHistory(6);
    Root().Click(kCmdWheelForward);
    EXPECT_EQ(game.LogTextIndex(), 5);
    EXPECT_EQ(game.Log().LineText(3), Logged(5));
    Root().Click(kCmdWheelForward);
    Root().Click(kCmdWheelForward);
    EXPECT_EQ(game.LogTextIndex(), 3);
    Root().Click(kCmdWheelForward);
    EXPECT_EQ(game.LogTextIndex(), 3);
    EXPECT_EQ(game.Log().LineText(0), Logged(0));
    Root().Click(kCmdWheelBackward);
    Root().Click(kCmdWheelBackward);
    EXPECT_EQ(game.LogTextIndex(), 5);
    EXPECT_EQ(game.SubStatus(), kGameLog);
    Root().Click(kCmdWheelBackward);
    EXPECT_EQ(game.SubStatus(), kGameReading);
    EXPECT_EQ(game.LogTextIndex(), -1);
    EXPECT_EQ(Root().GameView()->EvRects().CountByTag("log_move"), 0);
    EXPECT_EQ(Root().GameView()->EvRects().CountByTag("log_cv"), 0);
    EXPECT_EQ(Root().GameView()->EvRects().CountByTag("log_bk"), 0);
    EXPECT_EQ(Root().GameView()->EvRects().CountByTag("log_cvplay"), 0);
    EXPECT_TRUE(Root().GameView()->MenuItem("file!qsave")->Enabled);
}

TEST_F(LogMode, TheButtonsScrollByLinesAndPages) {
    clsModeGame& game = WithHistory(9);
    Root().Click(kCmdWheelForward);
    EXPECT_EQ(game.LogTextIndex(), 8);
    Root().Click(kCmdClick, Root().RectByExtension("log_move", "pageup"));
    EXPECT_EQ(game.LogTextIndex(), 4);
    Root().Click(kCmdClick, Root().RectByExtension("log_move", "rollup"));
    EXPECT_EQ(game.LogTextIndex(), 3);
    Root().Click(kCmdClick, Root().RectByExtension("log_move", "rolldown"));
    EXPECT_EQ(game.LogTextIndex(), 4);
    Root().Click(kCmdClick, Root().RectByExtension("log_move", "pagedown"));
    EXPECT_EQ(game.LogTextIndex(), 8);
    Root().Click(kCmdClick, Root().RectByExtension("log_move", "pagedown"));
    EXPECT_EQ(game.SubStatus(), kGameReading);
}

TEST_F(LogMode, ARightClickOnTheBackgroundLeaves) {
    clsModeGame& game = WithHistory(1);
    Root().MakeAutoClickTimer(2000, kCmdClick);
    Root().Click(kCmdWheelForward);
    Root().Click(kCmdCancel, Root().RectByTag("log_bk"));
    EXPECT_EQ(game.SubStatus(), kGameReading);
    EXPECT_EQ(Root().armed.time, 2000);  // the auto click as it was
}

// How many different colours a region of the screen holds.
size_t Colours(const std::vector<std::uint8_t>& screen, int x1, int y1, int x2, int y2) {
    const int stride = (640 * 3 + 3) & ~3;
    std::set<long> colours;
    for (int y = y1; y < y2; ++y)
        for (int x = x1; x < x2; ++x) {
            const std::uint8_t* p = &screen[static_cast<size_t>(y * stride + x * 3)];
            colours.insert(p[0] | (p[1] << 8) | (p[2] << 16));
        }
    return colours.size();
}

TEST_F(LogMode, TheLogReachesTheScreen) {
    WithHistory(2);
    Root().Click(kCmdWheelForward);
    const std::vector<std::uint8_t> screen = Root().Screen();
    if (const char* folder = std::getenv("ZELK_SHOT_DIR"))
        Root().SaveScreen(std::string(folder) + "/log_mode.png");
    // The bottom line holds glyphs; the top line, with no entry, only the
    // background; the voice icon of the bottom line is drawn.
    EXPECT_GT(Colours(screen, 80, 344, 560, 424), 2u);
    EXPECT_GT(Colours(screen, 40, 346, 68, 374), 1u);
    EXPECT_LT(Colours(screen, 80, 44, 560, 124), Colours(screen, 80, 344, 560, 424));
}

// The reading screen's text area: the window's text box.
std::vector<std::uint8_t> TextArea(const std::uint8_t* pixels, int stride) {
    std::vector<std::uint8_t> area;
    for (int y = 360; y < 454; ++y)
        area.insert(area.end(), pixels + y * stride + 150 * 3, pixels + y * stride + 620 * 3);
    return area;
}

// Entering the log freezes the screen before the window is taken away
// under it: no frame between the page and the log shows the scene without
// its window.
TEST_F(LogMode, NoFrameShowsTheSceneWithoutItsWindowOnTheWayIn) {
    clsModeGame& game = WithHistory(2);
    clsLumoDriver& lumo = *Root().Lumo();
    const int stride = Root().Surface().Stride();
    lumo.TextVisible(true);
    ASSERT_TRUE(lumo.TextStart("浜辺に小さな瓶が流れ着いていた。", false));
    lumo.DrawActivate(0, 0);
    const std::vector<std::uint8_t> page = TextArea(Root().Screen().data(), stride);
    lumo.TextVisible(false);
    const std::vector<std::uint8_t> bare = TextArea(Root().Screen().data(), stride);
    lumo.TextVisible(true);
    ASSERT_FALSE(page == bare);
    ASSERT_TRUE(TextArea(Root().Screen().data(), stride) == page);

    std::mutex mutex;
    std::vector<std::vector<std::uint8_t>> frames;
    Root().WatchPresents([&] {
        ScreenSurface& screen = Root().Surface();
        std::lock_guard pixels(screen.Mutex());
        std::lock_guard lock(mutex);
        frames.push_back(TextArea(screen.Pixels(), stride));
    });
    Root().Click(kCmdWheelForward);
    ASSERT_EQ(game.SubStatus(), kGameLog);
    const std::vector<std::uint8_t> log = TextArea(Root().Screen().data(), stride);
    Root().WatchPresents(nullptr);
    std::lock_guard lock(mutex);
    ASSERT_FALSE(frames.empty()) << "the log was presented";
    EXPECT_TRUE(frames.back() == log);
    EXPECT_FALSE(log == bare);
    EXPECT_EQ(std::count(frames.begin(), frames.end(), bare), 0)
        << "frames of the scene without its window, of " << frames.size();
}

TEST_F(LogMode, LeavingRemovesEveryFilmOfTheLog) {
    clsModeGame& game = WithHistory(2);
    Root().Click(kCmdWheelForward);
    std::vector<long> films;
    for (const auto& rect : Root().GameView()->EvRects())
        if (rect->STag.starts_with("log_") && rect->STag != "log_cvplay")
            films.push_back(rect->FilmID);
    // The back, four voice icons, four ways back to a page, five buttons.
    ASSERT_EQ(films.size(), 1u + 4u + 4u + 5u);
    game.LogModeEnd();
    for (const long film : films) {
        int32_t pos[2] = {0, 0};
        EXPECT_NE(GetFilmProp(static_cast<int32_t>(film), FP_POS, pos), 0) << film;
    }
}

TEST_F(LogMode, ALongVoiceIsWaitedForInPieces) {
    clsModeGame& game = WithHistory(1);
    Root().Click(kCmdWheelForward);
    std::vector<std::string> played;
    game.Log().PlayVoice = [&](const std::string& voice) {
        played.push_back(voice);
        return 70000L;
    };
    Root().Click(kCmdClick, Root().RectByTag("log_cv", 3));
    EXPECT_EQ(game.Log().PlayingLine(), 3);
    EXPECT_EQ(Root().armed.time, 1);
    EXPECT_EQ(Root().armed.rect, Root().RectByTag("log_cvplay")->Index);
    Root().FireAutoClick();
    EXPECT_EQ(played, std::vector<std::string>{"a01_001"});
    EXPECT_EQ(Root().armed.time, 50000);
    Root().FireAutoClick();
    EXPECT_EQ(Root().armed.time, 20300);
    EXPECT_EQ(played.size(), 1u);
    Root().FireAutoClick();  // every voice of the line was played
    EXPECT_EQ(game.Log().PlayingLine(), -1);
    EXPECT_EQ(Root().armed.time, 0);
}

TEST_F(LogMode, AVoiceThatDoesNotPlayMovesOn) {
    clsModeGame& game = WithHistory(1);
    Root().Click(kCmdWheelForward);
    game.Log().PlayVoice = [](const std::string&) { return -1L; };
    game.PlayCVAry(3);
    Root().FireAutoClick();
    EXPECT_EQ(Root().armed.time, 1);
    Root().FireAutoClick();
    EXPECT_EQ(game.Log().PlayingLine(), -1);
}

}  // namespace
}  // namespace zelk
