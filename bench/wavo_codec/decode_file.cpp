// wavo_decode_file FILE...: decodes each file whole through the sound
// engine's "any sound" decoder, as a sound object streams it, and prints the
// seconds of sound it gave. Timed from outside against FFmpeg's own
// command-line decoder on the same file (ffmpeg -i FILE -f null -).

#include <cstdio>
#include <vector>

#include "any_sound_decoder.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: wavo_decode_file FILE...\n");
        return 2;
    }
    // A sound buffer half of stereo at 48000 Hz: what one refill asks for.
    std::vector<uint8_t> half(192000);
    for (int k = 1; k < argc; ++k) {
        wavo::AnySoundDecoder decoder;
        if (!decoder.Open(wavo::kTypeSoundFile, argv[k], 0)) {
            std::fprintf(stderr, "%s: %s\n", argv[k], decoder.Error().c_str());
            return 1;
        }
        int64_t bytes = 0;
        while (!decoder.AtEnd()) {
            const int64_t got = decoder.Read(half.data(), static_cast<int64_t>(half.size()));
            if (got == 0) break;
            bytes += got;
        }
        std::printf("%s: %.3f s\n", argv[k],
                    static_cast<double>(bytes) / decoder.OutputFormat().avgBytesPerSec);
    }
    return 0;
}
