// The engine when SDL reports its audio device gone: the stream that plays
// goes on in the device opened again, and without any device the plays
// still end, silently, until a sound start finds one.

#include <SDL.h>
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "wavo_test_support.h"

namespace wavo::test {
namespace {

class WavoDeviceChange : public ::testing::Test {
protected:
    void SetUp() override {
        mLog = (std::filesystem::temp_directory_path() /
                ("wavo_device_log_" + std::to_string(getpid()) + ".txt"))
                   .string();
        SetDebugLog(mLog.c_str());
        ASSERT_EQ(InitializeWavo(), 0);
        mEvents.Install();
    }
    void TearDown() override {
        TerminateWavo();
        std::filesystem::remove(mLog);
    }

    // What SDL sends when a playback device has gone. The engine's device
    // id is its own business, so every id it could have is reported.
    static void ReportRemoval() {
        for (Uint32 which = 1; which <= 32; ++which) {
            SDL_Event event{};
            event.type = SDL_AUDIODEVICEREMOVED;
            event.adevice.which = which;
            event.adevice.iscapture = 0;
            SDL_PushEvent(&event);
        }
        SDL_FlushEvent(SDL_AUDIODEVICEREMOVED);
    }

    bool Logged(const std::string& text) const {
        return WaitUntil([&] {
            std::ifstream in(mLog);
            const std::string log((std::istreambuf_iterator<char>(in)), {});
            return log.find(text) != std::string::npos;
        });
    }

    int32_t Repeats(int32_t id) {
        int32_t last = 0;
        for (const Event& event : mEvents.Events())
            if (event.id == id && event.code == WE_REPEAT) last = event.lparam;
        return last;
    }

    DiskAudio mDisk{"wavo_device_change"};
    std::string mLog;
    EventRecorder mEvents;
};

TEST_F(WavoDeviceChange, APlayingStreamGoesOnInTheDeviceOpenedAgain) {
    const int32_t id = LoadWaveObject(ToneWave(0.2, 440, 0.5));
    SetIntProp(id, SP_PLAY_COUNT, -1);
    CallSOMethod(id, SM_PLAY, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return Repeats(id) >= 2; }));
    ReportRemoval();
    ASSERT_TRUE(Logged("SoundOutput device lost: the default device is open again"));
    const int32_t before = Repeats(id);
    ASSERT_TRUE(WaitUntil([&] { return Repeats(id) >= before + 3; }));
    // The mix runs ahead of what the device has written: wait for the file
    // to hold the tone's continuation, not only for the engine's count.
    std::vector<float> left, right;
    EXPECT_TRUE(WaitUntil([&] {
        mDisk.Read(left, right);
        return Onset(left, right) + 3 * 8820 < left.size();
    }));
    EXPECT_EQ(StateOf(id), SS_PLAYING);
    CallSOMethod(id, SM_STOP, nullptr);
    EXPECT_EQ(StateOf(id), SS_LOADED);
    TerminateWavo();
    // The device file was started anew at the reopening: it holds the
    // tone's continuation at its level.
    mDisk.Read(left, right);
    const size_t onset = Onset(left, right);
    ASSERT_LT(onset + 3 * 8820, left.size());
    EXPECT_NEAR(Rms(left, onset + 441, 2 * 8820), 0.5 / std::sqrt(2.0), 0.01);
}

TEST_F(WavoDeviceChange, WithoutADevicePlaysEndSilentlyAndTheNextStartFindsOne) {
    setenv("SDL_DISKAUDIOFILE", "/nonexistent/folder/wavo.raw", 1);
    ReportRemoval();
    ASSERT_TRUE(Logged("SoundOutput device lost: no device; sound goes on silently"));
    // A sync play returns when its play has ended: time still passes.
    const int32_t silent = LoadWaveObject(ToneWave(0.3, 440, 0.5));
    const uint8_t sync = 1;
    ASSERT_EQ(SetSOProp(silent, SP_SYNC, &sync), 0);
    EXPECT_EQ(CallSOMethod(silent, SM_PLAY, nullptr), 0);
    EXPECT_TRUE(mEvents.WaitFor(silent, WE_FINISHED, 1s));
    EXPECT_EQ(StateOf(silent), SS_LOADED);

    setenv("SDL_DISKAUDIOFILE", mDisk.Path().c_str(), 1);
    const int32_t heard = LoadWaveObject(ToneWave(0.3, 440, 0.5));
    CallSOMethod(heard, SM_PLAY, nullptr);
    EXPECT_TRUE(Logged("SoundOutput sound start: the default device is open again"));
    ASSERT_TRUE(mEvents.WaitFor(heard, WE_FINISHED));
    TerminateWavo();
    std::vector<float> left, right;
    mDisk.Read(left, right);
    const size_t onset = Onset(left, right);
    ASSERT_LT(onset + 13230, left.size());
    EXPECT_NEAR(Rms(left, onset, 13000), 0.5 / std::sqrt(2.0), 0.01);
}

}  // namespace
}  // namespace wavo::test
