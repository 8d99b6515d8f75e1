// What the reader hears, measured on the samples SDL's disk driver wrote: a
// fade that falls over its time, an effect that sounds once and then leaves
// silence, a loop with neither gap nor click, a volume change of the size
// its decibels promise. The device runs at real time here, since fades and
// volume changes happen on the engine's clock.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "wavo_test_support.h"

namespace wavo::test {
namespace {

constexpr size_t kRate = 44100;
constexpr size_t kWindow = 441;  // 10 ms

class WavoSpeaker : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(InitializeWavo(), 0);
        mEvents.Install();
    }
    void TearDown() override { TerminateWavo(); }

    // A tone of whole cycles, so that its repeats join into one sine.
    int32_t LoopingTone(double amplitude, uint32_t rate = 44100, uint16_t channels = 2) {
        // 440 Hz for 0.2 s: 88 cycles exactly at every rate used here.
        const int32_t id = LoadWaveObject(ToneWave(0.2, 440, amplitude, channels, rate));
        SetIntProp(id, SP_PLAY_COUNT, -1);
        return id;
    }

    // Waits until the object's loop point has been heard `repeats` times:
    // the engine's own way to tell that sound time has passed.
    bool WaitForRepeats(int32_t id, int32_t repeats) {
        return WaitUntil(
            [&] {
                for (const Event& event : mEvents.Events()) {
                    if (event.id == id && event.code == WE_REPEAT && event.lparam >= repeats)
                        return true;
                }
                return false;
            },
            20s);
    }

    // Plays silence for the given time, so that what follows a sound is
    // written out too.
    void PlaySilence(double seconds) {
        const int32_t id = LoadWaveObject(ToneWave(seconds, 440, 0.0));
        CallSOMethod(id, SM_PLAY, nullptr);
        ASSERT_TRUE(mEvents.WaitFor(id, WE_FINISHED));
    }

    void Finish() {
        TerminateWavo();
        mDisk.Read(mLeft, mRight);
    }

    // Levels of consecutive 10 ms windows of the left side, from a frame.
    std::vector<double> Levels(size_t from) const {
        std::vector<double> levels;
        for (size_t at = from; at + kWindow <= mLeft.size(); at += kWindow)
            levels.push_back(Rms(mLeft, at, kWindow));
        return levels;
    }

    DiskAudio mDisk{"wavo_speaker"};
    EventRecorder mEvents;
    std::vector<float> mLeft, mRight;
};

TEST_F(WavoSpeaker, AFadeOutFallsSteadilyOverTheFadeTimeToSilence) {
    const int32_t id = LoopingTone(0.5);
    SetIntProp(id, SP_FADE_TIME, 1000);
    CallSOMethod(id, SM_PLAY, nullptr);
    ASSERT_TRUE(WaitForRepeats(id, 2));
    const int32_t stopWhenSilent = 1;
    CallSOMethod(id, SM_FADE_OUT, &stopWhenSilent);
    ASSERT_TRUE(WaitUntil([&] { return StateOf(id) == SS_LOADED; }));
    EXPECT_EQ(IntProp(id, SP_VOLUME), 0);
    PlaySilence(0.3);
    Finish();

    const size_t onset = Onset(mLeft, mRight);
    ASSERT_LT(onset, mLeft.size());
    const std::vector<double> levels = Levels(onset);
    const double full = 0.5 / std::sqrt(2.0);
    ASSERT_GT(levels.size(), 100u);
    EXPECT_NEAR(levels[5], full, full * 0.01);
    // The fall: from the first window below 97 % to the first below 1 %.
    size_t begin = 0;
    while (begin < levels.size() && levels[begin] > 0.97 * full)
        ++begin;
    size_t end = begin;
    while (end < levels.size() && levels[end] > 0.01 * full)
        ++end;
    ASSERT_LT(end, levels.size()) << "the sound never fell silent";
    // 255 steps of 1000 / 255 ms, rounded down to 3 ms: about 0.8 s, and
    // never an abrupt cut nor a fade that drags on.
    const double seconds = double(end - begin) * kWindow / kRate;
    EXPECT_GT(seconds, 0.65);
    EXPECT_LT(seconds, 1.3);
    // Volume steps are linear in amplitude: half-way, half the level.
    EXPECT_NEAR(levels[(begin + end) / 2], 0.5 * full, 0.12 * full);
    for (size_t i = begin + 1; i <= end; ++i)
        EXPECT_LE(levels[i], levels[i - 1] + 0.01 * full) << "the level rose at window " << i;
    // Then silence to the end of what was written.
    for (size_t i = end; i < levels.size(); ++i)
        ASSERT_LT(levels[i], 0.01 * full) << "sound after the fade at window " << i;
}

TEST_F(WavoSpeaker, AnEffectPlaysOnceAndThenLeavesSilence) {
    const int32_t id = LoadWaveObject(ToneWave(0.2, 1000, 0.5));
    CallSOMethod(id, SM_PLAY, nullptr);
    ASSERT_TRUE(mEvents.WaitFor(id, WE_FINISHED));
    PlaySilence(0.5);
    Finish();

    const size_t onset = Onset(mLeft, mRight);
    ASSERT_LT(onset, mLeft.size());
    // The tone starts with a zero, so its 8820 frames begin one frame
    // before the first audible one; its level is that of the data.
    const size_t first = onset - 1;
    EXPECT_NEAR(Rms(mLeft, first, 8820), 0.5 / std::sqrt(2.0), 0.005);
    size_t last = mLeft.size();
    while (last > 0 && std::abs(mLeft[last - 1]) < 1e-4f)
        --last;
    EXPECT_LE(last - first, 8820u);
    EXPECT_GE(last - first, 8815u);  // the tone's own last frames are near zero
    // Nothing more for at least the 0.5 s that followed.
    EXPECT_GT(mLeft.size() - (first + 8820), kRate * 45 / 100);
    EXPECT_EQ(Onset(std::vector<float>(mLeft.begin() + first + 8820, mLeft.end()),
                    std::vector<float>(mRight.begin() + first + 8820, mRight.end()), 1e-4f),
              mLeft.size() - (first + 8820));
}

// A streamed sound stops where its data ends, and says so then: the next
// sound, started on the finish event, follows the first one's last frame
// by no more than the engine's and the device's own delays, where the rest
// of the half the data ended in (0.8 s here) would have been silence. The
// first sound is whole: the second does not begin over its tail.
TEST_F(WavoSpeaker, TheFinishEventComesWhenTheLastFrameHasBeenHeard) {
    const int32_t first = LoadWaveObject(ToneWave(0.2, 1000, 0.5));
    const int32_t next = LoadWaveObject(ToneWave(0.2, 500, 0.25));
    CallSOMethod(first, SM_PLAY, nullptr);
    ASSERT_TRUE(mEvents.WaitFor(first, WE_FINISHED));
    CallSOMethod(next, SM_PLAY, nullptr);
    ASSERT_TRUE(mEvents.WaitFor(next, WE_FINISHED));
    Finish();

    const size_t onset = Onset(mLeft, mRight);
    ASSERT_LT(onset + 8820, mLeft.size());
    // The tone starts with a zero: its 8820 frames begin one frame before
    // the first audible one.
    const size_t start = onset - 1;
    const size_t end = start + 8820;
    const double level = 0.5 / std::sqrt(2.0);
    EXPECT_NEAR(Rms(mLeft, start, 8820), level, 0.005);
    // Its last 10 ms are the tone alone, at full level.
    EXPECT_NEAR(Rms(mLeft, end - kWindow, kWindow), level, 0.01);

    const std::vector<float> afterLeft(mLeft.begin() + static_cast<std::ptrdiff_t>(end),
                                       mLeft.end());
    const std::vector<float> afterRight(mRight.begin() + static_cast<std::ptrdiff_t>(end),
                                        mRight.end());
    const size_t gap = Onset(afterLeft, afterRight);
    ASSERT_LT(gap, afterLeft.size()) << "the second sound never came";
    EXPECT_LT(gap, kRate * 4 / 10) << "frames of silence between the sounds";
    // The second sound is heard whole too, at its own level.
    ASSERT_LT(gap + 8820, afterLeft.size());
    EXPECT_NEAR(Rms(afterLeft, gap - 1, 8820), 0.25 / std::sqrt(2.0), 0.005);
}

TEST_F(WavoSpeaker, ALoopThroughTheRateConverterRepeatsWithoutGapOrClick) {
    // Mono 22050 Hz: every loop point also passes the rate converter.
    const int32_t id = LoopingTone(0.5, 22050, 1);
    CallSOMethod(id, SM_PLAY, nullptr);
    ASSERT_TRUE(WaitForRepeats(id, 6));
    CallSOMethod(id, SM_STOP, nullptr);
    Finish();

    const size_t onset = Onset(mLeft, mRight);
    ASSERT_LT(onset + 6 * 8820, mLeft.size());
    // Past the converter's first few frames the output is one steady sine:
    // a gap of a single millisecond would drop a period's level by a
    // tenth, and a broken join would make the curve bend abruptly.
    const double level = 0.5 / std::sqrt(2.0);
    const size_t period = 100;  // 440 Hz at 44100 Hz: 100.2 frames
    const double bendLimit = 3 * 0.5 * std::pow(2 * std::numbers::pi * 440 / kRate, 2);
    for (size_t at = onset + 441; at + period < onset + 6 * 8820; at += 7) {
        ASSERT_NEAR(Rms(mLeft, at, period), level, level * 0.02) << "frame " << at;
    }
    for (size_t i = onset + 441; i < onset + 6 * 8820; ++i) {
        const double bend = mLeft[i] - 2.0 * mLeft[i - 1] + mLeft[i - 2];
        ASSERT_LT(std::abs(bend), bendLimit) << "frame " << i;
    }
}

TEST_F(WavoSpeaker, Volume128TakesTheLevelToHalf) {
    const int32_t id = LoopingTone(0.8);
    CallSOMethod(id, SM_PLAY, nullptr);
    ASSERT_TRUE(WaitForRepeats(id, 2));
    SetIntProp(id, SP_VOLUME, 128);
    const int32_t changedAt = [&] {
        int32_t last = 0;
        for (const Event& event : mEvents.Events())
            if (event.id == id && event.code == WE_REPEAT) last = event.lparam;
        return last;
    }();
    ASSERT_TRUE(WaitForRepeats(id, changedAt + 3));
    CallSOMethod(id, SM_STOP, nullptr);
    Finish();

    const size_t onset = Onset(mLeft, mRight);
    const std::vector<double> levels = Levels(onset);
    ASSERT_GT(levels.size(), 60u);
    // The one change, found to the 10 ms window; the levels are measured
    // over 22 whole cycles (50 ms), where a sine's level is exact.
    size_t change = 10;
    while (change < levels.size() && levels[change] > 0.9 * levels[5])
        ++change;
    ASSERT_LT(change + 40, levels.size());
    const size_t cycles = 2205;
    const double full = 0.8 / std::sqrt(2.0);
    const size_t before = onset + 2 * cycles, after = onset + (change + 2) * kWindow;
    EXPECT_NEAR(Rms(mLeft, before, 4 * cycles), full, full * 0.002);
    // 2000 x log10(128 / 255) = -5.98 dB: 0.502 of the level before, on
    // both sides, and it stays there.
    const double half = std::pow(10.0, -598 / 2000.0) * full;
    EXPECT_NEAR(Rms(mLeft, after, 4 * cycles), half, half * 0.002);
    EXPECT_NEAR(Rms(mRight, after, 4 * cycles), half, half * 0.002);
    EXPECT_NEAR(Rms(mLeft, after + 4 * cycles, 4 * cycles), half, half * 0.002);
}

}  // namespace
}  // namespace wavo::test
