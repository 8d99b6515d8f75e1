// The window around the picture: scaling, the full-screen menu band, the
// menus' state across screen modes, and the view's saved section.
#include <gtest/gtest.h>

#include "common/numbers.h"
#include "drivers/lumo_driver.h"
#include "interpreter/fake_interpreter_host.h"
#include "interpreter/interpreter.h"
#include "lumo.h"
#include "modes/play_support.h"
#include "platform/screen_surface.h"
#include "platform/screen_window.h"
#include "settings/ini_file.h"
#include "settings/ini_io.h"
#include "view_test_support.h"

namespace zelk::testing {
namespace {

using ViewWindow = ViewTest;

// A window smaller than the screen has fewer pixels than the screen: there
// a pointer can only be within a pixel of where it was meant to be.
TEST_F(ViewWindow, AClickLandsOnTheSameScreenPixelAtEveryWindowSize) {
    const long target = AddRect(300, 200, 339, 239, clsEventRect::kLeftClick).Index;
    for (const SDL_Point size : {SDL_Point{1280, 960}, SDL_Point{1000, 500}, SDL_Point{640, 504}}) {
        SDL_SetWindowSize(view->Window(), size.x, size.y);
        const int slack = size.y < 480 + ScreenWindow::kMenuBarHeight ? 1 : 0;
        for (const SDL_Point pixel :
             {SDL_Point{300, 200}, SDL_Point{339, 239}, SDL_Point{0, 0}, SDL_Point{639, 479}}) {
            const SDL_Point there = view->ScreenToWindow(pixel.x, pixel.y);
            const SDL_Point back = view->WindowToScreen(there.x, there.y);
            EXPECT_NEAR(back.x, pixel.x, slack) << size.x << "x" << size.y;
            EXPECT_NEAR(back.y, pixel.y, slack) << size.x << "x" << size.y;
        }
        root.commands.clear();
        view->HandleEvent(Button(320, 220));
        ASSERT_EQ(root.commands.size(), 1u);
        EXPECT_EQ(root.commands[0].rect, target);
    }
}

TEST_F(ViewWindow, TheWidePictureIsLetterboxedWithItsAspectKept) {
    SDL_SetWindowSize(view->Window(), 1000, 500);
    // The band of the menus is on top; the rest holds a 4:3 picture,
    // centred across.
    const SDL_Point topLeft = view->ScreenToWindow(0, 0);
    const SDL_Point bottomRight = view->ScreenToWindow(639, 479);
    const int height = bottomRight.y - topLeft.y;
    const int width = bottomRight.x - topLeft.x;
    EXPECT_NEAR(static_cast<double>(width) / height, 640.0 / 480.0, 0.02);
    EXPECT_GE(topLeft.y, ScreenWindow::kMenuBarHeight);
    EXPECT_NEAR(topLeft.x, 1000 - bottomRight.x, 2);
    // A point on the black border lies outside the screen.
    const SDL_Point border = view->WindowToScreen(5, 250);
    EXPECT_LT(border.x, 0);
}

TEST_F(ViewWindow, InFullScreenTheMenusShowAtTheTopAndHideBelowTheBar) {
    view->ScreenMode(kScreenFull);
    SDL_Event motion{};
    motion.type = SDL_MOUSEMOTION;
    auto moveTo = [&](int y) {
        motion.motion.y = y;
        view->HandleEvent(motion);
    };
    EXPECT_FALSE(view->MenusShown());
    moveTo(100);
    EXPECT_FALSE(view->MenusShown());
    moveTo(10);
    EXPECT_TRUE(view->MenusShown());
    moveTo(30);  // between the two edges: stays
    EXPECT_TRUE(view->MenusShown());
    moveTo(41);
    EXPECT_FALSE(view->MenusShown());
    moveTo(30);
    EXPECT_FALSE(view->MenusShown());
}

TEST_F(ViewWindow, MenuStatesSurviveTheSwitchBetweenWindowAndFullScreen) {
    view->MenuEnableByText("file!qsave, message!log");
    EXPECT_FALSE(view->MenuItem("file!saveload")->Enabled);
    EXPECT_TRUE(view->MenuItem("file!qsave")->Enabled);
    EXPECT_TRUE(view->MenuItem("message!log")->Enabled);
    EXPECT_TRUE(view->MenuItem("help!version")->Enabled);  // never touched
    view->AutoClickEnabled(true);
    view->TextSpeed(4);

    view->ScreenMode(kScreenFull);
    EXPECT_TRUE(view->MenuItem("screen!full")->Checked);
    EXPECT_FALSE(view->MenuItem("screen!window")->Checked);
    view->ScreenMode(kScreenWindow);
    EXPECT_TRUE(view->MenuItem("screen!window")->Checked);
    EXPECT_FALSE(view->MenuItem("file!saveload")->Enabled);
    EXPECT_TRUE(view->MenuItem("file!qsave")->Enabled);
    EXPECT_TRUE(view->MenuItem("message!auto")->Checked);
    EXPECT_TRUE(view->MenuItem("message!slow")->Checked);
    EXPECT_FALSE(view->MenuItem("message!normal")->Checked);
    EXPECT_EQ(view->MenuItem("nothing!here"), nullptr);
}

TEST_F(ViewWindow, AnUnknownScreenModeIsAnError) {
    try {
        view->ScreenMode(7);
        FAIL() << "no error";
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), "不正なスクリーンモード指定");
    }
    EXPECT_EQ(view->ScreenMode(), kScreenWindow);
}

TEST_F(ViewWindow, TextSpeedOutsideItsRangeIsNormal) {
    view->TextSpeed(9);
    EXPECT_EQ(view->TextSpeed(), 2);
    view->TextSpeed(-1);
    EXPECT_EQ(view->TextSpeed(), 2);
}

TEST_F(ViewWindow, TheSavedSectionKeepsTheScenarioRectanglesOnly) {
    view->SiteName("第一章");
    clsEventRect& own = AddRect(10, 20, 30, 40, clsEventRect::kLeftClick, 3);
    own.ClickScript = "click.a";
    view->EvRects().Add(0, "wndbutton");
    view->EvRects().Add(0, "selectionitem");
    INISection section;
    view->SaveStatus(section);
    EXPECT_EQ(section.KeyValue("SiteName"), "第一章");
    EXPECT_EQ(section.KeyValue("ERCount"), "1");
    const std::string saved = own.SavedForm();
    EXPECT_EQ(section.KeyValue("ER000"), saved);

    view->EvRects().Clear();
    view->SiteName("");
    view->LoadStatus(section);
    EXPECT_EQ(view->SiteName(), "第一章");
    EXPECT_STREQ(SDL_GetWindowTitle(view->Window()), "第一章");
    ASSERT_EQ(view->EvRects().Count(), 1);
    EXPECT_EQ(view->EvRects().All()[0]->SavedForm(), saved);
}

TEST_F(ViewWindow, AScenarioErrorRidesInTheTitleUntilItIsCleared) {
    view->SiteName("坂の上の灯台");
    view->ScenarioError("s01.txt:42: ラベル表現'x'が不正です。");
    EXPECT_STREQ(SDL_GetWindowTitle(view->Window()),
                 "坂の上の灯台 — s01.txt:42: ラベル表現'x'が不正です。");
    // The first error of a page stays; the site may change under it.
    view->ScenarioError("s01.txt:43: later");
    view->SiteName("浜辺");
    EXPECT_EQ(view->WindowTitle(), "浜辺 — s01.txt:42: ラベル表現'x'が不正です。");
    // A save keeps the site name alone.
    INISection section;
    view->SaveStatus(section);
    EXPECT_EQ(section.KeyValue("SiteName"), "浜辺");

    view->ClearScenarioError();
    EXPECT_STREQ(SDL_GetWindowTitle(view->Window()), "浜辺");
    view->ScenarioError("s01.txt:43: later");
    EXPECT_EQ(view->ScenarioErrorNote(), "s01.txt:43: later");
}

TEST_F(ViewWindow, ANewWindowTakesTheTitleWithTheError) {
    view->SiteName("灯台");
    view->ScenarioError("main.txt:3: x");
    view->ScreenMode(kScreenNone);
    view->ScreenMode(kScreenWindow);
    ASSERT_NE(view->Window(), nullptr);
    EXPECT_STREQ(SDL_GetWindowTitle(view->Window()), "灯台 — main.txt:3: x");
}

// Task bars and window switchers name the window before any scenario has
// named its site.
TEST_F(ViewWindow, TheWindowIsTitledWithTheSiteAndTheGamesTitle) {
    INIFile system;
    system.Text("[Game]\r\nTitle=ひかりの手紙\r\n");
    root.systemInfo = &system;
    view->SiteName("");
    EXPECT_STREQ(SDL_GetWindowTitle(view->Window()), "ひかりの手紙");
    view->SiteName("灯台");
    EXPECT_STREQ(SDL_GetWindowTitle(view->Window()), "灯台 — ひかりの手紙");
    view->ScenarioError("main.txt:3: x");
    EXPECT_STREQ(SDL_GetWindowTitle(view->Window()), "灯台 — ひかりの手紙 — main.txt:3: x");
    view->ClearScenarioError();
    view->SiteName("");
    EXPECT_STREQ(SDL_GetWindowTitle(view->Window()), "ひかりの手紙");
    // A window made later takes the same title.
    view->ScreenMode(kScreenNone);
    view->ScreenMode(kScreenWindow);
    EXPECT_STREQ(SDL_GetWindowTitle(view->Window()), "ひかりの手紙");
}

TEST_F(ViewWindow, ThePictureShowsItsBackgroundUntilTheEngineDrawsIntoIt) {
    const std::string shot = ::testing::TempDir() + "zelk-view-background.png";
    view->PictureBackColor(0xFFFFFF);
    ASSERT_TRUE(view->SaveScreenPicture(shot));
    Rgb picture = LoadRgb(shot);
    ASSERT_EQ(picture.w, 640);
    EXPECT_EQ(picture.At(0, 0)[0], 255);
    EXPECT_EQ(picture.At(639, 479)[2], 255);
    // A frame of the engine's is never painted over by the background.
    ScreenSurface& surface = view->Picture();
    surface.Lock();
    std::fill(surface.Pixels(), surface.Pixels() + surface.Stride() * 480, std::uint8_t{0});
    surface.Unlock();
    surface.Presented({0, 0, 640, 480});
    view->PictureBackColor(0xFFFFFF);
    ASSERT_TRUE(view->SaveScreenPicture(shot));
    picture = LoadRgb(shot);
    EXPECT_EQ(picture.At(320, 240)[0], 0);
}

// A box drawn into a minimised window would wait unseen for its answer.
TEST_F(ViewWindow, AMinimisedWindowIsNotShownOnScreen) {
    EXPECT_TRUE(view->ShownOnScreen());
    SDL_Event event{};
    event.type = SDL_WINDOWEVENT;
    event.window.windowID = SDL_GetWindowID(view->Window());
    event.window.event = SDL_WINDOWEVENT_MINIMIZED;
    view->HandleEvent(event);
    EXPECT_FALSE(view->ShownOnScreen());
    event.window.event = SDL_WINDOWEVENT_RESTORED;
    view->HandleEvent(event);
    EXPECT_TRUE(view->ShownOnScreen());
    view->Visible(false);
    EXPECT_FALSE(view->ShownOnScreen());
}

TEST_F(ViewWindow, ABrokenSavedRectangleIsLeftOut) {
    INISection section;
    section.KeyValue("ERCount", "2");
    section.KeyValue("ER000", "1,2,3");
    view->LoadStatus(section);
    EXPECT_EQ(view->EvRects().Count(), 0);
}

TEST_F(ViewWindow, ADamagedRectangleCountReadsOnlyTheRectanglesThere) {
    clsEventRect model(0);
    model.Move(1, 2, 3, 4);
    INISection section;
    // A count as large as a number can be: reading it key by key took hours.
    section.KeyValue("ERCount", "2147483647");
    section.KeyValue("ER000", model.SavedForm());
    section.KeyValue("ER001", "broken");
    section.KeyValue("er1234", model.SavedForm());
    section.KeyValue("ER0005", model.SavedForm());  // not a key the view writes
    section.KeyValue("ER007", model.SavedForm());
    view->LoadStatus(section);
    ASSERT_EQ(view->EvRects().Count(), 3);
    for (const auto& rect : view->EvRects())
        EXPECT_EQ(rect->x1, 1);
    // In key order, numbered as ever.
    EXPECT_EQ(view->EvRects().All()[2]->Index, 2);

    // The count still limits what is read.
    view->EvRects().Clear();
    section.KeyValue("ERCount", "8");
    view->LoadStatus(section);
    EXPECT_EQ(view->EvRects().Count(), 2);
}

TEST_F(ViewWindow, TheMenuCommandsReachTheRoot) {
    MakeConfig(
        "QueryQuickLoad=False\r\nQueryExit=False\r\nQueryRestartTitle=False\r\n"
        "TextSpeed=2\r\nTextAutoClick=False\r\nQueryQuickSave=False\r\n");
    view->MenuCmd("file", "qsave");
    view->MenuCmd("file", "qload");
    EXPECT_EQ(root.quickSaves, 1);
    EXPECT_EQ(root.quickLoads, 1);
    view->MenuCmd("message", "skip");
    EXPECT_TRUE(root.skip);
    EXPECT_EQ(root.autoClickTime, 1);
    view->MenuCmd("message", "log");
    EXPECT_EQ(root.logStarts, 1);  // in the game mode
    root.mode = 1;
    view->MenuCmd("message", "log");
    EXPECT_EQ(root.logStarts, 1);
    view->MenuCmd("message", "slow");
    EXPECT_EQ(root.cfg->LongVal("TextSpeed"), 4);
    view->MenuCmd("file", "title");
    EXPECT_EQ(root.restarts, 1);
    EXPECT_FALSE(view->EventEnabled());
    view->MenuCmd("file", "exit");
    EXPECT_EQ(root.closes, 1);
}

// A speed item ends as the auto item does: in auto mode the wait under way
// is armed again from the interpreter's interval, and the window's state
// picture follows the auto mode.
TEST_F(ViewWindow, ASpeedItemReArmsTheAutoClickAndUpdatesTheWindowState) {
    MakeConfig("TextSpeed=2\r\nTextAutoClick=True\r\n");
    FakeInterpreterHost host;
    clsInterpreter intprt(host);
    intprt.LastAutoClickTimer(2500);
    // The root lends these two for this test only, whatever its end.
    struct Lent {
        RecordingRoot& root;
        ~Lent() {
            root.intprt = nullptr;
            root.lumo = nullptr;
        }
    } lent{root};
    root.intprt = &intprt;
    INIFile gameMode;
    std::string text;
    ASSERT_TRUE(ReadTextFile(ZELK_SOURCE_DIR "/games/demo/game_mode.ini", text));
    gameMode.Text(text);
    LumoDriverHooks hooks;
    hooks.EvRects = &view->EvRects();
    hooks.GamemodeInfo = &gameMode;
    hooks.ImageDir = ZELK_SOURCE_DIR "/games/demo/image";
    hooks.CGFileMode = true;
    hooks.AutoClickEnabled = [this] { return view->AutoClickEnabled(); };
    hooks.ConfigBool = [](const std::string&) { return false; };
    clsLumoDriver lumo(std::move(hooks));
    ASSERT_TRUE(lumo.Init());
    lumo.BaseFilmSet(2);
    root.lumo = &lumo;
    // The engine's frame thread runs the queue when its frame is due, which
    // under load may be after the menu item: run what is queued first.
    auto stateCell = [&] {
        ExeQueue();
        int32_t words[2] = {-1, -1};
        GetFilmProp(lumo.FIDState(), FP_CELL_Y, words);
        return words[0];
    };
    const long autoCell = ReadLong(gameMode.KeySection("WindowMode").KeyValue("StateAutoIndex"));
    ASSERT_NE(autoCell, 0);
    ASSERT_EQ(stateCell(), 0);

    // The settings dialog turned auto mode on; a speed item keeps it on.
    view->AutoClickEnabled(true);
    view->MenuCmd("message", "semislow");
    EXPECT_EQ(root.cfg->LongVal("TextSpeed"), 3);
    EXPECT_TRUE(root.cfg->BoolVal("TextAutoClick"));
    EXPECT_EQ(root.arms, std::vector<long>{2500});
    EXPECT_EQ(stateCell(), autoCell);

    // Without auto mode nothing is armed, and the state picture goes back.
    view->AutoClickEnabled(false);
    view->MenuCmd("message", "fast");
    EXPECT_EQ(root.cfg->LongVal("TextSpeed"), 0);
    EXPECT_EQ(root.arms.size(), 1u);
    EXPECT_EQ(stateCell(), 0);
}

}  // namespace
}  // namespace zelk::testing
