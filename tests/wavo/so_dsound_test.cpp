// The streaming sound object over a mixer driven by hand: a start whose play
// the output refuses is a failure, and the play monitor lets such a sound go
// instead of waiting for it.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <vector>

#include "job_thread.h"
#include "mixer.h"
#include "so_dsound.h"
#include "wavo.h"

namespace wavo {
namespace {

using namespace std::chrono_literals;

// Half a second of 16-bit stereo silence at 22050 frames per second.
std::vector<uint8_t> SilentWave() {
    const uint32_t rate = 22050, bytes = rate * 4 / 2;
    std::vector<uint8_t> wave(44 + bytes, 0);
    auto put32 = [&](size_t at, uint32_t value) { std::memcpy(&wave[at], &value, 4); };
    auto put16 = [&](size_t at, uint16_t value) { std::memcpy(&wave[at], &value, 2); };
    std::memcpy(&wave[0], "RIFF", 4);
    put32(4, 36 + bytes);
    std::memcpy(&wave[8], "WAVEfmt ", 8);
    put32(16, 16);
    put16(20, 1);
    put16(22, 2);
    put32(24, rate);
    put32(28, rate * 4);
    put16(32, 4);
    put16(34, 16);
    std::memcpy(&wave[36], "data", 4);
    put32(40, bytes);
    return wave;
}

void LoadInto(SOBase& object, const std::vector<uint8_t>& wave) {
    ASSERT_EQ(object.SetMemoryBlockSize(static_cast<int32_t>(wave.size())), WAVO_OK);
    uint8_t* block = nullptr;
    ASSERT_EQ(object.GetProperty(SP_MEMORY_ADDRESS, &block), WAVO_OK);
    std::memcpy(block, wave.data(), wave.size());
    ASSERT_EQ(object.Load(), WAVO_OK);
}

class SODSoundStart : public ::testing::Test {
protected:
    void SetUp() override {
        mClock.Start();
        mMixer.SetStartHandler([this] { return mOutputTakesSound.load(); });
    }

    EngineClock mClock;
    JobList mJobs;
    Mixer mMixer{44100};
    std::atomic<bool> mOutputTakesSound{true};
};

TEST_F(SODSoundStart, APlayTheOutputRefusesIsAFailure) {
    SODSound sound({mJobs, mClock, &mMixer}, 1, ST_WAVE_MEMORY, SODefaults{});
    LoadInto(sound, SilentWave());
    mOutputTakesSound = false;
    EXPECT_EQ(sound.Start(), WAVO_E_AUDIO);
    EXPECT_FALSE(sound.IsSounding());
    EXPECT_EQ(sound.GetState(), SS_LOADED);
    mOutputTakesSound = true;
    EXPECT_EQ(sound.Start(), WAVO_OK);
    EXPECT_TRUE(sound.IsSounding());
    EXPECT_EQ(sound.GetState(), SS_PLAYING);
}

TEST_F(SODSoundStart, TheMonitorLetsASoundThatCannotStartGo) {
    MethodQueue methods;
    SOList objects;
    JobThread worker(
        mJobs, methods, objects, mClock, [](int32_t, int32_t, int32_t) {}, [] {});
    auto wake = [&worker] { worker.Wake(); };
    mJobs.SetWakeHandler(wake);
    methods.SetWakeHandler(wake);
    const int32_t id = objects.Add(ST_WAVE_MEMORY, {mJobs, mClock, &mMixer});
    {
        std::lock_guard lock(objects.Mutex());
        LoadInto(*objects.Find(id), SilentWave());
    }
    mOutputTakesSound = false;
    worker.Start();
    methods.WaitRemoved(methods.Add(id, kMethodPlay, 0));
    const auto state = [&] {
        std::lock_guard lock(objects.Mutex());
        return objects.Find(id)->GetState();
    };
    const auto end = std::chrono::steady_clock::now() + 5s;
    while (state() == SS_PLAYING && std::chrono::steady_clock::now() < end)
        worker.WaitForRound(100ms);
    EXPECT_EQ(state(), SS_LOADED);
    worker.Stop();
    mJobs.SetWakeHandler(nullptr);
    methods.SetWakeHandler(nullptr);
}

}  // namespace
}  // namespace wavo
