// The WAVE decoder over a WAVE memory block of any content.

#include "decoder_workout.h"
#include "wave_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    wavo::WaveDecoder decoder;
    if (decoder.Open(wavo::kTypeWaveMemory, data, static_cast<int64_t>(size)))
        wavo::fuzz::WorkOut(decoder, data, size);
    return 0;
}
