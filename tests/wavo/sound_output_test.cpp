// The sound output when its device goes away: closed and opened again under
// a playing buffer, without a device for a while, and what SDL reports.
// SDL's disk driver stands in for the device; its file is what it played.

#include "sound_output.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace wavo {
namespace {

using namespace std::chrono_literals;

bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout = 5s) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(1ms);
    }
    return true;
}

class SoundOutputTest : public ::testing::Test {
protected:
    void SetUp() override {
        mFile = (std::filesystem::temp_directory_path() /
                 ("wavo_device_" + std::to_string(getpid()) + ".raw"))
                    .string();
        const char* driver = std::getenv("SDL_AUDIODRIVER");
        mSavedDriver = driver ? driver : "";
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", mFile.c_str(), 1);
        unsetenv("SDL_DISKAUDIODELAY");
        int32_t step = 0, result = 0;
        mOutput = SoundOutput::Open(step, result);
        ASSERT_NE(mOutput, nullptr);
        mOutput->SetChangeHandler([this] {
            {
                std::lock_guard lock(mLock);
                ++mChanges;
            }
            mChanged.notify_all();
        });
        Mixer& mixer = mOutput->GetMixer();
        mixer.SetStartHandler([output = mOutput.get()] { return output->EnsureDevice(); });
        // Half a second of a constant level, looping.
        mBuffer = mixer.CreateBuffer({2, mixer.DeviceRate(), 16}, mixer.DeviceRate() * 2);
        ASSERT_NE(mBuffer, nullptr);
        auto region = mBuffer->Lock(0, mBuffer->Size());
        ASSERT_TRUE(region);
        const int16_t level = 16384;
        for (size_t i = 0; i + 2 <= region->first.size(); i += 2)
            std::memcpy(&region->first[i], &level, 2);
        ASSERT_TRUE(mBuffer->Unlock());
    }

    void TearDown() override {
        mBuffer.reset();
        mOutput.reset();
        setenv("SDL_AUDIODRIVER", mSavedDriver.c_str(), 1);
        std::filesystem::remove(mFile);
    }

    uint64_t Played() const { return mBuffer->PlayedBytes() / 4; }
    bool PlaysOn(uint64_t frames) const {
        const uint64_t from = Played();
        return WaitUntil([&] { return Played() >= from + frames; });
    }
    // Frames written to the device file and how many of them carry the level.
    std::pair<size_t, size_t> FileFrames() const {
        std::ifstream in(mFile, std::ios::binary);
        std::vector<char> bytes((std::istreambuf_iterator<char>(in)), {});
        size_t loud = 0;
        for (size_t i = 0; i + 8 <= bytes.size(); i += 8) {
            float left;
            std::memcpy(&left, &bytes[i], 4);
            loud += left == 0.5f;
        }
        return {bytes.size() / 8, loud};
    }

    std::string mFile;
    std::string mSavedDriver;
    std::unique_ptr<SoundOutput> mOutput;
    std::unique_ptr<SoundBuffer> mBuffer;
    std::mutex mLock;
    std::condition_variable mChanged;
    int mChanges = 0;
};

TEST_F(SoundOutputTest, ALostDeviceIsOpenedAgainUnderAPlayingBuffer) {
    mBuffer->Play(true);
    ASSERT_TRUE(PlaysOn(4410));
    const uint32_t rate = mOutput->GetMixer().DeviceRate();
    mOutput->ReportLoss();
    mOutput->Service();
    EXPECT_EQ(mOutput->Reopens(), 1);
    EXPECT_TRUE(mOutput->DeviceOpen());
    EXPECT_EQ(mOutput->GetMixer().DeviceRate(), rate);
    // The same buffer plays on into the new device, at its level.
    EXPECT_TRUE(mBuffer->IsPlaying());
    ASSERT_TRUE(PlaysOn(8820));
    const auto [frames, loud] = FileFrames();
    EXPECT_GT(loud, 4410u);
    EXPECT_GT(loud, frames / 2);
}

TEST_F(SoundOutputTest, WithoutADevicePlaysGoOnSilentlyAndEndUntilASoundStartFindsOne) {
    mBuffer->Play(true);
    ASSERT_TRUE(PlaysOn(4410));
    // The device is gone and no other can be opened.
    setenv("SDL_DISKAUDIOFILE", "/nonexistent/folder/wavo.raw", 1);
    mOutput->ReportLoss();
    mOutput->Service();
    EXPECT_FALSE(mOutput->DeviceOpen());
    EXPECT_EQ(mOutput->Reopens(), 0);
    // Time goes on at the device's pace: the buffer keeps its place moving,
    // and a play that is not looping reaches its end.
    ASSERT_TRUE(PlaysOn(22050));
    mBuffer->Stop();
    mBuffer->SetPlayPosition(0);
    mBuffer->Play(false);  // a sound start: the device is still missing
    EXPECT_FALSE(mOutput->DeviceOpen());
    ASSERT_TRUE(WaitUntil([&] { return !mBuffer->IsPlaying(); }));
    EXPECT_GE(Played(), mBuffer->Size() / 4u);
    // The next sound start finds a device again.
    setenv("SDL_DISKAUDIOFILE", mFile.c_str(), 1);
    mBuffer->SetPlayPosition(0);
    mBuffer->Play(true);
    EXPECT_TRUE(mOutput->DeviceOpen());
    EXPECT_EQ(mOutput->Reopens(), 1);
    ASSERT_TRUE(PlaysOn(8820));
    EXPECT_GT(FileFrames().second, 4410u);
}

TEST_F(SoundOutputTest, SdlsRemovalEventOfTheDeviceAsksForServiceAndOthersChangeNothing) {
    mBuffer->Play(true);
    SDL_Event event{};
    event.type = SDL_AUDIODEVICEADDED;
    event.adevice.which = 0;
    event.adevice.iscapture = 0;
    ASSERT_EQ(SDL_PushEvent(&event), 1);
    {
        std::unique_lock lock(mLock);
        ASSERT_TRUE(mChanged.wait_for(lock, 5s, [&] { return mChanges == 1; }));
    }
    // A new device while ours works: the disk driver names no default, so
    // the sound stays where it is.
    mOutput->Service();
    EXPECT_EQ(mOutput->Reopens(), 0);
    const SDL_AudioDeviceID device = mOutput->DeviceId();

    event.type = SDL_AUDIODEVICEREMOVED;
    event.adevice.which = device;
    ASSERT_EQ(SDL_PushEvent(&event), 1);
    {
        std::unique_lock lock(mLock);
        ASSERT_TRUE(mChanged.wait_for(lock, 5s, [&] { return mChanges == 2; }));
    }
    mOutput->Service();
    EXPECT_EQ(mOutput->Reopens(), 1);
    EXPECT_TRUE(mOutput->DeviceOpen());
    EXPECT_TRUE(PlaysOn(4410));
    // A capture device leaving is none of the output's business.
    event.adevice.which = mOutput->DeviceId();
    event.adevice.iscapture = 1;
    ASSERT_EQ(SDL_PushEvent(&event), 1);
    mOutput->Service();
    EXPECT_EQ(mOutput->Reopens(), 1);
    SDL_FlushEvents(SDL_AUDIODEVICEADDED, SDL_AUDIODEVICEREMOVED);
}

// Reads the device file as stereo float frames.
std::vector<float> FileSamples(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), {});
    std::vector<float> samples(bytes.size() / sizeof(float));
    std::memcpy(samples.data(), bytes.data(), samples.size() * sizeof(float));
    return samples;
}

// After a quiet spell the device is closed, so that its thread no longer
// wakes the process; the next sound opens it again before it plays, and is
// heard from its first frame on, without a frame lost or a silence inside.
TEST_F(SoundOutputTest, AQuietOutputRestsAndASoundWakesItFromItsFirstFrame) {
    mOutput->SetRestAfter(50ms);
    {
        std::unique_lock lock(mLock);
        ASSERT_TRUE(mChanged.wait_for(lock, 5s, [&] { return mChanges >= 1; }))
            << "the quiet asks the worker for the rest";
    }
    mOutput->Service();
    EXPECT_TRUE(mOutput->Resting());
    EXPECT_FALSE(mOutput->DeviceOpen());
    EXPECT_EQ(mOutput->Rests(), 1);
    // Asked again (a late wake-up), a resting output stays as it is.
    mOutput->Service();
    EXPECT_EQ(mOutput->Rests(), 1);

    // A ramp that starts loud: its first frame tells where it begins.
    Mixer& mixer = mOutput->GetMixer();
    const uint32_t frames = mixer.DeviceRate() / 5;
    auto ramp = mixer.CreateBuffer({2, mixer.DeviceRate(), 16}, frames * 4);
    ASSERT_NE(ramp, nullptr);
    auto region = ramp->Lock(0, ramp->Size());
    ASSERT_TRUE(region);
    auto sampleAt = [](uint32_t frame, int channel) {
        return static_cast<int16_t>(channel == 0 ? 8000 + frame % 20000 : -8000 - frame % 20000);
    };
    for (uint32_t frame = 0; frame < frames; ++frame) {
        const int16_t pair[2] = {sampleAt(frame, 0), sampleAt(frame, 1)};
        std::memcpy(&region->first[frame * 4], pair, 4);
    }
    ASSERT_TRUE(ramp->Unlock());
    ASSERT_TRUE(ramp->Play(false));
    EXPECT_TRUE(mOutput->DeviceOpen());
    EXPECT_FALSE(mOutput->Resting());
    EXPECT_EQ(mOutput->Reopens(), 0) << "waking is no reopening after a loss";
    ASSERT_TRUE(WaitUntil([&] { return !ramp->IsPlaying(); }));
    // The device wrote at least the period after the end.
    const size_t played = FileSamples(mFile).size();
    ASSERT_TRUE(WaitUntil([&] { return FileSamples(mFile).size() > played + 2 * 1024; }));

    // The file is the new device's alone: a silence at most as long as the
    // open took, then every frame of the ramp in order.
    const std::vector<float> samples = FileSamples(mFile);
    size_t first = 0;
    while (first < samples.size() && samples[first] == 0.0f)
        ++first;
    ASSERT_EQ(first % 2, 0u);
    ASSERT_GE(samples.size(), first + frames * 2);
    size_t wrong = 0;
    for (uint32_t frame = 0; frame < frames; ++frame) {
        wrong += samples[first + 2 * frame] != sampleAt(frame, 0) / 32768.0f;
        wrong += samples[first + 2 * frame + 1] != sampleAt(frame, 1) / 32768.0f;
    }
    EXPECT_EQ(wrong, 0u);
    EXPECT_EQ(samples[first + 2 * frames], 0.0f) << "and silence after its end";
}

TEST_F(SoundOutputTest, ASoundThatStartsWhileTheQuietIsCountedKeepsTheDeviceOpen) {
    mOutput->SetRestAfter(50ms);
    {
        std::unique_lock lock(mLock);
        ASSERT_TRUE(mChanged.wait_for(lock, 5s, [&] { return mChanges >= 1; }));
    }
    // The worker comes late, after the next sound started.
    mBuffer->Play(true);
    mOutput->Service();
    EXPECT_FALSE(mOutput->Resting());
    EXPECT_TRUE(mOutput->DeviceOpen());
    EXPECT_TRUE(PlaysOn(4410));
}

TEST_F(SoundOutputTest, WithoutADeviceTheSilentClockRestsToo) {
    mBuffer->Play(true);
    ASSERT_TRUE(PlaysOn(4410));
    setenv("SDL_DISKAUDIOFILE", "/nonexistent/folder/wavo.raw", 1);
    mOutput->ReportLoss();
    mOutput->Service();
    ASSERT_FALSE(mOutput->DeviceOpen());
    mOutput->SetRestAfter(50ms);
    const int changes = [&] {
        std::lock_guard lock(mLock);
        return mChanges;
    }();
    mBuffer->Stop();
    {
        std::unique_lock lock(mLock);
        ASSERT_TRUE(mChanged.wait_for(lock, 5s, [&] { return mChanges > changes; }));
    }
    mOutput->Service();
    EXPECT_TRUE(mOutput->Resting());
    // The next start finds the device back, as after any loss.
    setenv("SDL_DISKAUDIOFILE", mFile.c_str(), 1);
    mBuffer->SetPlayPosition(0);
    ASSERT_TRUE(mBuffer->Play(true));
    EXPECT_TRUE(mOutput->DeviceOpen());
    EXPECT_EQ(mOutput->Reopens(), 1);
    EXPECT_TRUE(PlaysOn(4410));
}

}  // namespace
}  // namespace wavo
