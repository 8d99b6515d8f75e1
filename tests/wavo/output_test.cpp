// What really comes out: the engine plays through SDL's disk audio driver
// into a file of 44100 Hz stereo float frames, which the tests measure.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "wavo_test_support.h"

namespace wavo::test {
namespace {

class WavoOutput : public ::testing::Test {
protected:
    void SetUp() override {
        mFile = std::filesystem::temp_directory_path() /
                ("wavo_output_" + std::to_string(getpid()) + ".raw");
        const char* driver = std::getenv("SDL_AUDIODRIVER");
        mSavedDriver = driver ? driver : "";
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", mFile.c_str(), 1);
        ASSERT_EQ(InitializeWavo(), 0);
        mEvents.Install();
    }

    void TearDown() override {
        TerminateWavo();
        setenv("SDL_AUDIODRIVER", mSavedDriver.c_str(), 1);
        std::filesystem::remove(mFile);
    }

    // Plays the WAVE and keeps what the device got, left and right.
    void PlayOnce(const std::vector<uint8_t>& wave, int32_t volume, int32_t pan,
                  int32_t plays = 1) {
        const int32_t id = LoadWaveObject(wave);
        ASSERT_EQ(StateOf(id), SS_LOADED);
        SetIntProp(id, SP_VOLUME, volume);
        SetIntProp(id, SP_PAN, pan);
        SetIntProp(id, SP_PLAY_COUNT, plays);
        CallSOMethod(id, SM_PLAY, nullptr);
        ASSERT_TRUE(mEvents.WaitFor(id, WE_FINISHED));
        TerminateWavo();  // closes the file
        std::ifstream in(mFile, std::ios::binary);
        const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), {});
        const size_t count = bytes.size() / (2 * sizeof(float));
        mLeft.resize(count);
        mRight.resize(count);
        for (size_t i = 0; i < count; ++i) {
            std::memcpy(&mLeft[i], &bytes[i * 8], 4);
            std::memcpy(&mRight[i], &bytes[i * 8 + 4], 4);
        }
    }

    // First frame where either side is audible.
    size_t Onset() const {
        for (size_t i = 0; i < mLeft.size(); ++i) {
            if (std::abs(mLeft[i]) > 1e-3f || std::abs(mRight[i]) > 1e-3f) return i;
        }
        return mLeft.size();
    }

    static double Rms(const std::vector<float>& samples, size_t from, size_t count) {
        double sum = 0.0;
        for (size_t i = from; i < from + count; ++i)
            sum += double(samples[i]) * samples[i];
        return std::sqrt(sum / count);
    }

    static int Crossings(const std::vector<float>& samples, size_t from, size_t count) {
        int crossings = 0;
        for (size_t i = from + 1; i < from + count; ++i) {
            crossings += (samples[i - 1] < 0.0f) != (samples[i] < 0.0f);
        }
        return crossings;
    }

    std::filesystem::path mFile;
    std::string mSavedDriver;
    EventRecorder mEvents;
    std::vector<float> mLeft, mRight;
};

TEST_F(WavoOutput, AToneComesOutAtItsVolumeAndPan) {
    PlayOnce(ToneWave(0.5, 441, 0.5), 128, -128);
    const size_t onset = Onset();
    ASSERT_LT(onset + 22050, mLeft.size());
    // Volume 128 is -5.98 dB; pan -128 takes the right side down by 50.19 dB.
    const double expectedLeft = 0.5 / std::sqrt(2.0) * std::pow(10.0, -598 / 2000.0);
    const double expectedRight = expectedLeft * std::pow(10.0, -5019 / 2000.0);
    EXPECT_NEAR(Rms(mLeft, onset + 2205, 17640), expectedLeft, expectedLeft * 0.01);
    EXPECT_NEAR(Rms(mRight, onset + 2205, 17640), expectedRight, expectedRight * 0.05);
    // 441 Hz: 882 zero crossings a second.
    EXPECT_NEAR(Crossings(mLeft, onset + 2205, 17640), 882 * 0.4, 3);
}

TEST_F(WavoOutput, EightBitMonoAtAnotherRateIsConvertedToTheDevice) {
    PlayOnce(ToneWave(0.5, 441, 0.5, 1, 22050, 8), 255, 0);
    const size_t onset = Onset();
    ASSERT_LT(onset + 22050, mLeft.size());
    // Eight bits round the amplitude to 127/128 steps around 128.
    const double expected = 0.5 * 127.0 / 128.0 / std::sqrt(2.0);
    EXPECT_NEAR(Rms(mLeft, onset + 2205, 17640), expected, expected * 0.02);
    EXPECT_NEAR(Rms(mRight, onset + 2205, 17640), expected, expected * 0.02);
    EXPECT_NEAR(Crossings(mLeft, onset + 2205, 17640), 882 * 0.4, 3);
}

TEST_F(WavoOutput, ARepeatFollowsTheEndOfTheDataClosely) {
    PlayOnce(ToneWave(0.3, 441, 0.5), 255, 0, 2);
    const size_t onset = Onset();
    ASSERT_LT(onset, mLeft.size());
    // The tone's first frame is a zero, so the data ends 13230 frames after
    // the frame before the onset; what is quiet from there is the gap.
    const size_t end = onset - 1 + 13230;
    size_t next = end;
    while (next < mLeft.size() && std::abs(mLeft[next]) < 1e-3f)
        ++next;
    ASSERT_LT(next, mLeft.size()) << "no second play";
    // A device period or two (well under 250 ms even on a loaded machine),
    // not the 0.7 s rest of the one-second half the data ended in.
    EXPECT_LT(next - end, 11025u);
}

TEST_F(WavoOutput, RepeatsAreSampleExact) {
    // 0.3 s of 441 Hz ends mid-cycle: the second play must start on the very
    // next frame, where the data starts again, with no silence between.
    PlayOnce(ToneWave(0.3, 441, 0.5), 255, 0, 3);
    const size_t first = Onset() - 1;  // the tone's first frame is a zero
    ASSERT_LT(first + 3 * 13230, mLeft.size());
    for (size_t play = 1; play < 3; ++play) {
        for (size_t i = 0; i < 13230; ++i) {
            ASSERT_FLOAT_EQ(mLeft[first + play * 13230 + i], mLeft[first + i])
                << "play " << play << ", frame " << i;
        }
    }
    size_t silentRun = 0, longest = 0;
    for (size_t i = first + 1; i < first + 3 * 13230; ++i) {
        silentRun = std::abs(mLeft[i]) < 1e-4f ? silentRun + 1 : 0;
        longest = std::max(longest, silentRun);
    }
    EXPECT_LE(longest, 1u);  // a zero crossing, never a gap
}

TEST_F(WavoOutput, VolumeZeroIsSilent) {
    PlayOnce(ToneWave(0.3, 441, 0.9), 0, 0);
    EXPECT_EQ(Onset(), mLeft.size());
}

}  // namespace
}  // namespace wavo::test
