// The Vorbis decoder over a memory block of any content. Most mutations would
// only break an Ogg page checksum, so the pages the input holds get their
// checksums made right first: the mutations then reach the Vorbis packets.

#include <ogg/ogg.h>

#include <vector>

#include "decoder_workout.h"
#include "vorbis_decoder.h"

namespace {

void FixPageChecksums(std::vector<uint8_t>& stream) {
    size_t at = 0;
    while (at + 27 <= stream.size()) {
        uint8_t* header = stream.data() + at;
        if (header[0] != 'O' || header[1] != 'g' || header[2] != 'g' || header[3] != 'S') {
            ++at;
            continue;
        }
        size_t segments = header[26];
        if (at + 27 + segments > stream.size()) return;
        size_t bodyLength = 0;
        for (size_t s = 0; s < segments; ++s)
            bodyLength += header[27 + s];
        size_t headerLength = 27 + segments;
        if (at + headerLength + bodyLength > stream.size()) return;
        ogg_page page{header, static_cast<long>(headerLength), header + headerLength,
                      static_cast<long>(bodyLength)};
        ogg_page_checksum_set(&page);
        at += headerLength + bodyLength;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<uint8_t> stream(data, data + size);
    FixPageChecksums(stream);
    wavo::VorbisDecoder decoder;
    if (decoder.Open(wavo::kTypeVorbisMemory, stream.data(), static_cast<int64_t>(stream.size())))
        wavo::fuzz::WorkOut(decoder, stream.data(), stream.size());
    return 0;
}
