// An engine with a screen and nothing to do: auto-redraw on, no actions, at
// 30 frames a second. Its cost is the process's CPU time over wall time.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <chrono>
#include <cstdint>
#include <thread>
#include <vector>

#include "lumo.h"

namespace {

double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

void BM_IdleEngineCpuShare(benchmark::State& state) {
    InitializeLumo();
    std::vector<uint8_t> bytes(640 * 3 * 480);
    LumoSurface host{};
    host.width = 640;
    host.height = 480;
    host.stride = 640 * 3;
    host.bytes_per_pixel = 3;
    host.pixels = bytes.data();
    const int32_t screen = AddFilm(FT_SCREEN);
    const int32_t size[2] = {640, 480};
    SetFilmProp(screen, FP_SIZE, size);
    SetFilmProp(screen, FP_IMAGE_SIZE, size);
    LumoSurface* target = &host;
    SetFilmProp(screen, FP_SCREEN_DC, &target);
    const int32_t on = 1;
    SetLumoProp(LP_AUTO_REDRAW, &on);
    const auto wall = std::chrono::milliseconds(state.range(0));
    double share = 0;
    for (auto _ : state) {
        const double before = cpuSeconds();
        std::this_thread::sleep_for(wall);
        share = (cpuSeconds() - before) / std::chrono::duration<double>(wall).count();
    }
    state.counters["cpu_percent_of_core"] = share * 100;
    TerminateLumo();
}
BENCHMARK(BM_IdleEngineCpuShare)->Arg(3000)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
