// The engine's cost while nothing plays: CPU time of the whole process (the
// worker, SDL's audio thread and the mixer it calls) over two seconds of wall
// time, with sound objects loaded but silent.

#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
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

void BM_IdleEngine(benchmark::State& state) {
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    if (InitializeWavo() != 0) {
        state.SkipWithError("no sound output");
        return;
    }
    for (int i = 0; i < 8; ++i)
        AddSO(ST_VORBIS_MEMORY);
    double percent = 0.0;
    for (auto _ : state) {
        const double before = ProcessCpuSeconds();
        const auto start = std::chrono::steady_clock::now();
        std::this_thread::sleep_for(std::chrono::seconds(2));
        const double wall =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        percent = (ProcessCpuSeconds() - before) / wall * 100.0;
    }
    state.counters["core_percent"] = percent;
    TerminateWavo();
}

BENCHMARK(BM_IdleEngine)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
