// The graphics driver as the shipped demo game drives it: pictures come
// from its ".quor" archives and the screen is a ScreenSurface.
#include <SDL.h>
#include <SDL_image.h>
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <iterator>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "drivers/event_rect.h"
#include "drivers/lumo_driver.h"
#include "drivers/quor_driver.h"
#include "lumo.h"
#include "platform/picture.h"
#include "platform/screen_surface.h"
#include "settings/ini_file.h"
#include "settings/ini_io.h"

namespace zelk {
namespace {

double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// The demo game's archives registered as the root registers them.
struct Demo {
    clsQuorDriver quor;
    INIFile gameMode;
    clsEventRects rects;
    std::unique_ptr<clsLumoDriver> driver;
    bool ok = false;

    Demo() {
        const std::vector<std::string> archives = FindArchives(ZELK_DEMO_BUILD_DIR);
        if (archives.empty() || !quor.Init(static_cast<std::int32_t>(archives.size()))) return;
        for (size_t k = 0; k < archives.size(); ++k)
            if (!quor.LoadArchive(archives[k], static_cast<std::int32_t>(k) * kIdsPerArchive))
                return;
        for (size_t k = 0; k < archives.size(); ++k) {
            std::string list;
            const auto base = static_cast<std::int32_t>(k) * kIdsPerArchive;
            if (!quor.LoadTextFile(base, list) || !quor.LoadArchiveList(list, base)) return;
        }
        std::string text;
        if (!ReadTextFile(std::string(ZELK_SOURCE_DIR) + "/games/demo/game_mode.ini", text)) return;
        gameMode.Text(text);
        LumoDriverHooks hooks;
        hooks.Quor = &quor;
        hooks.GamemodeInfo = &gameMode;
        hooks.EvRects = &rects;
        driver = std::make_unique<clsLumoDriver>(std::move(hooks));
        ok = driver->Init();
    }
};

void BM_BackgroundFromArchiveIntoFilm(benchmark::State& state) {
    Demo demo;
    if (!demo.ok) {
        state.SkipWithError("the packed demo game is missing");
        return;
    }
    demo.driver->BaseFilmSet(1);
    // Two pictures in turn: the archive keeps the last one decoded.
    const char* const names[2] = {"bg_beach", "bg_street"};
    int turn = 0;
    for (auto _ : state) {
        if (!demo.driver->LoadPng(demo.driver->FIDBack(), names[turn++ & 1], false, true)) {
            state.SkipWithError("bg_beach did not load");
            return;
        }
    }
}
BENCHMARK(BM_BackgroundFromArchiveIntoFilm)->Unit(benchmark::kMillisecond);

void BM_BackgroundDecodedBySdlImageAlone(benchmark::State& state) {
    std::string pictures[2];
    for (int i = 0; i < 2; ++i) {
        std::ifstream in(std::string(ZELK_SOURCE_DIR) + "/games/demo/image/" +
                             (i == 0 ? "bg_beach.png" : "bg_street.png"),
                         std::ios::binary);
        pictures[i].assign(std::istreambuf_iterator<char>(in), {});
    }
    int turn = 0;
    for (auto _ : state) {
        const std::string& bytes = pictures[turn++ & 1];
        SDL_RWops* rw = SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size()));
        SDL_Surface* surface = IMG_LoadPNG_RW(rw);
        SDL_RWclose(rw);
        if (!surface) {
            state.SkipWithError("decode failed");
            return;
        }
        benchmark::DoNotOptimize(surface->pixels);
        SDL_FreeSurface(surface);
    }
}
BENCHMARK(BM_BackgroundDecodedBySdlImageAlone)->Unit(benchmark::kMillisecond);

// The platform decoder alone, which both paths above share in part.
void BM_BackgroundDecodedByPictureDecoder(benchmark::State& state) {
    std::string pictures[2];
    for (int i = 0; i < 2; ++i) {
        std::ifstream in(std::string(ZELK_SOURCE_DIR) + "/games/demo/image/" +
                             (i == 0 ? "bg_beach.png" : "bg_street.png"),
                         std::ios::binary);
        pictures[i].assign(std::istreambuf_iterator<char>(in), {});
    }
    int turn = 0;
    for (auto _ : state) {
        std::string error;
        auto picture = Picture::Decode(pictures[turn++ & 1], error);
        benchmark::DoNotOptimize(picture);
    }
}
BENCHMARK(BM_BackgroundDecodedByPictureDecoder)->Unit(benchmark::kMillisecond);

void BM_BaseFilmSet2(benchmark::State& state) {
    Demo demo;
    if (!demo.ok) {
        state.SkipWithError("the packed demo game is missing");
        return;
    }
    for (auto _ : state)
        demo.driver->BaseFilmSet(2);
}
BENCHMARK(BM_BaseFilmSet2)->Unit(benchmark::kMillisecond);

// One 500 ms transition per iteration (1 cross-fade, 2 rule wipe): the
// longest gap between presented frames and the CPU share while waiting.
void BM_TransitionFramePacing(benchmark::State& state) {
    Demo demo;
    if (!demo.ok) {
        state.SkipWithError("the packed demo game is missing");
        return;
    }
    ScreenSurface screen(640, 480);
    std::mutex mutex;
    std::vector<std::chrono::steady_clock::time_point> presents;
    screen.OnPresented([&] {
        std::lock_guard lock(mutex);
        presents.push_back(std::chrono::steady_clock::now());
    });
    clsLumoDriver& lumo = *demo.driver;
    lumo.ScreenDC(&screen);
    lumo.BaseFilmSet(2);
    lumo.LoadBuffMask("rule_circle");
    lumo.BGCenter("bg_beach", -999999, -999999, 0, true);
    lumo.DrawActivate(0, 0);
    const long method = state.range(0);
    double maxGap = 0, cpu = 0, wall = 0;
    int frames = 0;
    bool street = false;
    for (auto _ : state) {
        lumo.DrawDeactivate(0, 0);
        lumo.BGCenter(street ? "bg_beach" : "bg_street", -999999, -999999, 0, true);
        street = !street;
        {
            std::lock_guard lock(mutex);
            presents.clear();
        }
        const double cpu0 = CpuSeconds();
        const auto t0 = std::chrono::steady_clock::now();
        lumo.DrawActivate(method, 500);
        wall += std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        cpu += CpuSeconds() - cpu0;
        std::lock_guard lock(mutex);
        frames += static_cast<int>(presents.size());
        for (size_t i = 1; i < presents.size(); ++i)
            maxGap = std::max(
                maxGap,
                std::chrono::duration<double, std::milli>(presents[i] - presents[i - 1]).count());
    }
    state.counters["max_gap_ms"] = maxGap;
    state.counters["cpu_share"] = wall > 0 ? cpu / wall : 0;
    state.counters["frames"] = benchmark::Counter(frames, benchmark::Counter::kAvgIterations);
    lumo.ScreenDC(nullptr);
}
BENCHMARK(BM_TransitionFramePacing)->Arg(1)->Arg(2)->Iterations(6)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace zelk
