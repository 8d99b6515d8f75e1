#include "decoder.h"

#include <cerrno>
#include <cstdlib>

#include "any_sound_decoder.h"
#include "vorbis_decoder.h"
#include "wave_decoder.h"

namespace wavo {

std::unique_ptr<Decoder> CreateDecoder(uint32_t typeWord) {
    switch (typeWord) {
        case kTypeWaveMemory:
            return std::make_unique<WaveDecoder>();
        case kTypeVorbisFile:
        case kTypeVorbisMemory:
            return std::make_unique<VorbisDecoder>();
        case kTypeSoundFile:
        case kTypeSoundMemory:
            return std::make_unique<AnySoundDecoder>();
        default:
            return nullptr;
    }
}

std::optional<LoopPoints> LoopFromTags(const char* start, const char* length) {
    const auto count = [](const char* text) -> int64_t {
        if (text == nullptr || *text == '\0') return -1;
        char* end = nullptr;
        errno = 0;
        const long long value = std::strtoll(text, &end, 10);
        if (errno != 0 || *end != '\0' || value < 0) return -1;
        return value;
    };
    const int64_t first = count(start);
    if (first < 0) return std::nullopt;
    const int64_t frames = count(length);
    return LoopPoints{first, frames > 0 ? frames : -1};
}

}  // namespace wavo
