// The sounds decoded through FFmpeg: Ogg Opus, FLAC, MP3 and WAVE, through the
// "any sound" type words as the sound objects use them.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>

#include "any_sound_decoder.h"
#include "media_decoder.h"
#include "sound_files.h"
#include "vorbis_decoder.h"

namespace wavo {
namespace {

std::vector<int16_t> DecodeAll(Decoder& decoder, int64_t piece = 44100) {
    std::vector<uint8_t> bytes;
    std::vector<uint8_t> buffer(static_cast<size_t>(piece));
    while (!decoder.AtEnd()) {
        const int64_t got = decoder.Read(buffer.data(), piece);
        if (got == 0) break;
        bytes.insert(bytes.end(), buffer.begin(), buffer.begin() + got);
    }
    return test::AsSamples(bytes);
}

struct Kind {
    const char* file;
    uint32_t rate;
    size_t frames;     // what the encoder was given
    size_t tolerance;  // frames the encoder may add or take
};

std::string NameOf(const testing::TestParamInfo<Kind>& info) {
    std::string name = info.param.file;
    return name.substr(name.rfind('.') + 1);
}

class MediaKinds : public testing::TestWithParam<Kind> {};

// One second of 440 Hz left and 660 Hz right, each at half of full scale:
// the level is 0.5 / sqrt(2) in both channels.
TEST_P(MediaKinds, DecodeAtTheirRateLevelAndPitch) {
    const Kind& kind = GetParam();
    auto data = test::ReadBytes(kind.file);
    AnySoundDecoder decoder;
    ASSERT_TRUE(decoder.Open(kTypeSoundMemory, data.data(), std::ssize(data))) << decoder.Error();
    const WaveFormat& format = decoder.OutputFormat();
    EXPECT_EQ(format.channels, 2);
    EXPECT_EQ(format.samplesPerSec, kind.rate);
    EXPECT_EQ(format.blockAlign, 4);
    EXPECT_NEAR(static_cast<double>(decoder.LengthMs()), kind.frames * 1000.0 / kind.rate, 50);
    const auto samples = test::AsFloat(DecodeAll(decoder));
    const size_t frames = samples.size() / 2;
    EXPECT_NEAR(static_cast<double>(frames), static_cast<double>(kind.frames), kind.tolerance);
    // Away from the encoders' fade-in and fade-out.
    const size_t first = frames / 10, count = frames * 8 / 10;
    const double seconds = static_cast<double>(count) / kind.rate;
    for (int channel = 0; channel < 2; ++channel) {
        const test::Stretch stretch{2, channel, first, count};
        EXPECT_NEAR(test::Rms(samples, stretch), 0.5 / std::sqrt(2.0), 0.01) << channel;
        const double hertz = channel == 0 ? 440.0 : 660.0;
        EXPECT_NEAR(test::Crossings(samples, stretch) / seconds, 2 * hertz, 4) << channel;
    }
}

TEST_P(MediaKinds, DecodeAFileAsTheSameBlockInMemory) {
    auto data = test::ReadBytes(GetParam().file);
    MediaDecoder memory, file;
    ASSERT_TRUE(memory.Open(kTypeSoundMemory, data.data(), std::ssize(data)));
    const std::string path = test::DataPath(GetParam().file);
    ASSERT_TRUE(file.Open(kTypeSoundFile, path.c_str(), 0));
    EXPECT_EQ(DecodeAll(memory), DecodeAll(file, 1000));
}

// Repeats and loop sections go back by seeking: wherever it lands, the sound
// from there is exactly what a straight decode gives there.
TEST_P(MediaKinds, SeekLandsOnTheExactSample) {
    auto data = test::ReadBytes(GetParam().file);
    MediaDecoder decoder;
    ASSERT_TRUE(decoder.Open(kTypeSoundMemory, data.data(), std::ssize(data)));
    const auto whole = DecodeAll(decoder);
    for (const int64_t frame : {int64_t{0}, int64_t{1}, int64_t{1151}, int64_t{7000}}) {
        ASSERT_TRUE(decoder.Seek(frame * 4 + 3));  // inside the frame: its start
        EXPECT_EQ(decoder.Position(), frame * 4);
        std::vector<int16_t> piece(2000);
        const int64_t got = decoder.Read(piece.data(), std::ssize(piece) * 2);
        ASSERT_EQ(got, std::ssize(piece) * 2) << frame;
        const std::vector<int16_t> expected(whole.begin() + frame * 2,
                                            whole.begin() + frame * 2 + std::ssize(piece));
        EXPECT_EQ(piece, expected) << "at frame " << frame;
    }
}

INSTANTIATE_TEST_SUITE_P(Files, MediaKinds,
                         testing::Values(Kind{"media_tone_stereo_48000.opus", 48000, 48000, 400},
                                         Kind{"media_tone_stereo_44100.flac", 44100, 44100, 0},
                                         Kind{"media_tone_stereo_44100.mp3", 44100, 44100, 1200},
                                         Kind{"media_tone_stereo_44100.wav", 44100, 11025, 0}),
                         NameOf);

TEST(MediaDecoder, LosslessKindsGiveTheSamplesTheyWereMadeOf) {
    auto flacData = test::ReadBytes("media_tone_stereo_44100.flac");
    auto waveData = test::ReadBytes("media_tone_stereo_44100.wav");
    MediaDecoder flac, wave;
    ASSERT_TRUE(flac.Open(kTypeSoundMemory, flacData.data(), std::ssize(flacData)));
    ASSERT_TRUE(wave.Open(kTypeSoundMemory, waveData.data(), std::ssize(waveData)));
    auto fromFlac = DecodeAll(flac);
    const auto fromWave = DecodeAll(wave);
    ASSERT_EQ(fromWave.size(), 2u * 11025);
    fromFlac.resize(fromWave.size());
    EXPECT_EQ(fromFlac, fromWave);
}

TEST(MediaDecoder, OggVorbisStillGoesToTheVorbisDecoder) {
    auto data = test::ReadBytes("vorbis_stereo_44100.ogg");
    AnySoundDecoder any;
    VorbisDecoder vorbis;
    ASSERT_TRUE(any.Open(kTypeSoundMemory, data.data(), std::ssize(data)));
    ASSERT_TRUE(vorbis.Open(kTypeVorbisMemory, data.data(), std::ssize(data)));
    EXPECT_EQ(DecodeAll(any), DecodeAll(vorbis));
}

TEST(MediaDecoder, ReadsTheLoopTagsOfEachKind) {
    for (const auto& [file, start, length] :
         {std::tuple{"media_loop_stereo_48000.opus", 24000, 12000},
          std::tuple{"media_loop_stereo_44100.flac", 22050, 11025},
          std::tuple{"media_loop_stereo_44100.mp3", 22050, 11025}}) {
        auto data = test::ReadBytes(file);
        AnySoundDecoder decoder;
        ASSERT_TRUE(decoder.Open(kTypeSoundMemory, data.data(), std::ssize(data))) << file;
        ASSERT_TRUE(decoder.Loop().has_value()) << file;
        EXPECT_EQ(decoder.Loop()->startFrame, start) << file;
        EXPECT_EQ(decoder.Loop()->lengthFrames, length) << file;
    }
    auto untagged = test::ReadBytes("media_tone_stereo_44100.flac");
    MediaDecoder decoder;
    ASSERT_TRUE(decoder.Open(kTypeSoundMemory, untagged.data(), std::ssize(untagged)));
    EXPECT_FALSE(decoder.Loop().has_value());
}

TEST(MediaDecoder, RefusesWhatIsNoSoundWithAReason) {
    const std::vector<uint8_t> text{'n', 'o', ' ', 's', 'o', 'u', 'n', 'd', '\n'};
    std::vector<uint8_t> noise(20000);
    srand(7);
    for (uint8_t& byte : noise)
        byte = static_cast<uint8_t>(rand());
    for (const auto& data : {text, noise}) {
        AnySoundDecoder decoder;
        EXPECT_FALSE(decoder.Open(kTypeSoundMemory, data.data(), std::ssize(data)));
        EXPECT_FALSE(decoder.Error().empty());
        EXPECT_TRUE(decoder.AtEnd());
        EXPECT_EQ(decoder.Read(noise.data(), 100), 0);
    }
    AnySoundDecoder decoder;
    EXPECT_FALSE(decoder.Open(kTypeSoundMemory, nullptr, 0));
    EXPECT_FALSE(decoder.Open(kTypeVorbisMemory, text.data(), std::ssize(text)));
    EXPECT_FALSE(decoder.Open(kTypeSoundFile, "/nonexistent/sound.flac", 0));
}

// Cut short or damaged inside, each kind either refuses to open or plays
// what it can and ends; it never reads outside its data or hangs.
TEST(MediaDecoder, DamagedAndCutFilesEndOrRefuse) {
    for (const char* file : {"media_tone_stereo_48000.opus", "media_tone_stereo_44100.flac",
                             "media_tone_stereo_44100.mp3", "media_tone_stereo_44100.wav"}) {
        const auto whole = test::ReadBytes(file);
        std::vector<std::vector<uint8_t>> damaged;
        for (const size_t keep : {size_t{4}, size_t{40}, size_t{300}, whole.size() / 3})
            damaged.emplace_back(whole.begin(), whole.begin() + keep);
        for (const size_t at : {whole.size() / 2, size_t{60}}) {
            auto broken = whole;
            for (size_t i = at; i < std::min(broken.size(), at + 400); ++i)
                broken[i] = static_cast<uint8_t>(i * 37);
            damaged.push_back(broken);
        }
        for (const auto& data : damaged) {
            AnySoundDecoder decoder;
            if (!decoder.Open(kTypeSoundMemory, data.data(), std::ssize(data))) {
                EXPECT_FALSE(decoder.Error().empty()) << file << " cut to " << data.size();
                continue;
            }
            const auto samples = DecodeAll(decoder);
            EXPECT_LT(samples.size(), 2u * 60000) << file;
            EXPECT_TRUE(decoder.Seek(0));
        }
    }
}

}  // namespace
}  // namespace wavo
