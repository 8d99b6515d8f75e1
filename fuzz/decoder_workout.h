#pragma once
// What every fuzz target does with a decoder that opened: everything a sound
// object asks of it, with reads and seeks steered by the input's own bytes.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "decoder.h"

// libvorbisfile's leaks on broken chained streams are suppressed by library
// (fuzz/lsan.supp), but libvorbis, which allocates for it, keeps no frame
// pointers: only the slow unwinder reaches libvorbisfile in their stacks.
extern "C" const char* __asan_default_options() {
    return "fast_unwind_on_malloc=0";
}

namespace wavo::fuzz {

inline void WorkOut(Decoder& decoder, const uint8_t* data, size_t size) {
    const WaveFormat& format = decoder.OutputFormat();
    if (format.bitsPerSample != 16 || format.blockAlign != 2 * format.channels) __builtin_trap();
    decoder.LengthMs();
    decoder.DecodedSize();
    // A read length from the input's last bytes, at least one frame.
    size_t pieceSize = 1 + (size >= 2 ? (data[size - 1] | data[size - 2] << 8) : 4096);
    std::vector<uint8_t> piece(pieceSize);
    for (int pass = 0; pass < 2; ++pass) {
        int64_t total = 0;
        while (!decoder.AtEnd() && total < (int64_t{1} << 26)) {
            int64_t got = decoder.Read(piece.data(), static_cast<int64_t>(piece.size()));
            if (got < 0 || got > static_cast<int64_t>(piece.size())) __builtin_trap();
            if (got == 0) break;
            total += got;
            decoder.Position();
        }
        decoder.Seek(pass == 0 ? total / 2 : 0);
    }
    decoder.Close();
}

}  // namespace wavo::fuzz
