// The Vorbis decoder over a file of any content: the file lives in memory
// (memfd) and is opened by its /proc name, as any file would be.

#include <sys/mman.h>
#include <unistd.h>

#include <string>

#include "decoder_workout.h"
#include "vorbis_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    int fd = memfd_create("fuzz.ogg", 0);
    if (fd < 0) return 0;
    if (size == 0 || write(fd, data, size) == static_cast<ssize_t>(size)) {
        std::string name = "/proc/self/fd/" + std::to_string(fd);
        wavo::VorbisDecoder decoder;
        if (decoder.Open(wavo::kTypeVorbisFile, name.c_str(), 0))
            wavo::fuzz::WorkOut(decoder, data, size);
    }
    close(fd);
    return 0;
}
