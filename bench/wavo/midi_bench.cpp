// Playing a MIDI file through the synthesizer: CPU per second of music,
// rendering included, as the worker and the mixer share it while a piece
// of four voices plays.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "midi_renderer.h"
#include "mixer.h"

namespace {

constexpr uint32_t kRate = 44100;
constexpr int kFrames = 1024;  // one device callback

// Eight bars of four-note chords on the piano, each beat a new chord, at
// 120 beats a minute.
std::string WriteChords() {
    std::vector<uint8_t> track = {0x00, 0xC0, 0x00};
    const uint8_t chords[4][4] = {
        {48, 55, 64, 72}, {45, 52, 60, 69}, {41, 48, 57, 65}, {43, 50, 59, 67}};
    for (int beat = 0; beat < 32; ++beat) {
        const uint8_t* chord = chords[beat % 4];
        for (int n = 0; n < 4; ++n)
            track.insert(track.end(), {0x00, 0x90, chord[n], 90});
        track.insert(track.end(), {0x83, 0x60, 0x80, chord[0], 64});
        for (int n = 1; n < 4; ++n)
            track.insert(track.end(), {0x00, 0x80, chord[n], 64});
    }
    track.insert(track.end(), {0x00, 0xFF, 0x2F, 0x00});
    std::vector<uint8_t> file = {'M',
                                 'T',
                                 'h',
                                 'd',
                                 0,
                                 0,
                                 0,
                                 6,
                                 0,
                                 0,
                                 0,
                                 1,
                                 0x01,
                                 0xE0,
                                 'M',
                                 'T',
                                 'r',
                                 'k',
                                 0,
                                 0,
                                 uint8_t(track.size() >> 8),
                                 uint8_t(track.size())};
    for (uint8_t byte : track)
        file.push_back(byte);
    const std::string path = (std::filesystem::temp_directory_path() /
                              ("wavo_bench_" + std::to_string(getpid()) + ".mid"))
                                 .string();
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(file.data()), std::streamsize(file.size()));
    return path;
}

void BM_MidiPieceOfFourVoices(benchmark::State& state) {
    const std::string path = WriteChords();
    wavo::Mixer mixer(kRate);
    auto midi = wavo::MidiRenderer::Open(path, mixer, "bench");
    std::filesystem::remove(path);
    if (!midi) {
        state.SkipWithError("no sound font");
        return;
    }
    midi->Start(0, -1);
    std::vector<float> out(kFrames * 2);
    for (auto _ : state) {
        mixer.Mix(out.data(), kFrames);
        bool recheck = false;
        midi->RefillIfDue(recheck);
        benchmark::DoNotOptimize(out.data());
    }
    // CPU seconds per second of music, shown in time units: "5ms" is 0.5 %.
    state.counters["core_share"] = benchmark::Counter(
        static_cast<double>(kFrames) / kRate,
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

BENCHMARK(BM_MidiPieceOfFourVoices)->MinTime(2.0);

}  // namespace
