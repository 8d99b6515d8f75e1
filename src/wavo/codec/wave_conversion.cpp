#include "wave_conversion.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

namespace wavo {

static_assert(std::endian::native == std::endian::little, "WAVE samples are read in place");

namespace {

constexpr uint32_t kHighestRate = 384000;

// Plain sample formats: one block is one frame. A broken frame at the very end
// of the data is dropped, so that the channels stay in step.
class PcmConversion : public WaveConversion {
protected:
    using WaveConversion::WaveConversion;
    size_t WholeFrames(size_t bytes) const { return bytes - bytes % InputBlockSize(); }
};

class Pcm8Conversion final : public PcmConversion {
public:
    explicit Pcm8Conversion(const WaveFormat& output)
        : PcmConversion(output, output.channels, output.blockAlign) {}

private:
    Converted ConvertBlocks(std::span<const uint8_t> input, int16_t* output) const override {
        size_t samples = WholeFrames(input.size());
        for (size_t i = 0; i < samples; ++i)
            output[i] = static_cast<int16_t>((input[i] - 128) * 256);
        return {samples};
    }
};

class Pcm16Conversion final : public PcmConversion {
public:
    explicit Pcm16Conversion(const WaveFormat& output)
        : PcmConversion(output, output.blockAlign, output.blockAlign) {}

private:
    Converted ConvertBlocks(std::span<const uint8_t> input, int16_t* output) const override {
        size_t samples = WholeFrames(input.size()) / 2;
        std::memcpy(output, input.data(), samples * 2);
        return {samples};
    }
};

// Full scale is 1.0 = 32768, so that 16-bit sound stored as float comes back
// exactly; what lies beyond is clamped, and NaN becomes silence.
int16_t FloatToPcm16(float value) {
    float scaled = value * 32768.0f;
    if (scaled >= 32767.0f) return 32767;
    if (scaled <= -32768.0f) return -32768;
    if (std::isnan(scaled)) return 0;
    return static_cast<int16_t>(std::lrint(scaled));
}

class Float32Conversion final : public PcmConversion {
public:
    explicit Float32Conversion(const WaveFormat& output)
        : PcmConversion(output, output.channels * 4u, output.blockAlign) {}

private:
    Converted ConvertBlocks(std::span<const uint8_t> input, int16_t* output) const override {
        size_t samples = WholeFrames(input.size()) / 4;
        for (size_t i = 0; i < samples; ++i) {
            float value;
            std::memcpy(&value, input.data() + 4 * i, 4);
            output[i] = FloatToPcm16(value);
        }
        return {samples};
    }
};

std::unique_ptr<WaveConversion> OpenPcmConversion(const WaveFormat& source) {
    WaveFormat output = WaveFormat::Pcm16(source.channels, source.samplesPerSec);
    bool plainLayout = source.blockAlign == source.channels * source.bitsPerSample / 8;
    if (source.formatTag == kFormatPcm && plainLayout && source.bitsPerSample == 8)
        return std::make_unique<Pcm8Conversion>(output);
    if (source.formatTag == kFormatPcm && plainLayout && source.bitsPerSample == 16)
        return std::make_unique<Pcm16Conversion>(output);
    if (source.formatTag == kFormatIeeeFloat && plainLayout && source.bitsPerSample == 32)
        return std::make_unique<Float32Conversion>(output);
    return nullptr;
}

}  // namespace

std::unique_ptr<WaveConversion> WaveConversion::Open(const WaveFormat& source) {
    if (source.channels < 1 || source.channels > 2) return nullptr;
    if (source.samplesPerSec == 0 || source.samplesPerSec > kHighestRate) return nullptr;
    switch (source.formatTag) {
        case kFormatImaAdpcm:
            return OpenImaAdpcmConversion(source);
        case kFormatMsAdpcm:
            return OpenMsAdpcmConversion(source);
        default:
            return OpenPcmConversion(source);
    }
}

WaveConversion::Result WaveConversion::Convert(std::span<const uint8_t> input,
                                               std::span<int16_t> output, bool last) const {
    size_t wholeBlocks = input.size() / mInputBlockSize;
    size_t roomBlocks = output.size() * 2 / mOutputBlockSize;
    size_t bytes = std::min(wholeBlocks, roomBlocks) * mInputBlockSize;
    if (last && wholeBlocks < roomBlocks) bytes = input.size();
    if (bytes == 0) return {};
    Converted converted = ConvertBlocks(input.first(bytes), output.data());
    return {bytes, converted.samples * 2, converted.failed};
}

WaveConversion::Converted BlockConversion::ConvertBlocks(std::span<const uint8_t> input,
                                                         int16_t* output) const {
    Converted converted;
    for (size_t at = 0; at < input.size(); at += InputBlockSize()) {
        auto block = input.subspan(at, std::min(InputBlockSize(), input.size() - at));
        int64_t samples = ConvertBlock(block, output + converted.samples);
        if (samples < 0) return {converted.samples, true};
        converted.samples += static_cast<size_t>(samples);
    }
    return converted;
}

}  // namespace wavo
