#pragma once
// Converts WAVE sound data to 16-bit PCM of the same rate and channels, a whole
// number of blocks at a time.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

#include "wave_format.h"

namespace wavo {

class WaveConversion {
public:
    virtual ~WaveConversion() = default;

    // nullptr for a format it cannot convert (unknown tag, bit depth, channel
    // count or a block layout that does not add up).
    static std::unique_ptr<WaveConversion> Open(const WaveFormat& source);

    const WaveFormat& OutputFormat() const { return mOutputFormat; }
    // Bytes of one input block; input is taken in whole blocks only.
    size_t InputBlockSize() const { return mInputBlockSize; }
    // Bytes of PCM one whole input block gives.
    size_t OutputBlockSize() const { return mOutputBlockSize; }

    // Converts as many whole input blocks as fit into output; returns the input
    // bytes used and the output bytes written.
    struct Result {
        size_t consumed = 0;
        size_t produced = 0;
    };
    Result Convert(std::span<const uint8_t> input, std::span<uint8_t> output) const;
    // Converts the short block that ends the data, as far as its bytes go.
    size_t ConvertLast(std::span<const uint8_t> input, std::span<uint8_t> output) const;

protected:
    WaveConversion(const WaveFormat& output, size_t inputBlockSize, size_t outputBlockSize)
        : mOutputFormat(output),
          mInputBlockSize(inputBlockSize),
          mOutputBlockSize(outputBlockSize) {}
    // One block in, at most OutputBlockSize() bytes out; returns the bytes written.
    // A short input block is the last one of the data.
    virtual size_t ConvertBlock(std::span<const uint8_t> block, int16_t* output) const = 0;

private:
    WaveFormat mOutputFormat;
    size_t mInputBlockSize;
    size_t mOutputBlockSize;
};

}  // namespace wavo
