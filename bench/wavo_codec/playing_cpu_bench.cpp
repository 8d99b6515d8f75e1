// The engine's cost while it plays one sound of each kind: CPU time of the
// whole process (the worker's decoding and refills, SDL's audio thread and
// the mixer with its rate conversion) over ten seconds of wall time, as a
// percentage of one core. Under SDL's dummy audio driver, which pulls sound
// at real time. The sounds come from bench/wavo_codec/make_sounds.sh, in the
// folder WAVO_BENCH_SOUNDS names.

#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "wavo.h"

namespace {

double ProcessCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

void PlayingCpu(benchmark::State& state, const char* file) {
    const char* folder = std::getenv("WAVO_BENCH_SOUNDS");
    std::ifstream in(std::string(folder ? folder : "") + "/" + file, std::ios::binary);
    if (!folder || !in) {
        state.SkipWithError("set WAVO_BENCH_SOUNDS to the folder of make_sounds.sh");
        return;
    }
    const std::vector<char> data(std::istreambuf_iterator<char>(in), {});
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    if (InitializeWavo() != 0) {
        state.SkipWithError("no sound output");
        return;
    }
    const int32_t id = AddSO(ST_SOUND_MEMORY);
    const auto size = static_cast<int32_t>(data.size());
    SetSOProp(id, SP_MEMORY_SIZE, &size);
    void* block = nullptr;
    GetSOProp(id, SP_MEMORY_ADDRESS, &block);
    std::memcpy(block, data.data(), data.size());
    CallSOMethod(id, SM_LOAD, nullptr);
    CallSOMethod(id, SM_PLAY, nullptr);
    double percent = 0.0;
    for (auto _ : state) {
        const double before = ProcessCpuSeconds();
        const auto start = std::chrono::steady_clock::now();
        std::this_thread::sleep_for(std::chrono::seconds(10));
        const double wall =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        percent = (ProcessCpuSeconds() - before) / wall * 100.0;
    }
    int32_t playing = 0;
    GetSOProp(id, SP_STATE, &playing);
    state.counters["core_percent"] = percent;
    state.counters["still_playing"] = playing == SS_PLAYING;
    TerminateWavo();
}

BENCHMARK_CAPTURE(PlayingCpu, opus, "bench.opus")->Iterations(1)->UseRealTime();
BENCHMARK_CAPTURE(PlayingCpu, flac, "bench.flac")->Iterations(1)->UseRealTime();
BENCHMARK_CAPTURE(PlayingCpu, mp3, "bench.mp3")->Iterations(1)->UseRealTime();
BENCHMARK_CAPTURE(PlayingCpu, wav, "bench.wav")->Iterations(1)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
