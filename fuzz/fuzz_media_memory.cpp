// The media decoder (FFmpeg: Ogg Opus, FLAC, MP3, WAVE) over a memory block
// of any content, through the "any sound" decoder that picks it as a sound
// object does. Ogg pages get their checksums made right first, as for the
// Vorbis target, so that mutations reach the Opus packets.

#include <vector>

#include "any_sound_decoder.h"
#include "decoder_workout.h"
#include "ogg_checksums.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<uint8_t> stream(data, data + size);
    wavo::fuzz::FixPageChecksums(stream);
    wavo::AnySoundDecoder decoder;
    if (decoder.Open(wavo::kTypeSoundMemory, stream.data(), static_cast<int64_t>(stream.size())))
        wavo::fuzz::WorkOut(decoder, stream.data(), stream.size());
    return 0;
}
