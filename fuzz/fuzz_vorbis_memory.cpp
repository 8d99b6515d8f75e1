// The Vorbis decoder over a memory block of any content.

#include "decoder_workout.h"
#include "vorbis_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    wavo::VorbisDecoder decoder;
    if (decoder.Open(wavo::kTypeVorbisMemory, data, static_cast<int64_t>(size)))
        wavo::fuzz::WorkOut(decoder, data, size);
    return 0;
}
