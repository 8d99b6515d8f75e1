// IMA ADPCM (tag 0x11): 4 bits a sample. Each block opens with one header per
// channel (first sample, step index), followed by groups of 4 bytes (8 samples)
// per channel in turn, low nibble first.

#include <algorithm>
#include <array>

#include "wave_conversion.h"

namespace wavo {
namespace {

constexpr std::array<int16_t, 89> kStepSizes = {
    7,     8,     9,     10,    11,    12,    13,    14,    16,    17,    19,   21,    23,
    25,    28,    31,    34,    37,    41,    45,    50,    55,    60,    66,   73,    80,
    88,    97,    107,   118,   130,   143,   157,   173,   190,   209,   230,  253,   279,
    307,   337,   371,   408,   449,   494,   544,   598,   658,   724,   796,  876,   963,
    1060,  1166,  1282,  1411,  1552,  1707,  1878,  2066,  2272,  2499,  2749, 3024,  3327,
    3660,  4026,  4428,  4871,  5358,  5894,  6484,  7132,  7845,  8630,  9493, 10442, 11487,
    12635, 13899, 15289, 16818, 18500, 20350, 22385, 24623, 27086, 29794, 32767};
constexpr std::array<int, 8> kIndexSteps = {-1, -1, -1, -1, 2, 4, 6, 8};
constexpr int kHighestIndex = 88;

struct ChannelState {
    int predictor = 0;
    int index = 0;

    int16_t Next(uint8_t nibble) {
        int step = kStepSizes[static_cast<size_t>(index)];
        int difference = step >> 3;
        if (nibble & 1) difference += step >> 2;
        if (nibble & 2) difference += step >> 1;
        if (nibble & 4) difference += step;
        if (nibble & 8) difference = -difference;
        predictor = std::clamp(predictor + difference, -32768, 32767);
        index = std::clamp(index + kIndexSteps[nibble & 7], 0, kHighestIndex);
        return static_cast<int16_t>(predictor);
    }
};

class ImaAdpcmConversion final : public BlockConversion {
public:
    ImaAdpcmConversion(const WaveFormat& output, size_t blockAlign, size_t samplesPerBlock)
        : BlockConversion(output, blockAlign, samplesPerBlock * output.blockAlign),
          mChannels(output.channels),
          mSamplesPerBlock(samplesPerBlock) {}

private:
    int64_t ConvertBlock(std::span<const uint8_t> block, int16_t* output) const override {
        size_t headerSize = 4 * mChannels;
        if (block.size() < headerSize) return 0;
        std::array<ChannelState, 2> channels;
        for (size_t c = 0; c < mChannels; ++c) {
            const uint8_t* header = block.data() + 4 * c;
            channels[c].predictor = static_cast<int16_t>(header[0] | header[1] << 8);
            channels[c].index = header[2];
            if (channels[c].index > kHighestIndex) return -1;
            output[c] = static_cast<int16_t>(channels[c].predictor);
        }
        size_t groupSize = 4 * mChannels;
        size_t groups = (block.size() - headerSize) / groupSize;
        size_t frames = std::min(mSamplesPerBlock, 1 + groups * 8);
        // Each group holds 8 frames of every channel; frame 0 is the header.
        for (size_t g = 0; g < groups; ++g) {
            for (size_t c = 0; c < mChannels; ++c) {
                const uint8_t* bytes = block.data() + headerSize + g * groupSize + 4 * c;
                for (size_t i = 0; i < 8; ++i) {
                    size_t frame = 1 + g * 8 + i;
                    if (frame >= frames) break;
                    uint8_t nibble = (i & 1) ? bytes[i / 2] >> 4 : bytes[i / 2] & 0x0F;
                    output[frame * mChannels + c] = channels[c].Next(nibble);
                }
            }
        }
        return static_cast<int64_t>(frames * mChannels);
    }

    size_t mChannels;
    size_t mSamplesPerBlock;
};

}  // namespace

std::unique_ptr<WaveConversion> OpenImaAdpcmConversion(const WaveFormat& source) {
    size_t channels = source.channels;
    size_t headerSize = 4 * channels;
    if (source.bitsPerSample != 4 || source.blockAlign <= headerSize) return nullptr;
    size_t mostSamples = 1 + (source.blockAlign - headerSize) / (4 * channels) * 8;
    size_t samplesPerBlock = mostSamples;
    if (source.extra.size() >= 2) {
        samplesPerBlock = static_cast<size_t>(source.extra[0] | source.extra[1] << 8);
        if (samplesPerBlock < 1 || samplesPerBlock > mostSamples) return nullptr;
    }
    WaveFormat output = WaveFormat::Pcm16(source.channels, source.samplesPerSec);
    return std::make_unique<ImaAdpcmConversion>(output, source.blockAlign, samplesPerBlock);
}

}  // namespace wavo
