// Microsoft ADPCM (tag 0x02): 4 bits a sample predicted from the two before it
// with one of a table of coefficient pairs. Each block opens with the predictor
// choice, step and first two samples of every channel; the nibbles that follow
// alternate between the channels, high nibble first.

#include <algorithm>
#include <array>
#include <climits>
#include <vector>

#include "wave_conversion.h"

namespace wavo {
namespace {

struct Coefficients {
    int first;
    int second;
};

constexpr std::array<Coefficients, 7> kStandardCoefficients = {
    {{256, 0}, {512, -256}, {0, 0}, {192, 64}, {240, 0}, {460, -208}, {392, -232}}};
constexpr std::array<int, 16> kAdaptation = {230, 230, 230, 230, 307, 409, 512, 614,
                                             768, 614, 512, 409, 307, 230, 230, 230};
// Beyond this the next adaptation would overflow; real data never comes near.
constexpr int kLargestDelta = INT_MAX / 768;

struct ChannelState {
    Coefficients coefficients{};
    int delta = 0;
    int sample1 = 0;
    int sample2 = 0;

    int16_t Next(uint8_t nibble) {
        int predicted = (sample1 * coefficients.first + sample2 * coefficients.second) >> 8;
        int signedNibble = nibble >= 8 ? nibble - 16 : nibble;
        int sample = std::clamp(predicted + signedNibble * delta, -32768, 32767);
        sample2 = sample1;
        sample1 = sample;
        delta = std::clamp((kAdaptation[nibble] * delta) >> 8, 16, kLargestDelta);
        return static_cast<int16_t>(sample);
    }
};

int16_t Le16(const uint8_t* bytes) {
    return static_cast<int16_t>(bytes[0] | bytes[1] << 8);
}

class MsAdpcmConversion final : public BlockConversion {
public:
    MsAdpcmConversion(const WaveFormat& output, size_t blockAlign, size_t samplesPerBlock,
                      std::vector<Coefficients> coefficients)
        : BlockConversion(output, blockAlign, samplesPerBlock * output.blockAlign),
          mChannels(output.channels),
          mSamplesPerBlock(samplesPerBlock),
          mCoefficients(std::move(coefficients)) {}

private:
    int64_t ConvertBlock(std::span<const uint8_t> block, int16_t* output) const override {
        size_t headerSize = 7 * mChannels;
        if (block.size() < headerSize) return 0;
        std::array<ChannelState, 2> channels;
        const uint8_t* header = block.data();
        for (size_t c = 0; c < mChannels; ++c) {
            size_t predictor = header[c];
            if (predictor >= mCoefficients.size()) return -1;
            channels[c].coefficients = mCoefficients[predictor];
            channels[c].delta = Le16(header + mChannels + 2 * c);
            channels[c].sample1 = Le16(header + 3 * mChannels + 2 * c);
            channels[c].sample2 = Le16(header + 5 * mChannels + 2 * c);
            // The header's samples come out oldest first.
            output[c] = static_cast<int16_t>(channels[c].sample2);
            output[mChannels + c] = static_cast<int16_t>(channels[c].sample1);
        }
        size_t nibbles = (block.size() - headerSize) * 2;
        size_t frames = std::min(mSamplesPerBlock, 2 + nibbles / mChannels);
        size_t samples = frames * mChannels;
        for (size_t i = 2 * mChannels; i < samples; ++i) {
            size_t nibbleIndex = i - 2 * mChannels;
            uint8_t byte = block[headerSize + nibbleIndex / 2];
            uint8_t nibble = (nibbleIndex & 1) ? byte & 0x0F : byte >> 4;
            output[i] = channels[i % mChannels].Next(nibble);
        }
        return static_cast<int64_t>(samples);
    }

    size_t mChannels;
    size_t mSamplesPerBlock;
    std::vector<Coefficients> mCoefficients;
};

// The fmt chunk's own table when it holds a complete one, else the standard table
// that every encoder writes anyway.
std::vector<Coefficients> ReadCoefficients(const std::vector<uint8_t>& extra) {
    size_t count = extra.size() >= 4 ? static_cast<size_t>(extra[2] | extra[3] << 8) : 0;
    if (count == 0 || extra.size() < 4 + 4 * count)
        return {kStandardCoefficients.begin(), kStandardCoefficients.end()};
    std::vector<Coefficients> table(count);
    for (size_t i = 0; i < count; ++i)
        table[i] = {Le16(&extra[4 + 4 * i]), Le16(&extra[6 + 4 * i])};
    return table;
}

}  // namespace

std::unique_ptr<WaveConversion> OpenMsAdpcmConversion(const WaveFormat& source) {
    size_t channels = source.channels;
    size_t headerSize = 7 * channels;
    if (source.bitsPerSample != 4 || source.blockAlign < headerSize) return nullptr;
    size_t mostSamples = 2 + (source.blockAlign - headerSize) * 2 / channels;
    size_t samplesPerBlock = mostSamples;
    if (source.extra.size() >= 2) {
        samplesPerBlock = static_cast<size_t>(source.extra[0] | source.extra[1] << 8);
        if (samplesPerBlock < 2 || samplesPerBlock > mostSamples) return nullptr;
    }
    WaveFormat output = WaveFormat::Pcm16(source.channels, source.samplesPerSec);
    return std::make_unique<MsAdpcmConversion>(output, source.blockAlign, samplesPerBlock,
                                               ReadCoefficients(source.extra));
}

}  // namespace wavo
