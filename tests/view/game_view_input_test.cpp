// The view's input rules: which screen commands a reader's pointer, wheel
// and keys produce.
#include <gtest/gtest.h>

#include "platform/event_pump.h"
#include "platform/question_box.h"
#include "view_test_support.h"

namespace zelk::testing {
namespace {

using InputRules = ViewTest;

TEST_F(InputRules, AClickHitsTheLastRectangleThatSensesItsButton) {
    const long under = AddRect(0, 0, 639, 479, clsEventRect::kLeftClick).Index;
    const long over = AddRect(100, 100, 200, 200, clsEventRect::kLeftClick).Index;
    AddRect(100, 100, 200, 200, clsEventRect::kRightClick);
    view->HandleEvent(Button(150, 150));
    view->HandleEvent(Button(50, 50));
    view->HandleEvent(Button(150, 150, SDL_BUTTON_RIGHT));
    ASSERT_EQ(root.commands.size(), 3u);
    EXPECT_EQ(root.commands[0].event, kCmdClick);
    EXPECT_EQ(root.commands[0].rect, over);
    EXPECT_EQ(root.commands[1].rect, under);
    EXPECT_EQ(root.commands[2].event, kCmdCancel);
    EXPECT_EQ(root.commands[2].rect, 2);
    EXPECT_EQ(root.commands[0].mode, 2);
}

TEST_F(InputRules, AClickWhileSkippingEndsSkipAndStillArrives) {
    root.skip = true;
    root.waitMode = 1;
    view->HandleEvent(Button(10, 10));
    EXPECT_FALSE(root.skip);
    ASSERT_EQ(root.commands.size(), 1u);
    EXPECT_EQ(root.commands[0].event, kCmdClick);

    // In a choice the skip goes on.
    root.skip = true;
    root.waitMode = 2;
    view->HandleEvent(Button(10, 10));
    EXPECT_TRUE(root.skip);
}

TEST_F(InputRules, NothingArrivesWhileInputIsOff) {
    view->EventEnabled(false);
    view->HandleEvent(Button(10, 10));
    view->HandleEvent(Key(SDLK_RETURN));
    view->HandleEvent(Motion(20, 20));
    EXPECT_TRUE(root.commands.empty());
}

TEST_F(InputRules, PointerMovesRaiseASelectionOnlyWhenItChanges) {
    const long rect = AddRect(100, 100, 200, 200, clsEventRect::kPoint).Index;
    view->HandleEvent(Motion(150, 150));
    view->HandleEvent(Motion(160, 160));
    view->HandleEvent(Motion(300, 300));
    ASSERT_EQ(root.commands.size(), 2u);
    EXPECT_EQ(root.commands[0].event, kCmdSelect);
    EXPECT_EQ(root.commands[0].rect, rect);
    EXPECT_EQ(root.commands[1].rect, -1);
    EXPECT_EQ(view->SelectedRect(), nullptr);
}

// Re-running the pointer's move where it stands is news only when the
// rectangle under it is another one than before.
TEST_F(InputRules, AForcedMoveRaisesASelectionOnlyWhenTheRectangleUnderThePointerChanged) {
    clsEventRect& rect = AddRect(100, 100, 200, 200, clsEventRect::kPoint);
    view->HandleEvent(Motion(150, 150));
    ASSERT_EQ(root.commands.size(), 1u);
    view->ForceMouseMove();
    view->ForceMouseMove();
    EXPECT_EQ(root.commands.size(), 1u) << "the pointer has not left its rectangle";
    ASSERT_NE(view->SelectedRect(), nullptr);
    EXPECT_EQ(view->SelectedRect()->Index, rect.Index);

    // A rectangle laid over it takes the pointer without a move.
    const long over = AddRect(120, 120, 180, 180, clsEventRect::kPoint).Index;
    view->ForceMouseMove();
    ASSERT_EQ(root.commands.size(), 2u);
    EXPECT_EQ(root.commands[1].event, kCmdSelect);
    EXPECT_EQ(root.commands[1].rect, over);
    // Once it is gone again the pointer is back on the first.
    view->EvRects().Remove(over);
    view->ForceMouseMove();
    ASSERT_EQ(root.commands.size(), 3u);
    EXPECT_EQ(root.commands[2].rect, rect.Index);
    // With the selected rectangle gone there is no selection left, and none
    // under the pointer is no news either.
    view->EvRects().Remove(rect.Index);
    view->ForceMouseMove();
    EXPECT_EQ(root.commands.size(), 3u);
    EXPECT_EQ(view->SelectedRect(), nullptr);
}

TEST_F(InputRules, UpAndDownFollowTheKeyboardOrder) {
    const long first = AddRect(0, 0, 10, 10, clsEventRect::kPoint, 1).Index;
    const long second = AddRect(0, 20, 10, 30, clsEventRect::kPoint, 5).Index;
    const long third = AddRect(0, 40, 10, 50, clsEventRect::kPoint, 9).Index;
    AddRect(0, 60, 10, 70, clsEventRect::kPoint, -1);
    clsEventRect& disabled = AddRect(0, 80, 10, 90, clsEventRect::kPoint, 20);
    disabled.Enabled = false;

    // With none selected Up takes the largest order, Down the smallest.
    view->HandleEvent(Key(SDLK_UP));
    view->HandleEvent(Key(SDLK_UP, false));
    ASSERT_NE(view->SelectedRect(), nullptr);
    EXPECT_EQ(view->SelectedRect()->Index, third);
    view->HandleEvent(Key(SDLK_UP));
    view->HandleEvent(Key(SDLK_UP, false));
    EXPECT_EQ(view->SelectedRect()->Index, second);
    view->HandleEvent(Key(SDLK_UP));
    view->HandleEvent(Key(SDLK_UP, false));
    view->HandleEvent(Key(SDLK_UP));  // nothing above the first
    view->HandleEvent(Key(SDLK_UP, false));
    EXPECT_EQ(view->SelectedRect()->Index, first);
    ASSERT_EQ(root.commands.size(), 3u);

    view->SelectionClear();
    view->HandleEvent(Key(SDLK_DOWN));
    EXPECT_EQ(view->SelectedRect()->Index, first);
    view->HandleEvent(Key(SDLK_DOWN, false));
    view->HandleEvent(Key(SDLK_DOWN));
    EXPECT_EQ(view->SelectedRect()->Index, second);

    // Enter clicks on the selection.
    view->HandleEvent(Key(SDLK_RETURN));
    EXPECT_EQ(root.commands.back().event, kCmdClick);
    EXPECT_EQ(root.commands.back().rect, second);
}

TEST_F(InputRules, EnterOnASelectionOutsideTheKeyboardOrderDoesNothing) {
    AddRect(100, 100, 200, 200, clsEventRect::kPoint, -1);
    view->HandleEvent(Motion(150, 150));
    root.commands.clear();
    view->HandleEvent(Key(SDLK_RETURN));
    EXPECT_TRUE(root.commands.empty());
    view->SelectionClear();
    view->HandleEvent(Key(SDLK_RETURN, false));
    view->HandleEvent(Key(SDLK_SPACE));
    ASSERT_EQ(root.commands.size(), 1u);
    EXPECT_EQ(root.commands[0].rect, -1);
}

TEST_F(InputRules, HoldingALetterGivesOneCommandAndHoldingCtrlMany) {
    view->HandleEvent(Key(SDLK_SPACE));
    for (int k = 0; k < 5; ++k)
        view->HandleEvent(Key(SDLK_SPACE, true, true));
    view->HandleEvent(Key(SDLK_SPACE, false));
    EXPECT_EQ(root.commands.size(), 1u);

    root.commands.clear();
    view->HandleEvent(Key(SDLK_LCTRL));
    for (int k = 0; k < 5; ++k)
        view->HandleEvent(Key(SDLK_LCTRL, true, true));
    EXPECT_EQ(root.commands.size(), 6u);
    EXPECT_TRUE(view->CtrlHeld());
    view->HandleEvent(Key(SDLK_LCTRL, false));
    EXPECT_FALSE(view->CtrlHeld());
}

TEST_F(InputRules, F5AsksTheRootForAReloadOncePerPressEvenWithInputOff) {
    view->HandleEvent(Key(SDLK_F5));
    for (int k = 0; k < 3; ++k)
        view->HandleEvent(Key(SDLK_F5, true, true));
    view->HandleEvent(Key(SDLK_F5, false));
    EXPECT_EQ(root.reloads, 1);
    EXPECT_TRUE(root.commands.empty());
    // A step in progress turns input off; the root decides when to reload.
    view->EventEnabled(false);
    view->HandleEvent(Key(SDLK_F5));
    EXPECT_EQ(root.reloads, 2);
}

TEST_F(InputRules, EscapeCancels) {
    view->HandleEvent(Key(SDLK_ESCAPE));
    ASSERT_EQ(root.commands.size(), 1u);
    EXPECT_EQ(root.commands[0].event, kCmdCancel);
}

TEST_F(InputRules, TheWheelCountsOnlyInItsWaits) {
    for (long wait : {0L, 1L, 2L, 6L}) {
        root.waitMode = wait;
        view->HandleEvent(Wheel(1));
    }
    EXPECT_TRUE(root.commands.empty());
    for (long wait : {3L, 4L, 5L}) {
        root.waitMode = wait;
        view->HandleEvent(Wheel(1));
        view->HandleEvent(Wheel(-2));
    }
    ASSERT_EQ(root.commands.size(), 6u);
    EXPECT_EQ(root.commands[0].event, kCmdWheelForward);
    EXPECT_EQ(root.commands[1].event, kCmdWheelBackward);
}

TEST_F(InputRules, MaximisingTheWindowAsksForTheWholeScreen) {
    view->HandleEvent(WindowEvent(SDL_WINDOWEVENT_MAXIMIZED));
    EventPump::Instance().ProcessPendingEvents();
    EXPECT_EQ(view->ScreenMode(), kScreenFull);
}

// With the developer's switch SubClassMode off the window is not hooked:
// the wheel, maximising and the focus are the platform's alone.
TEST_F(InputRules, WithoutTheHookTheWheelAndMaximisingDoNotReachTheGame) {
    Process().Debug.SubClassMode = false;
    view->ScreenMode(kScreenFull);
    view->ScreenMode(kScreenWindow);
    root.waitMode = 4;
    view->HandleEvent(Wheel(1));
    view->HandleEvent(Wheel(-1));
    EXPECT_TRUE(root.commands.empty());

    view->HandleEvent(WindowEvent(SDL_WINDOWEVENT_MAXIMIZED));
    EventPump::Instance().ProcessPendingEvents();
    EXPECT_EQ(view->ScreenMode(), kScreenWindow);

    // Switched on again, the next form is hooked.
    Process().Debug.SubClassMode = true;
    view->ScreenMode(kScreenFull);
    view->HandleEvent(Wheel(1));
    ASSERT_EQ(root.commands.size(), 1u);
    EXPECT_EQ(root.commands[0].event, kCmdWheelForward);
}

// The hook's size limit holds the window in window mode, not in full screen,
// and only while the window is hooked.
TEST_F(InputRules, TheHooksMaximumSizeLimitsTheWindow) {
    SDL_Window* window = view->Window();
    int w = 0, h = 0;
    view->MaxWindowSize(800, 620);
    SDL_SetWindowSize(window, 1600, 1200);
    SDL_GetWindowSize(window, &w, &h);
    EXPECT_EQ(w, 800);
    EXPECT_EQ(h, 620);

    view->MaxWindowSize(0, 0);
    SDL_SetWindowSize(window, 1000, 900);
    SDL_GetWindowSize(window, &w, &h);
    EXPECT_EQ(w, 1000) << "0 by 0 lifts the limit";
    EXPECT_EQ(h, 900);

    view->MaxWindowSize(800, 620);
    Process().Debug.SubClassMode = false;
    view->ScreenMode(kScreenFull);
    view->ScreenMode(kScreenWindow);
    SDL_SetWindowSize(window, 1000, 900);
    SDL_GetWindowSize(window, &w, &h);
    EXPECT_EQ(w, 1000) << "without the hook nothing limits it";
    EXPECT_EQ(h, 900);
}

TEST_F(InputRules, AltEnterSwitchesToFullScreenAndBack) {
    root.screenModeChanges = 0;
    view->HandleEvent(Key(SDLK_RETURN, true, false, KMOD_LALT));
    view->HandleEvent(Key(SDLK_RETURN, false));
    EXPECT_EQ(view->ScreenMode(), kScreenFull);
    view->HandleEvent(Key(SDLK_RETURN, true, false, KMOD_LALT));
    view->HandleEvent(Key(SDLK_RETURN, false));
    EXPECT_EQ(view->ScreenMode(), kScreenWindow);
    EXPECT_TRUE(root.commands.empty());
    EXPECT_EQ(root.screenModeChanges, 2);
}

TEST_F(InputRules, FullScreenIsRefusedWhenTheDisplayCannotShowIt) {
    Process().FullScreenAvailable = false;
    view->MenuCmd("screen", "full");
    view->HandleEvent(Key(SDLK_RETURN, true, false, KMOD_LALT));
    EXPECT_EQ(view->ScreenMode(), kScreenWindow);
}

SDL_Event CloseBox() {
    SDL_Event close{};
    close.type = SDL_WINDOWEVENT;
    close.window.event = SDL_WINDOWEVENT_CLOSE;
    return close;
}

TEST_F(InputRules, TheCloseBoxAsksAndOnlyAYesClosesThePlayer) {
    MakeConfig("QueryExit=True\r\n");
    root.answer = 7;
    view->HandleEvent(CloseBox());
    EXPECT_EQ(root.closes, 0);
    ASSERT_EQ(root.asked.size(), 1u);
    EXPECT_EQ(root.asked[0], "ゲームを終了しますか。");
    root.answer = 6;
    view->HandleEvent(CloseBox());
    EXPECT_EQ(root.closes, 1);
    EXPECT_EQ(root.asked.size(), 2u);
}

TEST_F(InputRules, WithoutTheExitQuestionTheCloseBoxClosesAtOnce) {
    MakeConfig("QueryExit=False\r\n");
    view->HandleEvent(CloseBox());
    EXPECT_EQ(root.closes, 1);
    EXPECT_TRUE(root.asked.empty());
}

// While a step runs the close box is refused like any other input, however
// often it is pressed, and nothing of it comes back once the game waits for
// the reader again.
TEST_F(InputRules, TheCloseBoxIsRefusedWhileInputIsOffAndNotKeptForLater) {
    MakeConfig("QueryExit=True\r\n");
    view->EventEnabled(false);
    now += std::chrono::seconds(2);
    view->HandleEvent(CloseBox());
    view->HandleEvent(CloseBox());
    now += std::chrono::milliseconds(500);
    view->HandleEvent(CloseBox());
    EXPECT_EQ(root.closes, 0);
    EXPECT_TRUE(root.asked.empty());

    view->EventEnabled(true);
    EventPump::Instance().ProcessPendingEvents();
    EXPECT_EQ(root.closes, 0);
    EXPECT_TRUE(root.asked.empty());
}

// A game that has not waited for its reader for ten seconds may have hung:
// its close box asks the reader's question, as it does while the game waits.
TEST_F(InputRules, AGameBusyForTenSecondsAsksBeforeItCloses) {
    MakeConfig("QueryExit=True\r\n");
    view->EventEnabled(false);
    now += std::chrono::milliseconds(9900);
    view->HandleEvent(CloseBox());
    EXPECT_TRUE(root.asked.empty());

    now += std::chrono::milliseconds(100);
    root.answer = 7;
    view->HandleEvent(CloseBox());
    ASSERT_EQ(root.asked.size(), 1u);
    EXPECT_EQ(root.asked[0], "ゲームを終了しますか。");
    EXPECT_EQ(root.closes, 0);
    root.answer = 6;
    view->HandleEvent(CloseBox());
    EXPECT_EQ(root.closes, 1);

    // Input on for a moment starts the count again: the game is alive.
    view->EventEnabled(true);
    view->EventEnabled(false);
    now += std::chrono::seconds(5);
    view->HandleEvent(CloseBox());
    EXPECT_EQ(root.asked.size(), 2u);
    EXPECT_EQ(root.closes, 1);
}

// Input is off from the start until the game first waits for its reader.
TEST_F(InputRules, AGameThatNeverTookInputAsksAfterTenSeconds) {
    MakeConfig("QueryExit=False\r\n");
    clsGameView fresh(root, [this] { return now; });
    fresh.ScreenMode(kScreenWindow);
    fresh.HandleEvent(CloseBox());
    EXPECT_EQ(root.closes, 0);
    now += std::chrono::seconds(10);
    fresh.HandleEvent(CloseBox());
    EXPECT_EQ(root.closes, 1);
}

TEST_F(InputRules, ASignalClosesWithoutAQuestion) {
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    view->HandleEvent(quit);
    EXPECT_EQ(root.closes, 1);
    EXPECT_TRUE(root.asked.empty());
}

}  // namespace
}  // namespace zelk::testing
