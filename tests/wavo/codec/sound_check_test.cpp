// The real sound check: sound files played through the engine's public API into
// SDL's disk audio driver, and what came out compared with reference decodes.

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <mutex>

#include "sound_files.h"
#include "wavo.h"

namespace wavo {
namespace {

constexpr int kRate = 44100;
// One refill is half the two-second sound buffer.
constexpr int64_t kRefillFrames = kRate;

class SoundCheck : public testing::Test {
protected:
    void SetUp() override {
        mOutputPath = testing::TempDir() + "wavo_sound_check_" + std::to_string(getpid()) + ".raw";
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", mOutputPath.c_str(), 1);
        // About twice real time: fast, yet the worker's refills keep ahead.
        setenv("SDL_DISKAUDIODELAY", "12", 1);
        ASSERT_EQ(InitializeWavo(), WAVO_OK);
        WavoEventWindow window{&SoundCheck::OnEvent, this};
        ASSERT_EQ(SetWavoProp(WP_EVENT_WINDOW, &window), WAVO_OK);
    }

    void TearDown() override {
        TerminateWavo();
        std::remove(mOutputPath.c_str());
    }

    // Plays the data once to its end and returns everything the output device
    // was given, as interleaved stereo floats.
    std::vector<float> Play(int32_t type, const std::vector<uint8_t>& data, int32_t plays = 1) {
        int32_t id = AddSO(type);
        EXPECT_EQ(SetSOProp(id, SP_PLAY_COUNT, &plays), WAVO_OK);
        int32_t size = static_cast<int32_t>(data.size());
        EXPECT_EQ(SetSOProp(id, SP_MEMORY_SIZE, &size), WAVO_OK);
        void* block = nullptr;
        EXPECT_EQ(GetSOProp(id, SP_MEMORY_ADDRESS, &block), WAVO_OK);
        std::memcpy(block, data.data(), data.size());
        EXPECT_EQ(CallSOMethod(id, SM_LOAD, nullptr), WAVO_OK);
        int32_t state = 0;
        GetSOProp(id, SP_STATE, &state);
        EXPECT_EQ(state, SS_LOADED);
        EXPECT_EQ(CallSOMethod(id, SM_PLAY, nullptr), WAVO_OK);
        {
            std::unique_lock lock(mMutex);
            EXPECT_TRUE(mFinished.wait_for(lock, std::chrono::seconds(60), [&] {
                return mFinishedId == id;
            })) << "the play never finished";
        }
        // Closing the device writes out everything it was given.
        TerminateWavo();
        std::ifstream file(mOutputPath, std::ios::binary);
        std::vector<char> bytes(std::istreambuf_iterator<char>(file), {});
        std::vector<float> output(bytes.size() / sizeof(float));
        if (!output.empty())
            std::memcpy(output.data(), bytes.data(), output.size() * sizeof(float));
        return output;
    }

    static void OnEvent(void* context, uint32_t, int32_t wparam, int32_t) {
        auto* self = static_cast<SoundCheck*>(context);
        if ((wparam & 0xFFFF0000) != WE_FINISHED) return;
        std::lock_guard lock(self->mMutex);
        self->mFinishedId = wparam & 0xFFFF;
        self->mFinished.notify_all();
    }

    std::string mOutputPath;
    std::mutex mMutex;
    std::condition_variable mFinished;
    int32_t mFinishedId = -1;
};

struct Extent {
    int64_t first = -1;  // frames
    int64_t last = -1;
};

// Where the sound is: the first and last frames that are not silent.
Extent SoundingFrames(const std::vector<float>& samples) {
    Extent extent;
    for (size_t i = 0; i < samples.size(); ++i) {
        if (samples[i] == 0.0f) continue;
        int64_t frame = static_cast<int64_t>(i / 2);
        if (extent.first < 0) extent.first = frame;
        extent.last = frame;
    }
    return extent;
}

// The output from where the reference's first sound falls, as long as the reference.
std::vector<float> Aligned(const std::vector<float>& output, const std::vector<float>& reference) {
    Extent out = SoundingFrames(output);
    Extent ref = SoundingFrames(reference);
    std::vector<float> aligned(reference.size());
    int64_t shift = (out.first - ref.first) * 2;
    for (size_t i = 0; i < aligned.size(); ++i) {
        int64_t j = static_cast<int64_t>(i) + shift;
        if (j >= 0 && j < std::ssize(output)) aligned[i] = output[static_cast<size_t>(j)];
    }
    return aligned;
}

void ExpectSameSound(const std::vector<float>& reference, const std::vector<float>& output) {
    ASSERT_FALSE(output.empty()) << "nothing came out";
    Extent out = SoundingFrames(output);
    Extent ref = SoundingFrames(reference);
    ASSERT_GE(out.first, 0) << "only silence came out";
    EXPECT_NEAR(double(out.last - out.first), double(ref.last - ref.first), kRefillFrames);
    double snr = test::AlignedSnr(reference, Aligned(output, reference), 2, 8);
    testing::Test::RecordProperty("snr_db", std::to_string(snr));
    testing::Test::RecordProperty("frames_out", std::to_string(out.last - out.first));
    testing::Test::RecordProperty("frames_reference", std::to_string(ref.last - ref.first));
    EXPECT_GE(snr, 60.0);
}

TEST_F(SoundCheck, OggVorbisComesOutAsVorbisfileDecodesIt) {
    auto reference = test::AsFloat(test::DecodeWithVorbisfile("vorbis_stereo_44100.ogg"));
    auto output = Play(ST_VORBIS_MEMORY, test::ReadBytes("vorbis_stereo_44100.ogg"));
    ExpectSameSound(reference, output);
}

// Where the left channel is not silent: the first and the last frame.
Extent LeftSounding(const std::vector<float>& output) {
    Extent extent;
    for (size_t frame = 0; frame < output.size() / 2; ++frame) {
        if (std::abs(output[2 * frame]) <= 1e-3f) continue;
        if (extent.first < 0) extent.first = static_cast<int64_t>(frame);
        extent.last = static_cast<int64_t>(frame);
    }
    return extent;
}

// 600 Hz without a gap from `from` to `to` (frames at 44100 Hz): the right
// number of crossings, and no 5 ms stretch that falls silent.
void ExpectSteady600Hz(const std::vector<float>& output, size_t from, size_t to) {
    const test::Stretch whole{2, 0, from, to - from};
    EXPECT_NEAR(test::Crossings(output, whole), 1200.0 * double(to - from) / kRate, 4);
    double quietest = 1.0;
    for (size_t at = from; at + 220 <= to; at += 110)
        quietest = std::min(quietest, test::Rms(output, test::Stretch{2, 0, at, 220}));
    EXPECT_GT(quietest, 0.3) << "a gap in the repeats";
}

// The files hold 0.5 s of 300 Hz, then 0.5 s of 600 Hz, and name the first
// quarter second of the 600 Hz part their loop.
constexpr int64_t kLoopIntro = kRate / 2, kLoopSection = kRate / 4;

// Three plays: the intro and the section, the section again, then the
// section and the rest of the data, all 600 Hz with no gap at the joins.
// A lossy encoder may soften the first and last milliseconds: `slack` frames.
void ExpectIntroSectionsAndTail(const std::vector<float>& output, double slack = 150) {
    const Extent sound = LeftSounding(output);
    ASSERT_LT(sound.first, sound.last);
    EXPECT_NEAR(static_cast<double>(sound.last - sound.first),
                kLoopIntro + 3 * kLoopSection + kLoopSection, slack);
    const auto start = static_cast<size_t>(sound.first);
    ExpectSteady600Hz(output, start + kLoopIntro + 500,
                      start + kLoopIntro + 4 * kLoopSection - 500);
}

TEST_F(SoundCheck, AnIntroPlaysOnceTheNamedSectionRepeatsAndTheLastPlayRunsToTheEnd) {
    ExpectIntroSectionsAndTail(
        Play(ST_VORBIS_MEMORY, test::ReadBytes("vorbis_loop_stereo_44100.ogg"), 3));
}

// The section is where repeats go back to; a piece played once is played
// whole, to the end of its data.
TEST_F(SoundCheck, ATaggedPiecePlayedOncePlaysItsWholeData) {
    const auto output = Play(ST_VORBIS_MEMORY, test::ReadBytes("vorbis_loop_stereo_44100.ogg"));
    const Extent sound = LeftSounding(output);
    ASSERT_LT(sound.first, sound.last);
    EXPECT_NEAR(static_cast<double>(sound.last - sound.first), kRate, 150);
}

// [SECTION] The kinds FFmpeg decodes

class MediaSoundCheck : public SoundCheck, public testing::WithParamInterface<std::string> {};

// One second of 440 Hz on the left and 660 Hz on the right, each at half of
// full scale; the output device runs at 44100 Hz whatever the file's rate.
TEST_P(MediaSoundCheck, ToneComesOutAtItsLevelAndPitch) {
    const auto output = Play(ST_SOUND_MEMORY, test::ReadBytes("media_tone_" + GetParam()));
    const Extent sound = LeftSounding(output);
    ASSERT_LT(sound.first, sound.last) << "only silence came out";
    EXPECT_NEAR(static_cast<double>(sound.last - sound.first), kRate, 1500);
    const size_t first = static_cast<size_t>(sound.first) + kRate / 10;
    const size_t count = static_cast<size_t>(sound.last - sound.first) * 8 / 10;
    for (int channel = 0; channel < 2; ++channel) {
        const test::Stretch stretch{2, channel, first, count};
        EXPECT_NEAR(test::Rms(output, stretch), 0.5 / std::sqrt(2.0), 0.01) << channel;
        const double hertz = channel == 0 ? 440.0 : 660.0;
        EXPECT_NEAR(test::Crossings(output, stretch) * double(kRate) / double(count), 2 * hertz, 4)
            << channel;
    }
}

TEST_P(MediaSoundCheck, TheNamedSectionRepeatsWithoutAGap) {
    const std::string file = "media_loop_" + GetParam();
    ExpectIntroSectionsAndTail(Play(ST_SOUND_MEMORY, test::ReadBytes(file), 3), 400);
}

INSTANTIATE_TEST_SUITE_P(Kinds, MediaSoundCheck,
                         testing::Values("stereo_48000.opus", "stereo_44100.flac",
                                         "stereo_44100.mp3"),
                         [](const testing::TestParamInfo<std::string>& info) {
                             return info.param.substr(info.param.rfind('.') + 1);
                         });

// A WAVE has no loop tags: the whole sound repeats, the join as seamless as
// the data (the quarter second holds whole cycles of both tones).
TEST_F(SoundCheck, AWaveWithAListChunkPlaysAndRepeatsWhole) {
    const auto output = Play(ST_SOUND_MEMORY, test::ReadBytes("media_tone_stereo_44100.wav"), 4);
    const Extent sound = LeftSounding(output);
    ASSERT_LT(sound.first, sound.last);
    EXPECT_NEAR(static_cast<double>(sound.last - sound.first), 4 * kRate / 4, 150);
    const auto start = static_cast<size_t>(sound.first);
    const test::Stretch all{2, 0, start + 100, 4 * kRate / 4 - 200};
    EXPECT_NEAR(test::Crossings(output, all), 880.0 * double(all.count) / kRate, 4);
    double quietest = 1.0;
    for (size_t at = all.first; at + 220 <= all.first + all.count; at += 110)
        quietest = std::min(quietest, test::Rms(output, test::Stretch{2, 0, at, 220}));
    EXPECT_GT(quietest, 0.3);
}

TEST_F(SoundCheck, DamagedDataOfTheNewKindsDoesNotLoad) {
    for (const char* file : {"media_tone_stereo_48000.opus", "media_tone_stereo_44100.flac",
                             "media_tone_stereo_44100.mp3"}) {
        auto data = test::ReadBytes(file);
        data.resize(40);
        const int32_t id = AddSO(ST_SOUND_MEMORY);
        int32_t size = static_cast<int32_t>(data.size());
        ASSERT_EQ(SetSOProp(id, SP_MEMORY_SIZE, &size), WAVO_OK);
        void* block = nullptr;
        ASSERT_EQ(GetSOProp(id, SP_MEMORY_ADDRESS, &block), WAVO_OK);
        std::memcpy(block, data.data(), data.size());
        EXPECT_EQ(CallSOMethod(id, SM_LOAD, nullptr), WAVO_OK);
        int32_t state = 0;
        GetSOProp(id, SP_STATE, &state);
        EXPECT_EQ(state, SS_UNLOADED) << file;
    }
}

// The demo's title music: an intro of 252000 frames, then a body of 1008000
// that its comments name the repeat section. Played twice, what comes out is
// the intro, the body and the body again, with nothing between.
TEST_F(SoundCheck, TheDemoTitleMusicPlaysItsIntroOnceAndItsBodyGaplessly) {
    const std::string title = "../../../games/demo/sound/bgm_title.ogg";
    const std::vector<int16_t> decoded = test::DecodeWithVorbisfile(title);
    constexpr size_t kIntro = 252000, kBody = 1008000;
    ASSERT_EQ(decoded.size(), 2 * (kIntro + kBody));
    std::vector<int16_t> expected(decoded);
    expected.insert(expected.end(), decoded.begin() + 2 * kIntro, decoded.end());
    const std::vector<float> reference = test::AsFloat(expected);
    const std::vector<float> output = Play(ST_VORBIS_MEMORY, test::ReadBytes(title), 2);
    ExpectSameSound(reference, output);
    // The join of the body to itself, a second around it, on its own.
    const std::vector<float> aligned = Aligned(output, reference);
    const size_t join = 2 * (kIntro + kBody);
    const std::vector<float> around(reference.begin() + join - 44100,
                                    reference.begin() + join + 44100);
    const std::vector<float> heard(aligned.begin() + join - 44100, aligned.begin() + join + 44100);
    EXPECT_GE(test::AlignedSnr(around, heard, 2, 8), 60.0);
}

TEST_F(SoundCheck, PcmWaveComesOutAsItsRawSamples) {
    auto wave = test::ReadBytes("pcm16_stereo_44100.wav");
    // The data chunk follows a 16-byte fmt chunk: 44 bytes of header.
    std::vector<uint8_t> data(wave.begin() + 44, wave.end());
    auto reference = test::AsFloat(test::AsSamples(data));
    auto output = Play(ST_WAVE_MEMORY, wave);
    ExpectSameSound(reference, output);
}

}  // namespace
}  // namespace wavo
