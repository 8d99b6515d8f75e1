#include "wave_format.h"

#include <algorithm>

namespace wavo {
namespace {

uint16_t Le16(std::span<const uint8_t> bytes, size_t at) {
    return at + 2 <= bytes.size() ? static_cast<uint16_t>(bytes[at] | bytes[at + 1] << 8) : 0;
}

uint32_t Le32(std::span<const uint8_t> bytes, size_t at) {
    return at + 4 <= bytes.size()
               ? static_cast<uint32_t>(Le16(bytes, at) | Le16(bytes, at + 2) << 16)
               : 0;
}

}  // namespace

WaveFormat WaveFormat::FromChunk(std::span<const uint8_t> body) {
    WaveFormat format;
    format.formatTag = Le16(body, 0);
    format.channels = Le16(body, 2);
    format.samplesPerSec = Le32(body, 4);
    format.avgBytesPerSec = Le32(body, 8);
    format.blockAlign = Le16(body, 12);
    format.bitsPerSample = Le16(body, 14);
    // A plain 14-byte PCM format has no sample size of its own: its frames tell it.
    if (body.size() < 16 && format.formatTag == kFormatPcm && format.channels > 0)
        format.bitsPerSample = static_cast<uint16_t>(format.blockAlign / format.channels * 8);
    if (body.size() > 18) {
        size_t declared = Le16(body, 16);
        auto appended = body.subspan(18, std::min(declared, body.size() - 18));
        format.extra.assign(appended.begin(), appended.end());
    }
    return format;
}

WaveFormat WaveFormat::Pcm16(uint16_t channels, uint32_t samplesPerSec) {
    WaveFormat format;
    format.formatTag = kFormatPcm;
    format.channels = channels;
    format.samplesPerSec = samplesPerSec;
    format.blockAlign = static_cast<uint16_t>(2 * channels);
    format.avgBytesPerSec = format.blockAlign * samplesPerSec;
    format.bitsPerSample = 16;
    return format;
}

}  // namespace wavo
