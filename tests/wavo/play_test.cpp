// Playing streaming sound objects: play counts and their events, delays,
// stop, auto-release, fades and sync play.

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "wavo_test_support.h"

namespace wavo::test {
namespace {

class WavoPlay : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        mEvents.Install();
    }

    int32_t LoadShortTone() { return LoadWaveObject(ToneWave(0.05, 440, 0.5)); }

    std::vector<int32_t> CodesFor(int32_t id) {
        std::vector<int32_t> codes;
        for (const Event& event : mEvents.Events()) {
            if (event.id == id) codes.push_back(event.code);
        }
        return codes;
    }

    EventRecorder mEvents;
};

TEST_F(WavoPlay, PlayCountZeroFinishesAtOnceWithoutSound) {
    const int32_t id = LoadShortTone();
    SetIntProp(id, SP_PLAY_COUNT, 0);
    CallSOMethod(id, SM_PLAY, nullptr);
    ASSERT_TRUE(mEvents.WaitFor(id, WE_FINISHED));
    EXPECT_EQ(CodesFor(id), (std::vector<int32_t>{WE_FINISHED}));
    EXPECT_TRUE(WaitUntil([&] { return StateOf(id) == SS_LOADED; }));
}

TEST_F(WavoPlay, PlayCountOnePlaysOnceThenFinishes) {
    const int32_t id = LoadShortTone();
    CallSOMethod(id, SM_PLAY, nullptr);
    EXPECT_EQ(StateOf(id), SS_PLAYING);
    ASSERT_TRUE(mEvents.WaitFor(id, WE_FINISHED));
    EXPECT_EQ(CodesFor(id), (std::vector<int32_t>{WE_FIRST_START, WE_FINISHED}));
    EXPECT_TRUE(WaitUntil([&] { return StateOf(id) == SS_LOADED; }));
    for (const Event& event : mEvents.Events()) {
        EXPECT_EQ(event.message, 512u);
        EXPECT_EQ(event.lparam, 0);
    }
}

TEST_F(WavoPlay, PlayCountTwoRepeatsOnce) {
    const int32_t id = LoadShortTone();
    SetIntProp(id, SP_PLAY_COUNT, 2);
    CallSOMethod(id, SM_PLAY, nullptr);
    ASSERT_TRUE(mEvents.WaitFor(id, WE_FINISHED));
    EXPECT_EQ(CodesFor(id), (std::vector<int32_t>{WE_FIRST_START, WE_REPEAT, WE_FINISHED}));
}

TEST_F(WavoPlay, PlayCountMinusOneRepeatsUntilStopped) {
    const int32_t id = LoadShortTone();
    SetIntProp(id, SP_PLAY_COUNT, -1);
    CallSOMethod(id, SM_PLAY, nullptr);
    ASSERT_TRUE(WaitUntil(
        [&] {
            int repeats = 0;
            for (const Event& event : mEvents.Events())
                repeats += event.code == WE_REPEAT;
            return repeats >= 3;
        },
        20s));
    CallSOMethod(id, SM_STOP, nullptr);
    const auto events = mEvents.Events();
    ASSERT_GE(events.size(), 4u);
    EXPECT_EQ(events[0].code, WE_FIRST_START);
    for (size_t i = 1; i < events.size(); ++i) {
        EXPECT_EQ(events[i].code, WE_REPEAT);
        EXPECT_EQ(events[i].lparam, static_cast<int32_t>(i));
    }
    EXPECT_EQ(StateOf(id), SS_LOADED);
}

TEST_F(WavoPlay, EventsCarryTheMessageNumberAndTheObjectId) {
    int32_t message = 0x8123;
    SetWavoProp(WP_EVENT_MESSAGE, &message);
    AddSO(ST_VORBIS_MEMORY);  // id 0 stays idle
    const int32_t id = LoadShortTone();
    SetIntProp(id, SP_PLAY_COUNT, 0);
    CallSOMethod(id, SM_PLAY, nullptr);
    ASSERT_TRUE(mEvents.WaitFor(id, WE_FINISHED));
    const Event event = mEvents.Events().front();
    EXPECT_EQ(event.message, 0x8123u);
    EXPECT_EQ(event.id, 1);
}

TEST_F(WavoPlay, PlayNeedsLoadedData) {
    const int32_t id = AddSO(ST_WAVE_MEMORY);
    CallSOMethod(id, SM_PLAY, nullptr);
    EXPECT_EQ(StateOf(id), SS_UNLOADED);
    EXPECT_TRUE(mEvents.Events().empty());
}

TEST_F(WavoPlay, StopDuringTheStartDelayCancelsTheStart) {
    const int32_t id = LoadShortTone();
    SetIntProp(id, SP_START_DELAY, 300);
    CallSOMethod(id, SM_PLAY, nullptr);
    CallSOMethod(id, SM_STOP, nullptr);
    // Nothing was sounding, so the state stays as it was.
    EXPECT_EQ(StateOf(id), SS_PLAYING);
    const int32_t witness = LoadShortTone();
    SetIntProp(witness, SP_PLAY_COUNT, 0);
    SetIntProp(witness, SP_START_DELAY, 400);
    CallSOMethod(witness, SM_PLAY, nullptr);
    ASSERT_TRUE(mEvents.WaitFor(witness, WE_FINISHED));
    EXPECT_TRUE(CodesFor(id).empty());
}

TEST_F(WavoPlay, AStartDelayHoldsTheFirstStart) {
    const int32_t id = LoadShortTone();
    SetIntProp(id, SP_START_DELAY, 200);
    SetIntProp(id, SP_PLAY_COUNT, 0);
    const auto start = std::chrono::steady_clock::now();
    CallSOMethod(id, SM_PLAY, nullptr);
    ASSERT_TRUE(mEvents.WaitFor(id, WE_FINISHED));
    // The engine clock counts whole milliseconds, so the start may come up to
    // one of them early.
    EXPECT_GE(std::chrono::steady_clock::now() - start, 199ms);
}

TEST_F(WavoPlay, AutoReleaseRemovesTheObjectWhenItsPlayEnds) {
    const int32_t id = LoadShortTone();
    uint8_t on = 1;
    SetSOProp(id, SP_AUTO_RELEASE, &on);
    CallSOMethod(id, SM_PLAY, nullptr);
    ASSERT_TRUE(mEvents.WaitFor(id, WE_FINISHED));
    int32_t state = 0;
    EXPECT_TRUE(WaitUntil([&] { return GetSOProp(id, SP_STATE, &state) == WAVO_E_NO_SO; }));
}

TEST_F(WavoPlay, AReleaseDelayKeepsThePlayingStateUntilItRuns) {
    const int32_t id = LoadShortTone();
    SetIntProp(id, SP_PLAY_COUNT, 0);
    SetIntProp(id, SP_RELEASE_DELAY, 300);
    CallSOMethod(id, SM_PLAY, nullptr);
    ASSERT_TRUE(mEvents.WaitFor(id, WE_FINISHED));
    EXPECT_EQ(StateOf(id), SS_PLAYING);
    EXPECT_TRUE(WaitUntil([&] { return StateOf(id) == SS_LOADED; }));
}

TEST_F(WavoPlay, UnloadStopsAndDropsTheBuffer) {
    const int32_t id = LoadShortTone();
    SetIntProp(id, SP_PLAY_COUNT, -1);
    CallSOMethod(id, SM_PLAY, nullptr);
    ASSERT_TRUE(mEvents.WaitFor(id, WE_FIRST_START));
    CallSOMethod(id, SM_UNLOAD, nullptr);
    EXPECT_EQ(StateOf(id), SS_UNLOADED);
    EXPECT_EQ(IntProp(id, SP_LENGTH), WAVO_E_NOT_LOADED);
    // Loading again brings it back.
    CallSOMethod(id, SM_LOAD, nullptr);
    EXPECT_EQ(StateOf(id), SS_LOADED);
}

TEST_F(WavoPlay, RemovingAPlayingObjectIsSafe) {
    const int32_t id = LoadShortTone();
    SetIntProp(id, SP_PLAY_COUNT, -1);
    CallSOMethod(id, SM_PLAY, nullptr);
    ASSERT_TRUE(mEvents.WaitFor(id, WE_FIRST_START));
    EXPECT_EQ(RemoveSO(id), 1);
    CallSOMethod(id, SM_STOP, nullptr);
}

TEST_F(WavoPlay, SyncPlayReturnsWhenThePlayHasEnded) {
    const int32_t id = LoadShortTone();
    uint8_t on = 1;
    SetSOProp(id, SP_SYNC, &on);
    CallSOMethod(id, SM_PLAY, nullptr);
    EXPECT_EQ(StateOf(id), SS_LOADED);
    EXPECT_EQ(mEvents.Events().size(), 2u);
}

TEST_F(WavoPlay, AnEventHandlerThatRemovesItsObjectIsSafe) {
    static int32_t removed = -1;
    WavoEventWindow window{[](void*, uint32_t, int32_t wparam, int32_t) {
                               removed = wparam & 0xFFFF;
                               RemoveSO(removed);
                           },
                           nullptr};
    SetWavoProp(WP_EVENT_WINDOW, &window);
    const int32_t first = LoadShortTone();
    const int32_t last = LoadShortTone();
    SetIntProp(last, SP_PLAY_COUNT, 0);
    CallSOMethod(first, SM_PLAY, nullptr);
    CallSOMethod(last, SM_PLAY, nullptr);
    int32_t state = 0;
    EXPECT_TRUE(WaitUntil([&] {
        return GetSOProp(first, SP_STATE, &state) == WAVO_E_NO_SO &&
               GetSOProp(last, SP_STATE, &state) == WAVO_E_NO_SO;
    }));
}

// [Fades]

TEST_F(WavoPlay, AFadeOutWithTheStopFlagEndsSilentAndLoaded) {
    const int32_t id = LoadShortTone();
    SetIntProp(id, SP_PLAY_COUNT, -1);
    SetIntProp(id, SP_FADE_TIME, 1000);
    CallSOMethod(id, SM_PLAY, nullptr);
    ASSERT_TRUE(mEvents.WaitFor(id, WE_FIRST_START));
    const int32_t stop = 1;
    const auto start = std::chrono::steady_clock::now();
    CallSOMethod(id, SM_FADE_OUT, &stop);
    ASSERT_TRUE(WaitUntil([&] { return StateOf(id) == SS_LOADED; }, 10s));
    const auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(IntProp(id, SP_VOLUME), 0);
    // 255 steps of 1000 / 255 = 3 ms each, on a clock of whole milliseconds.
    EXPECT_GE(elapsed, 255 * 2ms);
}

TEST_F(WavoPlay, AFadeOutWithoutTheFlagKeepsPlaying) {
    const int32_t id = LoadShortTone();
    SetIntProp(id, SP_PLAY_COUNT, -1);
    SetIntProp(id, SP_FADE_TIME, 100);
    CallSOMethod(id, SM_PLAY, nullptr);
    const int32_t keep = 0;
    CallSOMethod(id, SM_FADE_OUT, &keep);
    ASSERT_TRUE(WaitUntil([&] { return IntProp(id, SP_VOLUME) == 0; }));
    EXPECT_EQ(StateOf(id), SS_PLAYING);
    CallSOMethod(id, SM_STOP, nullptr);
}

TEST_F(WavoPlay, AFadeInRisesToFullVolume) {
    const int32_t id = LoadShortTone();
    SetIntProp(id, SP_PLAY_COUNT, -1);
    SetIntProp(id, SP_VOLUME, 0);
    SetIntProp(id, SP_FADE_TIME, 200);
    CallSOMethod(id, SM_PLAY, nullptr);
    CallSOMethod(id, SM_FADE_IN, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return IntProp(id, SP_VOLUME) == 255; }));
    CallSOMethod(id, SM_STOP, nullptr);
}

TEST_F(WavoPlay, AFadeOnAnObjectThatIsNotPlayingIsDropped) {
    const int32_t id = LoadShortTone();
    SetIntProp(id, SP_VOLUME, 100);
    const int32_t stop = 1;
    CallSOMethod(id, SM_FADE_OUT, &stop);
    CallSOMethod(id, SM_FADE_IN, nullptr);
    // A zero play afterwards proves a job pass has come and gone.
    const int32_t witness = LoadShortTone();
    SetIntProp(witness, SP_PLAY_COUNT, 0);
    CallSOMethod(witness, SM_PLAY, nullptr);
    ASSERT_TRUE(mEvents.WaitFor(witness, WE_FINISHED));
    EXPECT_EQ(IntProp(id, SP_VOLUME), 100);
    EXPECT_EQ(StateOf(id), SS_LOADED);
}

TEST_F(WavoPlay, StopCancelsARunningFade) {
    const int32_t id = LoadShortTone();
    SetIntProp(id, SP_PLAY_COUNT, -1);
    SetIntProp(id, SP_FADE_TIME, 5000);
    CallSOMethod(id, SM_PLAY, nullptr);
    ASSERT_TRUE(mEvents.WaitFor(id, WE_FIRST_START));
    const int32_t stop = 1;
    CallSOMethod(id, SM_FADE_OUT, &stop);
    CallSOMethod(id, SM_STOP, nullptr);
    const int32_t volume = IntProp(id, SP_VOLUME);
    const int32_t witness = LoadShortTone();
    SetIntProp(witness, SP_START_DELAY, 100);
    SetIntProp(witness, SP_PLAY_COUNT, 0);
    CallSOMethod(witness, SM_PLAY, nullptr);
    ASSERT_TRUE(mEvents.WaitFor(witness, WE_FINISHED));
    EXPECT_EQ(IntProp(id, SP_VOLUME), volume);
}

}  // namespace
}  // namespace wavo::test
