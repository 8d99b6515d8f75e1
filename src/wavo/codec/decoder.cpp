#include "decoder.h"

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
        default:
            return nullptr;
    }
}

}  // namespace wavo
