// What the sound driver's music sounds like, measured on the samples SDL's
// disk driver wrote: a change of music fades the old piece out over the
// fade time while the new one plays at its level, and the scenario's music
// volume rate of 50 takes the level to half. The two pieces are tones of
// 440 Hz and 1000 Hz, so each is followed on its own in the mix.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <mutex>
#include <numbers>
#include <string>
#include <thread>
#include <vector>

#include "../platform/arc/zip_maker.h"
#include "drivers/quor_driver.h"
#include "drivers/wavo_driver.h"
#include "settings/ini_file.h"
#include "settings/ini_section.h"
#include "wavo.h"

namespace zelk {
namespace {

using testing::MakeZip;
using testing::ReadWholeFile;
using testing::ScratchFolder;
using namespace std::chrono_literals;

constexpr size_t kRate = 44100;
// 50 ms: whole cycles of both tones, where their amplitudes read exactly.
constexpr size_t kWindow = 2205;

// Amplitude of one frequency over a window (Goertzel).
double AmplitudeAt(const std::vector<float>& samples, size_t from, double frequency) {
    const double w = 2.0 * std::numbers::pi * frequency / kRate;
    double s1 = 0.0, s2 = 0.0;
    for (size_t i = from; i < from + kWindow && i < samples.size(); ++i) {
        const double s = samples[i] + 2.0 * std::cos(w) * s1 - s2;
        s2 = s1;
        s1 = s;
    }
    return 2.0 * std::sqrt(std::max(0.0, s1 * s1 + s2 * s2 - 2.0 * std::cos(w) * s1 * s2)) /
           kWindow;
}

class WavoDriverOutput : public ::testing::Test {
protected:
    void SetUp() override {
        mFile = (mFolder.Path() / "out.raw").string();
        const char* driver = std::getenv("SDL_AUDIODRIVER");
        mSavedDriver = driver ? driver : "";
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", mFile.c_str(), 1);
        unsetenv("SDL_DISKAUDIODELAY");  // real time: fades run on the clock
        const std::string sound = std::string(ZELK_TEST_DATA) + "/sound/";
        MakeZip(mFolder / "sound.quor", {{"l", "list\r\nlow\r\nhigh\r\n"},
                                         {"1", ReadWholeFile(sound + "tone440.ogg")},
                                         {"2", ReadWholeFile(sound + "tone1000.ogg")}});
        ASSERT_TRUE(mQuor.Init(1));
        ASSERT_TRUE(mQuor.LoadArchive(mFolder / "sound.quor", 0));
        std::string list;
        ASSERT_TRUE(mQuor.LoadTextFile(0, list));
        ASSERT_TRUE(mQuor.LoadArchiveList(list, 0));
        mSystemInfo.KeySection("Game").KeyValue("BGMFadeTime", "600");
        mDriver =
            std::make_unique<clsWavoDriver>(WavoDriverParts{{}, &mSystemInfo, &mQuor, {}, {}});
        ASSERT_TRUE(mDriver->Init());
        WavoEventWindow window{&WavoDriverOutput::OnEvent, this};
        ASSERT_EQ(SetWavoProp(WP_EVENT_WINDOW, &window), 0);
    }
    void TearDown() override {
        mDriver.reset();
        setenv("SDL_AUDIODRIVER", mSavedDriver.c_str(), 1);
    }

    static void OnEvent(void* context, uint32_t, int32_t wparam, int32_t) {
        auto* self = static_cast<WavoDriverOutput*>(context);
        if ((wparam & 0xFFFF0000) != WE_REPEAT) return;
        {
            std::lock_guard lock(self->mLock);
            ++self->mRepeats[wparam & 0xFFFF];
        }
        self->mRepeated.notify_all();
    }
    // The piece's loop point (2 s of tone) heard once more: sound time has
    // passed by the engine's own account.
    bool WaitForRepeat(int32_t id) {
        std::unique_lock lock(mLock);
        const int before = mRepeats[id];
        return mRepeated.wait_for(lock, 10s, [&] { return mRepeats[id] > before; });
    }
    bool WaitUntilSilent(int index) {
        const std::int32_t id = mDriver->BGMChannelId(index);
        const auto end = std::chrono::steady_clock::now() + 5s;
        for (;;) {
            std::int32_t state = 0;
            GetSOProp(id, SP_STATE, &state);
            if (state != SS_PLAYING) return true;
            if (std::chrono::steady_clock::now() > end) return false;
            std::this_thread::sleep_for(1ms);
        }
    }
    // The left side of everything the device was given.
    std::vector<float> Output() {
        mDriver.reset();  // closing the device writes the rest
        std::ifstream in(mFile, std::ios::binary);
        const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), {});
        std::vector<float> left(bytes.size() / 8);
        for (size_t i = 0; i < left.size(); ++i)
            std::memcpy(&left[i], &bytes[i * 8], 4);
        return left;
    }

    ScratchFolder mFolder;
    std::string mFile;
    std::string mSavedDriver;
    clsQuorDriver mQuor;
    INIFile mSystemInfo;
    std::unique_ptr<clsWavoDriver> mDriver;
    std::mutex mLock;
    std::condition_variable mRepeated;
    std::map<std::int32_t, int> mRepeats;
};

TEST_F(WavoDriverOutput, AChangeOfMusicFadesTheOldPieceOutWhileTheNewOnePlays) {
    ASSERT_TRUE(mDriver->PlayBGM("low", false, true));
    ASSERT_TRUE(WaitForRepeat(mDriver->BGMChannelId(0)));
    ASSERT_TRUE(mDriver->PlayBGM("high", false, true));
    ASSERT_EQ(mDriver->CurrentBGM(), 1);
    ASSERT_TRUE(WaitUntilSilent(0));
    ASSERT_TRUE(WaitForRepeat(mDriver->BGMChannelId(1)));
    const std::vector<float> left = Output();

    std::vector<double> low, high;
    for (size_t at = 0; at + kWindow <= left.size(); at += kWindow) {
        low.push_back(AmplitudeAt(left, at, 440.0));
        high.push_back(AmplitudeAt(left, at, 1000.0));
    }
    // The new piece's first window at half its level or more is the change.
    const double highLevel = *std::max_element(high.begin(), high.end());
    size_t change = 0;
    while (change < high.size() && high[change] < 0.5 * highLevel)
        ++change;
    ASSERT_GT(change, 20u) << "the first piece did not play for a second";
    ASSERT_LT(change + 30, high.size());
    const double lowLevel = low[change - 10];
    ASSERT_GT(lowLevel, 0.1);
    // The new piece is at its level at once: the driver fades nothing in.
    EXPECT_NEAR(high[change + 1], high[change + 20], 0.03 * highLevel);
    // The old one falls steadily to silence in about the fade time: 255
    // steps of 600 / 255 ms, rounded down to 2 ms, so at least half a
    // second; a cut or a fade that drags on fails.
    size_t silent = change;
    while (silent < low.size() && low[silent] > 0.02 * lowLevel)
        ++silent;
    const double seconds = double(silent - change) * kWindow / kRate;
    EXPECT_GT(seconds, 0.4);
    EXPECT_LT(seconds, 1.0);
    EXPECT_NEAR(low[change + (silent - change) / 2], 0.5 * lowLevel, 0.2 * lowLevel);
    for (size_t i = change + 1; i < silent; ++i)
        EXPECT_LT(low[i], low[i - 1] + 0.02 * lowLevel) << "window " << i;
    for (size_t i = silent; i < low.size(); ++i)
        ASSERT_LT(low[i], 0.02 * lowLevel) << "the old piece came back at window " << i;
}

TEST_F(WavoDriverOutput, AMusicVolumeRateOf50HalvesTheLevel) {
    ASSERT_TRUE(mDriver->PlayBGM("low", false, true));
    ASSERT_TRUE(WaitForRepeat(mDriver->BGMChannelId(0)));
    mDriver->BGMVolumeRate(50);  // 255 x 50 % = 127.5, to even: 128
    ASSERT_TRUE(WaitForRepeat(mDriver->BGMChannelId(0)));
    const std::vector<float> left = Output();

    std::vector<double> low;
    for (size_t at = 0; at + kWindow <= left.size(); at += kWindow)
        low.push_back(AmplitudeAt(left, at, 440.0));
    const double full = *std::max_element(low.begin(), low.end());
    size_t change = 0;
    while (change < low.size() && low[change] < 0.9 * full)
        ++change;
    while (change < low.size() && low[change] > 0.9 * full)
        ++change;
    ASSERT_LT(change + 20, low.size());
    // Volume 128 is -5.98 dB: 0.502 of the level.
    const double half = std::pow(10.0, -598 / 2000.0) * full;
    EXPECT_NEAR(low[change + 2], half, 0.01 * half);
    EXPECT_NEAR(low[change + 18], half, 0.01 * half);
}

}  // namespace
}  // namespace zelk
