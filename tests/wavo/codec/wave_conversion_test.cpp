#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "wave_conversion.h"

namespace wavo {
namespace {

WaveFormat Format(uint16_t tag, uint16_t channels, uint16_t blockAlign, uint16_t bits,
                  std::vector<uint8_t> extra = {}) {
    WaveFormat format;
    format.formatTag = tag;
    format.channels = channels;
    format.samplesPerSec = 22050;
    format.avgBytesPerSec = 22050u * blockAlign;
    format.blockAlign = blockAlign;
    format.bitsPerSample = bits;
    format.extra = std::move(extra);
    return format;
}

std::vector<int16_t> ConvertAll(const WaveConversion& conversion,
                                const std::vector<uint8_t>& input) {
    std::vector<int16_t> output(input.size() * 4 + 4096);
    auto result = conversion.Convert(input, output, true);
    EXPECT_FALSE(result.failed);
    output.resize(result.produced / 2);
    return output;
}

TEST(WaveConversion, CentresUnsignedEightBitSamples) {
    auto conversion = WaveConversion::Open(Format(kFormatPcm, 1, 1, 8));
    ASSERT_TRUE(conversion);
    EXPECT_EQ(ConvertAll(*conversion, {0, 128, 255, 1}),
              (std::vector<int16_t>{-32768, 0, 32512, -32512}));
}

TEST(WaveConversion, ScalesFloatSoThatSixteenBitSoundComesBackExactly) {
    auto conversion = WaveConversion::Open(Format(kFormatIeeeFloat, 1, 4, 32));
    ASSERT_TRUE(conversion);
    std::vector<float> samples{1.0f,
                               -1.0f,
                               0.5f,
                               2.0f,
                               -7.0f,
                               12345.0f / 32768,
                               std::numeric_limits<float>::quiet_NaN(),
                               std::numeric_limits<float>::infinity()};
    std::vector<uint8_t> bytes(samples.size() * 4);
    std::memcpy(bytes.data(), samples.data(), bytes.size());
    EXPECT_EQ(ConvertAll(*conversion, bytes),
              (std::vector<int16_t>{32767, -32768, 16384, 32767, -32768, 12345, 0, 32767}));
}

TEST(WaveConversion, ReadsTheSamplesPerBlockOfImaAdpcm) {
    // 256 bytes mono hold 505 samples; fewer may be declared, more may not.
    auto conversion = WaveConversion::Open(Format(kFormatImaAdpcm, 1, 256, 4, {0xF9, 0x01}));
    ASSERT_TRUE(conversion);
    EXPECT_EQ(conversion->OutputBlockSize(), 1010u);
    EXPECT_TRUE(WaveConversion::Open(Format(kFormatImaAdpcm, 1, 256, 4, {100, 0})));
    EXPECT_FALSE(WaveConversion::Open(Format(kFormatImaAdpcm, 1, 256, 4, {0xFA, 0x01})));
    EXPECT_FALSE(WaveConversion::Open(Format(kFormatImaAdpcm, 1, 256, 4, {0, 0})));
    EXPECT_FALSE(WaveConversion::Open(Format(kFormatImaAdpcm, 1, 256, 3)));
}

TEST(WaveConversion, StartsAnImaBlockWithItsHeaderSample) {
    auto conversion = WaveConversion::Open(Format(kFormatImaAdpcm, 1, 8, 4));
    ASSERT_TRUE(conversion);
    // Predictor 1000 and step index 0 (step 7); nibble 7 goes up by 0 + 1 + 3 + 7
    // and the index by 8 (step 16); nibble 15 goes down by 2 + 4 + 8 + 16.
    std::vector<uint8_t> block{0xE8, 0x03, 0, 0, 0xF7, 0, 0, 0};
    auto samples = ConvertAll(*conversion, block);
    ASSERT_EQ(samples.size(), 9u);
    EXPECT_EQ(samples[0], 1000);
    EXPECT_EQ(samples[1], 1011);
    EXPECT_EQ(samples[2], 981);
}

TEST(WaveConversion, StartsAnMsAdpcmBlockWithItsTwoHeaderSamplesOldestFirst) {
    auto conversion = WaveConversion::Open(Format(kFormatMsAdpcm, 1, 8, 4));
    ASSERT_TRUE(conversion);
    // Predictor 0 (256, 0), delta 16, sample1 100, sample2 -50, nibbles 1 and 0.
    std::vector<uint8_t> block{0, 16, 0, 100, 0, 0xCE, 0xFF, 0x10};
    EXPECT_EQ(ConvertAll(*conversion, block), (std::vector<int16_t>{-50, 100, 116, 116}));
}

TEST(WaveConversion, RefusesAnMsAdpcmPredictorOutsideTheTable) {
    auto conversion = WaveConversion::Open(Format(kFormatMsAdpcm, 1, 8, 4));
    ASSERT_TRUE(conversion);
    std::vector<uint8_t> block{7, 16, 0, 100, 0, 0xCE, 0xFF, 0x10};
    std::vector<int16_t> output(64);
    EXPECT_TRUE(conversion->Convert(block, output, true).failed);
}

TEST(WaveConversion, SurvivesHostileAdpcmSteps) {
    // The largest delta and nibbles that always grow it: clamped, never overflowing.
    auto conversion = WaveConversion::Open(Format(kFormatMsAdpcm, 1, 1024, 4));
    ASSERT_TRUE(conversion);
    std::vector<uint8_t> block(1024, 0x88);
    block[0] = 1;
    block[1] = 0xFF;
    block[2] = 0x7F;
    auto samples = ConvertAll(*conversion, block);
    EXPECT_EQ(samples.size(), 2036u);
    auto ima = WaveConversion::Open(Format(kFormatImaAdpcm, 2, 1024, 4));
    ASSERT_TRUE(ima);
    std::vector<uint8_t> imaBlock(1024, 0x77);
    imaBlock[2] = imaBlock[6] = 88;
    EXPECT_EQ(ConvertAll(*ima, imaBlock).size(), 2u * 1017);
}

}  // namespace
}  // namespace wavo
