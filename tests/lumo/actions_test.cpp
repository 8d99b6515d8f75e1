// Actions: programs, their timing and their notifications. Time is given by
// hand with ProgressAction; the fixture's frame loop runs once a second.
#include <initializer_list>
#include <string>

#include "lumo_host.h"

using namespace lumo_test;

namespace {

int32_t program(int32_t target, std::initializer_list<int32_t> words, int32_t speed = 1000) {
    const int32_t action = AddAction();
    EXPECT_GE(action, 0);
    CallActMethod(action, AM_CLEAR, nullptr);
    for (int32_t word : words)
        CallActMethod(action, AM_APPEND, &word);
    const int32_t zero = 0;
    SetActProp(action, AP_START, &zero);
    SetActProp(action, AP_TARGET, &target);
    SetActProp(action, AP_SPEED, &speed);
    return action;
}

void start(int32_t action) {
    ASSERT_EQ(CallActMethod(action, AM_START, nullptr), 0);
}

int32_t stateOf(int32_t action) {
    int32_t state = 0;
    EXPECT_EQ(GetActProp(action, AP_STATE, &state), 0);
    return state;
}

// True when the notifications up to a marker posted now hold `code` for `id`.
bool posted(Notifications& notes, int code, int id) {
    const std::size_t before = notes.messages().size();
    RaiseLumoEvent(0x7FFF0000, 0, 0);
    EXPECT_TRUE(notes.waitFor(before + 1));
    for (const auto& m : notes.messages()) {
        if (m.wparam == code * 65536 + id) return true;
    }
    return false;
}

}  // namespace

TEST_F(LumoTest, WaitEndsInTheFourthStepAndTheOvershootCarriesOn) {
    Notifications notes;
    const int32_t film = AddFilm(FT_IMAGE);
    const int32_t action =
        program(film, {AC_WAIT, 100, AC_MOVE_BY, FP_X, 64, 64, AC_WAIT, 1000, AC_END});
    start(action);
    for (int step = 1; step <= 3; ++step) {
        ProgressAction(33);
        EXPECT_EQ(filmProp(film, FP_X), 0) << step;
    }
    ProgressAction(33);  // 132 ms: 32 ms left over for the move
    EXPECT_EQ(filmProp(film, FP_X), 32);
    ProgressAction(40);  // the move needs 32 of these, the wait has 8
    EXPECT_EQ(filmProp(film, FP_X), 64);
    EXPECT_EQ(stateOf(action), AS_RUNNING);
}

TEST_F(LumoTest, WaitThenEndStopsInTheFourthStepWithANotification) {
    Notifications notes;
    const int32_t film = AddFilm(FT_IMAGE);
    const int32_t action = program(film, {AC_WAIT, 100, AC_END});
    start(action);
    for (int step = 1; step <= 3; ++step)
        ProgressAction(33);
    EXPECT_EQ(stateOf(action), AS_RUNNING);
    ProgressAction(33);
    EXPECT_EQ(stateOf(action), AS_STOPPED);
    EXPECT_TRUE(posted(notes, EV_ACT_END, action));
}

TEST_F(LumoTest, SpeedScalesDurations) {
    const int32_t film = AddFilm(FT_IMAGE);
    const int32_t action =
        program(film, {AC_MOVE_TO, FP_ALPHA, 0, 10, AC_MOVE_TO, FP_ALPHA, 256, 1000, AC_END}, 500);
    start(action);
    ProgressAction(5);  // the 5 ms move to 0 (10 ms at half length)
    EXPECT_EQ(filmProp(film, FP_ALPHA), 0);
    ProgressAction(250);
    EXPECT_EQ(filmProp(film, FP_ALPHA), 128);
    ProgressAction(250);
    EXPECT_EQ(filmProp(film, FP_ALPHA), 256);
    EXPECT_EQ(stateOf(action), AS_RUNNING) << "no time was left for AC_END";
    ProgressAction(1);
    EXPECT_EQ(stateOf(action), AS_STOPPED);
}

TEST_F(LumoTest, MovesAddOnlyTheirDifference) {
    const int32_t film = AddFilm(FT_IMAGE);
    const int32_t action = program(film, {AC_MOVE2_BY, FP_POS, 100, -50, 100, AC_END});
    start(action);
    ProgressAction(50);
    setProp(film, FP_X, 1000);  // a change of the host meanwhile
    ProgressAction(50);
    EXPECT_EQ(filmProp(film, FP_X), 1050);
    EXPECT_EQ(filmProp(film, FP_Y), -50);
}

TEST_F(LumoTest, ZeroDurationMoveAppliesAtOnce) {
    const int32_t film = AddFilm(FT_IMAGE);
    const int32_t action = program(film, {AC_MOVE_TO, FP_X, 77, 0, AC_WAIT, 1000});
    start(action);
    ProgressAction(1);
    EXPECT_EQ(filmProp(film, FP_X), 77);
}

TEST_F(LumoTest, FinishCompletesTheMoveAndEndsAtTheLoop) {
    Notifications notes;
    const int32_t film = AddFilm(FT_IMAGE);
    const int32_t action = program(film, {AC_MOVE_BY, FP_X, 100, 1000, AC_LOOP});
    start(action);
    ProgressAction(100);
    EXPECT_EQ(filmProp(film, FP_X), 10);
    ASSERT_EQ(CallActMethod(action, AM_FINISH, nullptr), 0);
    EXPECT_EQ(stateOf(action), AS_FINISHING);
    ProgressAction(1);
    EXPECT_EQ(filmProp(film, FP_X), 100);
    EXPECT_EQ(stateOf(action), AS_STOPPED);
    EXPECT_TRUE(posted(notes, EV_ACT_END, action));
    EXPECT_FALSE(posted(notes, EV_ACT_LOOP, action));
}

TEST_F(LumoTest, LoopStartsOverAndSaysSo) {
    Notifications notes;
    const int32_t film = AddFilm(FT_IMAGE);
    const int32_t action = program(film, {AC_MOVE_BY, FP_X, 10, 10, AC_LOOP});
    start(action);
    ProgressAction(25);
    EXPECT_EQ(filmProp(film, FP_X), 25);
    EXPECT_TRUE(posted(notes, EV_ACT_LOOP, action));
}

TEST_F(LumoTest, WaitMinusOneStopsSilently) {
    Notifications notes;
    const int32_t film = AddFilm(FT_IMAGE);
    const int32_t action = program(film, {AC_WAIT, -1, AC_END});
    start(action);
    ProgressAction(10);
    EXPECT_EQ(stateOf(action), AS_STOPPED);
    EXPECT_FALSE(posted(notes, EV_ACT_END, action));
}

TEST_F(LumoTest, PositionBeyondTheProgramIsIgnored) {
    const int32_t film = AddFilm(FT_IMAGE);
    const int32_t action =
        program(film, {AC_MOVE_BY, FP_X, 5, 0, AC_MOVE_BY, FP_Y, 7, 0, AC_WAIT, -1});
    const int32_t second = 4, beyond = 10;
    ASSERT_EQ(SetActProp(action, AP_POSITION, &second), 0);
    ASSERT_EQ(SetActProp(action, AP_POSITION, &beyond), 0);
    ASSERT_EQ(CallActMethod(action, AM_RESUME, nullptr), 0);
    ProgressAction(1);
    EXPECT_EQ(filmProp(film, FP_X), 0);
    EXPECT_EQ(filmProp(film, FP_Y), 7);
}

TEST_F(LumoTest, RunningPastTheLastWordEndsTheAction) {
    Notifications notes;
    const int32_t film = AddFilm(FT_IMAGE);
    const int32_t action = program(film, {AC_NOP, AC_MOVE_BY, FP_X});  // operands cut short
    start(action);
    ProgressAction(10);
    EXPECT_EQ(stateOf(action), AS_STOPPED);
    EXPECT_TRUE(posted(notes, EV_ACT_END, action));
}

TEST_F(LumoTest, EndlessInstantLoopIsStopped) {
    const int32_t film = AddFilm(FT_IMAGE);
    const int32_t action = program(film, {AC_NOP, AC_JUMP, 0});
    start(action);
    ProgressAction(10);
    EXPECT_EQ(stateOf(action), AS_STOPPED);
}

TEST_F(LumoTest, UnknownOpcodeStopsTheAction) {
    const int32_t film = AddFilm(FT_IMAGE);
    const int32_t action = program(film, {0x20029999, AC_MOVE_BY, FP_X, 5, 0});
    start(action);
    ProgressAction(10);
    EXPECT_EQ(stateOf(action), AS_STOPPED);
    EXPECT_EQ(filmProp(film, FP_X), 0);
}

TEST_F(LumoTest, ProgramEditsAreRefusedWhileRunning) {
    const int32_t film = AddFilm(FT_IMAGE);
    const int32_t action = program(film, {AC_WAIT, 100, AC_MOVE_BY, FP_X, 5, 0, AC_END});
    start(action);
    const int32_t word = AC_END;
    CallActMethod(action, AM_CLEAR, nullptr);
    CallActMethod(action, AM_APPEND, &word);
    ProgressAction(101);
    EXPECT_EQ(filmProp(film, FP_X), 5);
}

TEST_F(LumoTest, StopKeepsTheStepInProgress) {
    const int32_t film = AddFilm(FT_IMAGE);
    const int32_t action = program(film, {AC_WAIT, 100, AC_MOVE_BY, FP_X, 5, 0, AC_END});
    start(action);
    ProgressAction(60);
    CallActMethod(action, AM_STOP, nullptr);
    int32_t enabled = -1;
    GetActProp(action, AP_ENABLED, &enabled);
    EXPECT_EQ(enabled, 0);
    ProgressAction(60);
    EXPECT_EQ(filmProp(film, FP_X), 0);
    CallActMethod(action, AM_RESUME, nullptr);
    ProgressAction(41);
    EXPECT_EQ(filmProp(film, FP_X), 5) << "the wait had 40 ms left";
}

TEST_F(LumoTest, CellStepsAndMethodsActOnTheTarget) {
    const int32_t film = makeFilm(FT_IMAGE, -1, 0, 0, 10, 10);
    setProp(film, FP_IMAGE_SIZE, 40, 10);
    const int32_t action = program(film, {AC_CELL_X, 2, AC_METHOD, FM_FILL, 0x0000FF, AC_WAIT, -1});
    start(action);
    ProgressAction(1);
    EXPECT_EQ(filmProp(film, FP_SRC_X), 20);
    EXPECT_EQ(pixel(film, 0, 0), (Bgr{0, 0, 255}));
}

TEST_F(LumoTest, RetargetMovesTheActionToAnotherFilm) {
    const int32_t first = AddFilm(FT_IMAGE), second = AddFilm(FT_IMAGE);
    const int32_t action = program(first, {AC_RETARGET, second, AC_MOVE_BY, FP_X, 3, 0, AC_END});
    start(action);
    ProgressAction(1);
    EXPECT_EQ(filmProp(second, FP_X), 3);
    EXPECT_EQ(filmProp(first, FP_X), 0);
    int32_t target = -1;
    GetActProp(action, AP_TARGET, &target);
    EXPECT_EQ(target, second);
}

TEST_F(LumoTest, RemovingTheTargetHaltsItsActions) {
    const int32_t film = AddFilm(FT_IMAGE);
    const int32_t action = program(film, {AC_WAIT, 1000, AC_END});
    start(action);
    ASSERT_EQ(RemoveFilm(film), 0);
    EXPECT_EQ(stateOf(action), AS_STOPPED);
    int32_t enabled = -1;
    GetActProp(action, AP_ENABLED, &enabled);
    EXPECT_EQ(enabled, 1);
}

TEST_F(LumoTest, ActionSlotsAreReusedAfterRemoval) {
    EXPECT_EQ(AddAction(), 0);
    EXPECT_EQ(AddAction(), 1);
    ASSERT_EQ(RemoveAction(0), 0);
    int32_t state;
    EXPECT_EQ(GetActProp(0, AP_STATE, &state), -1);
    EXPECT_EQ(AddAction(), 0);
    int32_t speed = 0;
    ASSERT_EQ(GetActProp(0, AP_SPEED, &speed), 0);
    EXPECT_EQ(speed, 1000);
    EXPECT_EQ(GetActProp(7, AP_SPEED, &speed), -1);
    EXPECT_EQ(GetActProp(0, 0x20000007, &speed), -1);
}

// [SECTION] Printing

namespace {

const std::string kThree = "\x82\xa0\x82\xa2\x82\xa4";

int32_t shown(int32_t film) {
    return filmProp(film, FP_TEXT_SHOWN);
}

}  // namespace

TEST_F(LumoTest, PrintTypesOneCharacterPerDelay) {
    Notifications notes;
    const int32_t film = makeFilm(FT_TEXT, -1, 0, 0, 96, 32);
    setProp(film, FP_TEXT_DELAY, 10);
    ASSERT_EQ(SetFilmProp(film, FP_TEXT_APPEND, kThree.c_str()), 0);
    const int32_t action = program(film, {AC_PRINT, AC_END});
    start(action);
    ProgressAction(5);
    EXPECT_EQ(shown(film), 1);
    ProgressAction(5);
    EXPECT_EQ(shown(film), 1) << "the delay is over, the next character waits for time";
    ProgressAction(1);
    EXPECT_EQ(shown(film), 2);
    ProgressAction(20);
    EXPECT_EQ(shown(film), 3);
    EXPECT_EQ(stateOf(action), AS_STOPPED);
    EXPECT_TRUE(posted(notes, EV_TEXT_DONE, film));
}

TEST_F(LumoTest, PrintWaitsForTheBMark) {
    const int32_t film = makeFilm(FT_TEXT, -1, 0, 0, 96, 32);
    const std::string text =
        "\x82\xa0"
        "B00000064"
        "\x82\xa2";
    ASSERT_EQ(SetFilmProp(film, FP_TEXT_APPEND, text.c_str()), 0);
    const int32_t action = program(film, {AC_PRINT, AC_END});
    start(action);
    ProgressAction(99);
    EXPECT_EQ(shown(film), 1);
    ProgressAction(2);
    EXPECT_EQ(shown(film), 2);
}

TEST_F(LumoTest, PrintStopsAtTheStopMarkAndResumesAfterIt) {
    Notifications notes;
    const int32_t film = makeFilm(FT_TEXT, -1, 0, 0, 96, 32);
    const std::string text =
        "\x82\xa0"
        "O"
        "\x82\xa2";
    ASSERT_EQ(SetFilmProp(film, FP_TEXT_APPEND, text.c_str()), 0);
    const int32_t action = program(film, {AC_PRINT, AC_END});
    start(action);
    ProgressAction(10);
    EXPECT_EQ(shown(film), 1);
    EXPECT_EQ(stateOf(action), AS_STOPPED);
    ASSERT_TRUE(posted(notes, EV_TEXT_STOP, film));
    for (const auto& m : notes.messages()) {
        if (m.wparam == EV_TEXT_STOP * 65536 + film) {
            EXPECT_EQ(m.lparam, action);
        }
    }
    CallActMethod(action, AM_RESUME, nullptr);
    ProgressAction(10);
    EXPECT_EQ(shown(film), 2);
}

TEST_F(LumoTest, FinishPrintsTheRestAtOnce) {
    const int32_t film = makeFilm(FT_TEXT, -1, 0, 0, 96, 32);
    setProp(film, FP_TEXT_DELAY, 1000);
    ASSERT_EQ(SetFilmProp(film, FP_TEXT_APPEND, kThree.c_str()), 0);
    const int32_t action = program(film, {AC_PRINT, AC_LOOP});
    start(action);
    ProgressAction(1);
    CallActMethod(action, AM_FINISH, nullptr);
    ProgressAction(1);
    EXPECT_EQ(shown(film), 3);
    EXPECT_EQ(stateOf(action), AS_STOPPED);
}
