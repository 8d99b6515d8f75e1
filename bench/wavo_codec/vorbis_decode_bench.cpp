// Vorbis decoding speed: our decoder against libvorbisfile's ov_read on the same
// stream in memory, both to 16-bit interleaved PCM. The counter "sound_x" is
// seconds of sound decoded per second of CPU.

#include <benchmark/benchmark.h>
#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

#include "vorbis_decoder.h"

namespace {

const std::vector<uint8_t>& Stream() {
    static const std::vector<uint8_t> stream = [] {
        std::ifstream file(ZELK_TEST_DATA "/wavo/vorbis_stereo_44100.ogg", std::ios::binary);
        return std::vector<uint8_t>(std::istreambuf_iterator<char>(file), {});
    }();
    return stream;
}

constexpr double kBytesPerSecond = 176400;

void OurDecoder(benchmark::State& state) {
    const auto& stream = Stream();
    // A sound buffer half: one second of sound.
    std::vector<uint8_t> half(176400);
    int64_t bytes = 0;
    for (auto _ : state) {
        wavo::VorbisDecoder decoder;
        decoder.Open(wavo::kTypeVorbisMemory, stream.data(), std::ssize(stream));
        while (!decoder.AtEnd()) {
            int64_t got = decoder.Read(half.data(), std::ssize(half));
            if (got == 0) break;
            bytes += got;
        }
        benchmark::DoNotOptimize(half.data());
    }
    state.SetBytesProcessed(bytes);
    state.counters["sound_x"] =
        benchmark::Counter(bytes / kBytesPerSecond, benchmark::Counter::kIsRate);
}
BENCHMARK(OurDecoder)->Unit(benchmark::kMillisecond);

struct Memory {
    const std::vector<uint8_t>* stream;
    size_t position = 0;
};

size_t MemoryRead(void* destination, size_t size, size_t count, void* source) {
    auto* memory = static_cast<Memory*>(source);
    size_t length = std::min(size * count, memory->stream->size() - memory->position);
    std::memcpy(destination, memory->stream->data() + memory->position, length);
    memory->position += length;
    return length;
}

void Vorbisfile(benchmark::State& state) {
    const auto& stream = Stream();
    std::vector<char> buffer(4096);
    int64_t bytes = 0;
    for (auto _ : state) {
        Memory memory{&stream};
        OggVorbis_File file;
        // Read as a stream, as our decoder does: no seeking for the length first.
        ov_callbacks callbacks{MemoryRead, nullptr, nullptr, nullptr};
        ov_open_callbacks(&memory, &file, nullptr, 0, callbacks);
        int section = 0;
        for (;;) {
            long got = ov_read(&file, buffer.data(), 4096, 0, 2, 1, &section);
            if (got <= 0) break;
            bytes += got;
        }
        ov_clear(&file);
        benchmark::DoNotOptimize(buffer.data());
    }
    state.SetBytesProcessed(bytes);
    state.counters["sound_x"] =
        benchmark::Counter(bytes / kBytesPerSecond, benchmark::Counter::kIsRate);
}
BENCHMARK(Vorbisfile)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
