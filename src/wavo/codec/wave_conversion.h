#pragma once
// Converts WAVE sound data to 16-bit PCM of the same rate and channels, a whole
// number of blocks at a time: the stand-in for the platform's compression manager.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

#include "wave_format.h"

namespace wavo {

class WaveConversion {
public:
    virtual ~WaveConversion() = default;

    // nullptr for a format it cannot convert: an unknown tag or bit depth, more
    // than two channels, a rate of 0 or above 384 kHz, or a block layout that does
    // not add up.
    static std::unique_ptr<WaveConversion> Open(const WaveFormat& source);

    const WaveFormat& OutputFormat() const { return mOutputFormat; }
    // Input is taken in whole blocks of this many bytes.
    size_t InputBlockSize() const { return mInputBlockSize; }
    // Bytes of PCM one whole input block gives.
    size_t OutputBlockSize() const { return mOutputBlockSize; }

    struct Result {
        size_t consumed = 0;  // input bytes
        size_t produced = 0;  // output bytes
        bool failed = false;  // corrupt data: nothing after it can be trusted
    };
    // Converts the whole blocks of input that fit into output. With last set, a
    // short block that ends the input is converted too, as far as its bytes go.
    Result Convert(std::span<const uint8_t> input, std::span<int16_t> output, bool last) const;

protected:
    WaveConversion(const WaveFormat& output, size_t inputBlockSize, size_t outputBlockSize)
        : mOutputFormat(output),
          mInputBlockSize(inputBlockSize),
          mOutputBlockSize(outputBlockSize) {}

    struct Converted {
        size_t samples = 0;
        bool failed = false;  // at a corrupt block: the samples are those before it
    };
    // Converts whole blocks, the last of which may be short, into output, which
    // has room for them all.
    virtual Converted ConvertBlocks(std::span<const uint8_t> input, int16_t* output) const = 0;

private:
    WaveFormat mOutputFormat;
    size_t mInputBlockSize;
    size_t mOutputBlockSize;
};

// Compressed formats whose blocks stand alone: each is converted by itself.
class BlockConversion : public WaveConversion {
protected:
    using WaveConversion::WaveConversion;
    // Returns the samples written, -1 for a corrupt block. A short block (the
    // last of the data) is converted as far as its bytes go.
    virtual int64_t ConvertBlock(std::span<const uint8_t> block, int16_t* output) const = 0;

private:
    Converted ConvertBlocks(std::span<const uint8_t> input, int16_t* output) const override;
};

// The compressed formats, each in its own file.
std::unique_ptr<WaveConversion> OpenImaAdpcmConversion(const WaveFormat& source);
std::unique_ptr<WaveConversion> OpenMsAdpcmConversion(const WaveFormat& source);

}  // namespace wavo
