#include <gtest/gtest.h>

#include "sound_files.h"
#include "wave_decoder.h"
#include "wave_memory_source.h"

namespace wavo {
namespace {

using test::RiffBuilder;

// Reads everything in pieces of awkward sizes, as the sound buffer's halves would.
std::vector<int16_t> DecodeAll(Decoder& decoder) {
    std::vector<uint8_t> bytes;
    std::vector<uint8_t> piece(5001);
    while (!decoder.AtEnd()) {
        int64_t got = decoder.Read(piece.data(), std::ssize(piece));
        if (got == 0) break;
        bytes.insert(bytes.end(), piece.begin(), piece.begin() + got);
    }
    return test::AsSamples(bytes);
}

// The data chunk of a WAVE file, as its samples.
std::vector<int16_t> DataOf(const std::vector<uint8_t>& block) {
    WaveMemorySource source;
    EXPECT_TRUE(source.Open(block.data(), std::ssize(block)));
    std::vector<uint8_t> data(static_cast<size_t>(source.Size()));
    source.Read(data.data(), std::ssize(data));
    return test::AsSamples(data);
}

struct Reference {
    const char* wave;
    const char* reference;  // a .raw file, or the .wav whose data is the reference
    int channels;
    int rate;
};

class WaveFormats : public testing::TestWithParam<Reference> {};

TEST_P(WaveFormats, DecodeToTheReferenceSamples) {
    const Reference& file = GetParam();
    auto block = test::ReadBytes(file.wave);
    WaveDecoder decoder;
    ASSERT_TRUE(decoder.Open(kTypeWaveMemory, block.data(), std::ssize(block)));
    std::string reference = file.reference;
    auto expected = reference.ends_with(".raw") ? test::ReadSamples(reference)
                                                : DataOf(test::ReadBytes(reference));
    auto decoded = DecodeAll(decoder);
    EXPECT_TRUE(decoder.AtEnd());
    ASSERT_EQ(decoded.size(), expected.size());
    EXPECT_EQ(decoded, expected);

    const WaveFormat& output = decoder.OutputFormat();
    EXPECT_EQ(output.formatTag, kFormatPcm);
    EXPECT_EQ(output.bitsPerSample, 16);
    EXPECT_EQ(output.channels, file.channels);
    EXPECT_EQ(output.samplesPerSec, static_cast<uint32_t>(file.rate));
    EXPECT_EQ(output.blockAlign, 2 * file.channels);
    EXPECT_EQ(output.avgBytesPerSec, static_cast<uint32_t>(2 * file.channels * file.rate));
}

INSTANTIATE_TEST_SUITE_P(
    Files, WaveFormats,
    testing::Values(Reference{"pcm16_stereo_22050.wav", "pcm16_stereo_22050.wav", 2, 22050},
                    Reference{"pcm8_mono_22050.wav", "pcm8_mono_22050.raw", 1, 22050},
                    Reference{"float32_mono_22050.wav", "pcm16_mono_22050.wav", 1, 22050},
                    Reference{"ima_adpcm_mono_22050.wav", "ima_adpcm_mono_22050.raw", 1, 22050},
                    // Blocks of 1800 and 768 bytes are cut by every 1024-byte chunk.
                    Reference{"ima_adpcm_stereo_22050.wav", "ima_adpcm_stereo_22050.raw", 2, 22050},
                    Reference{"ms_adpcm_mono_33075.wav", "ms_adpcm_mono_33075.raw", 1, 33075},
                    Reference{"ms_adpcm_stereo_22050.wav", "ms_adpcm_stereo_22050.raw", 2, 22050}),
    [](const auto& info) {
        std::string name = info.param.wave;
        return name.substr(0, name.find('.'));
    });

TEST(WaveDecoder, TakesOnlyTheWaveMemoryTypeWord) {
    auto block = test::ReadBytes("pcm16_stereo_22050.wav");
    WaveDecoder decoder;
    EXPECT_FALSE(decoder.Open(kTypeVorbisMemory, block.data(), std::ssize(block)));
    EXPECT_FALSE(decoder.Open(0x49080401, block.data(), std::ssize(block)));
    EXPECT_TRUE(decoder.Open(kTypeWaveMemory, block.data(), std::ssize(block)));
}

TEST(WaveDecoder, RefusesFormatsItCannotConvertAtOpen) {
    struct Case {
        uint16_t tag, channels, blockAlign, bits;
    };
    for (Case c : {Case{0x55, 2, 1, 0},        // MPEG Layer-3
                   Case{1, 2, 6, 24},          // 24-bit PCM
                   Case{1, 3, 6, 16},          // three channels
                   Case{1, 0, 0, 16},          // no channels
                   Case{1, 2, 2, 16},          // a block that does not hold a frame
                   Case{3, 1, 8, 64},          // 64-bit float
                   Case{0x11, 1, 4, 4},        // IMA block no larger than its header
                   Case{2, 2, 10, 4},          // MS ADPCM block shorter than its header
                   Case{0xFFFE, 2, 4, 16}}) {  // extensible
        auto format = RiffBuilder::Format(c.tag, c.channels, 22050, c.blockAlign, c.bits);
        auto block = RiffBuilder().Chunk("fmt ", format).Chunk("data", {0, 0, 0, 0}).Build();
        WaveDecoder decoder;
        EXPECT_FALSE(decoder.Open(kTypeWaveMemory, block.data(), std::ssize(block)))
            << "tag " << c.tag << " bits " << c.bits << " channels " << c.channels;
    }
}

TEST(WaveDecoder, TakesTheSampleSizeOfAPlainFormatFromItsFrames) {
    auto format = RiffBuilder::Format(1, 2, 22050, 4, 16);
    format.resize(14);
    auto block = RiffBuilder().Chunk("fmt ", format).Chunk("data", {1, 0, 2, 0}).Build();
    WaveDecoder decoder;
    ASSERT_TRUE(decoder.Open(kTypeWaveMemory, block.data(), std::ssize(block)));
    int16_t frame[2] = {};
    EXPECT_EQ(decoder.Read(frame, 4), 4);
    EXPECT_EQ(frame[1], 2);
}

TEST(WaveDecoder, RefusesRatesOfZeroOrBeyondReason) {
    for (uint32_t rate : {0u, 1000000u, 0xFFFFFFFFu}) {
        auto format = RiffBuilder::Format(1, 2, rate, 4, 16);
        auto block = RiffBuilder().Chunk("fmt ", format).Chunk("data", {0, 0, 0, 0}).Build();
        WaveDecoder decoder;
        EXPECT_FALSE(decoder.Open(kTypeWaveMemory, block.data(), std::ssize(block))) << rate;
    }
}

TEST(WaveDecoder, GivesLengthDecodedSizeAndPositionFromTheByteRates) {
    auto block = test::ReadBytes("pcm8_mono_22050.wav");
    WaveDecoder decoder;
    ASSERT_TRUE(decoder.Open(kTypeWaveMemory, block.data(), std::ssize(block)));
    EXPECT_EQ(decoder.LengthMs(), 800);
    EXPECT_EQ(decoder.DecodedSize(), 35280);
    EXPECT_EQ(decoder.Position(), 0);
    std::vector<uint8_t> out(10000);
    EXPECT_EQ(decoder.Read(out.data(), 10000), 10000);
    // The position is the source's, which runs ahead by the rest of a 1024-byte chunk.
    EXPECT_EQ(decoder.Position(), 10240);
}

TEST(WaveDecoder, SeeksToTheStartOfTheBlockThatHoldsThePosition) {
    auto block = test::ReadBytes("pcm16_stereo_22050.wav");
    auto all = DataOf(block);
    WaveDecoder decoder;
    ASSERT_TRUE(decoder.Open(kTypeWaveMemory, block.data(), std::ssize(block)));
    std::vector<uint8_t> out(4096);
    decoder.Read(out.data(), 4096);
    // 1002 is inside the frame at 1000: landing there would swap the channels.
    ASSERT_TRUE(decoder.Seek(1002));
    auto rest = DecodeAll(decoder);
    ASSERT_EQ(rest.size(), all.size() - 500);
    EXPECT_TRUE(std::equal(rest.begin(), rest.end(), all.begin() + 500));
}

TEST(WaveDecoder, SeeksCompressedDataToABlockStart) {
    auto block = test::ReadBytes("ms_adpcm_mono_33075.wav");
    auto all = test::ReadSamples("ms_adpcm_mono_33075.raw");
    WaveDecoder decoder;
    ASSERT_TRUE(decoder.Open(kTypeWaveMemory, block.data(), std::ssize(block)));
    // Half way through block 5 of 768 bytes (1524 samples each).
    int64_t sourceTarget = 5 * 768 + 384;
    ASSERT_TRUE(decoder.Seek(sourceTarget * decoder.DecodedSize() / 16896));
    auto rest = DecodeAll(decoder);
    ASSERT_EQ(rest.size(), all.size() - 5 * 1524);
    EXPECT_TRUE(std::equal(rest.begin(), rest.end(), all.begin() + 5 * 1524));
    EXPECT_FALSE(decoder.Seek(-1));
    EXPECT_TRUE(decoder.Seek(0));
    EXPECT_EQ(DecodeAll(decoder), all);
}

// A WAVE block whose data chunk is the first bytes of a file's data chunk.
std::vector<uint8_t> CutData(const std::string& name, size_t keep) {
    auto block = test::ReadBytes(name);
    WaveMemorySource source;
    EXPECT_TRUE(source.Open(block.data(), std::ssize(block)));
    const WaveFormat& format = *source.Format();
    std::vector<uint8_t> data(keep);
    source.Read(data.data(), std::ssize(data));
    auto fmt = RiffBuilder::Format(format.formatTag, format.channels, format.samplesPerSec,
                                   format.blockAlign, format.bitsPerSample);
    fmt[8] = static_cast<uint8_t>(format.avgBytesPerSec);
    fmt[9] = static_cast<uint8_t>(format.avgBytesPerSec >> 8);
    auto extra = RiffBuilder::Le16(static_cast<int>(format.extra.size()));
    fmt.insert(fmt.end(), extra.begin(), extra.end());
    fmt.insert(fmt.end(), format.extra.begin(), format.extra.end());
    return RiffBuilder().Chunk("fmt ", fmt).Chunk("data", data).Build();
}

TEST(WaveDecoder, DecodesAShortLastBlockAsFarAsItsBytesGo) {
    // Two whole blocks of 768 bytes and 107 bytes of the third: its 7-byte header
    // and 100 bytes of nibbles give 2 + 200 samples.
    auto block = CutData("ms_adpcm_mono_33075.wav", 2 * 768 + 107);
    auto all = test::ReadSamples("ms_adpcm_mono_33075.raw");
    WaveDecoder decoder;
    ASSERT_TRUE(decoder.Open(kTypeWaveMemory, block.data(), std::ssize(block)));
    auto decoded = DecodeAll(decoder);
    ASSERT_EQ(decoded.size(), 2u * 1524 + 202);
    EXPECT_TRUE(std::equal(decoded.begin(), decoded.end(), all.begin()));
    EXPECT_TRUE(decoder.AtEnd());
}

TEST(WaveDecoder, DropsABrokenFrameAtTheEndOfPcm) {
    auto block = CutData("pcm16_stereo_22050.wav", 4001);
    WaveDecoder decoder;
    ASSERT_TRUE(decoder.Open(kTypeWaveMemory, block.data(), std::ssize(block)));
    EXPECT_EQ(DecodeAll(decoder).size(), 2000u);
}

TEST(WaveDecoder, EndsTheSoundAtACorruptBlock) {
    auto block = CutData("ima_adpcm_mono_22050.wav", 8 * 256);
    // Block 3's step index lies outside the step table.
    size_t dataStart = block.size() - 8 * 256;
    block[dataStart + 3 * 256 + 2] = 200;
    auto all = test::ReadSamples("ima_adpcm_mono_22050.raw");
    WaveDecoder decoder;
    ASSERT_TRUE(decoder.Open(kTypeWaveMemory, block.data(), std::ssize(block)));
    auto decoded = DecodeAll(decoder);
    ASSERT_EQ(decoded.size(), 3u * 505);
    EXPECT_TRUE(std::equal(decoded.begin(), decoded.end(), all.begin()));
    EXPECT_TRUE(decoder.AtEnd());
}

TEST(WaveDecoder, ReadsNothingOnceClosed) {
    auto block = test::ReadBytes("pcm16_stereo_22050.wav");
    WaveDecoder decoder;
    ASSERT_TRUE(decoder.Open(kTypeWaveMemory, block.data(), std::ssize(block)));
    decoder.Close();
    uint8_t byte = 0;
    EXPECT_EQ(decoder.Read(&byte, 1), 0);
    EXPECT_FALSE(decoder.Seek(0));
    EXPECT_EQ(decoder.SourceFormat(), nullptr);
    // A sound whose decoder has nothing to give must still come to its end.
    EXPECT_TRUE(decoder.AtEnd());
}

}  // namespace
}  // namespace wavo
