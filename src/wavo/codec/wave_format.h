#pragma once
// The format record of WAVE data, as its "fmt " chunk stores it, and the format
// tags the WAVE decoder knows.

#include <cstdint>
#include <span>
#include <vector>

namespace wavo {

inline constexpr uint16_t kFormatPcm = 0x0001;
inline constexpr uint16_t kFormatMsAdpcm = 0x0002;
inline constexpr uint16_t kFormatIeeeFloat = 0x0003;
inline constexpr uint16_t kFormatImaAdpcm = 0x0011;

struct WaveFormat {
    uint16_t formatTag = 0;
    uint16_t channels = 0;
    uint32_t samplesPerSec = 0;
    uint32_t avgBytesPerSec = 0;
    uint16_t blockAlign = 0;
    uint16_t bitsPerSample = 0;
    // What the format appends after its size field (ADPCM coefficients, samples
    // per block), as far as the chunk really holds it.
    std::vector<uint8_t> extra;

    // Reads a chunk body of any length; fields the body is too short for stay 0.
    static WaveFormat FromChunk(std::span<const uint8_t> body);
    // The 16-bit PCM format a sound buffer is created with.
    static WaveFormat Pcm16(uint16_t channels, uint32_t samplesPerSec);
};

}  // namespace wavo
