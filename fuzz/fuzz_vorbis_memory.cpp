// The Vorbis decoder over a memory block of any content. Most mutations would
// only break an Ogg page checksum, so the pages the input holds get their
// checksums made right first: the mutations then reach the Vorbis packets.

#include <vector>

#include "decoder_workout.h"
#include "ogg_checksums.h"
#include "vorbis_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<uint8_t> stream(data, data + size);
    wavo::fuzz::FixPageChecksums(stream);
    wavo::VorbisDecoder decoder;
    if (decoder.Open(wavo::kTypeVorbisMemory, stream.data(), static_cast<int64_t>(stream.size())))
        wavo::fuzz::WorkOut(decoder, stream.data(), stream.size());
    return 0;
}
