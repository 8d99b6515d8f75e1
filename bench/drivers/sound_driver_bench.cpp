// The sound driver as the game uses it. Effect latency: how many samples of
// the output stream lie between the PlaySE call and the effect's first
// sample, measured in the file SDL's disk audio driver writes in real time
// (the device's own buffer comes on top on real hardware). Idle: the CPU of
// the whole process while the nine channels are loaded and silent.

#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>
#include <vector>

#include "common/process.h"
#include "drivers/wavo_driver.h"

namespace {

namespace fs = std::filesystem;
using zelk::clsWavoDriver;

double ProcessCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Loose files in a workspace of their own, read in SoundFileMode.
fs::path MakeWorkspace() {
    const fs::path folder = fs::temp_directory_path() / "zelk-sound-bench";
    fs::create_directories(folder / "sound");
    for (const char* name : {"click", "tone440", "tone1000"})
        fs::copy_file(std::string(ZELK_TEST_DATA) + "/sound/" + name + ".ogg",
                      folder / "sound" / (std::string(name) + ".ogg"),
                      fs::copy_options::overwrite_existing);
    zelk::Process().WorkspaceDir = folder.string();
    zelk::Process().Debug.SoundFileMode = true;
    return folder;
}

size_t FileFrames(const fs::path& file) {
    std::error_code ignored;
    return static_cast<size_t>(fs::file_size(file, ignored)) / 8;  // stereo float
}

void BM_EffectLatency(benchmark::State& state) {
    const fs::path folder = MakeWorkspace();
    const fs::path output = folder / "out.raw";
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", output.c_str(), 1);
    std::vector<double> latencies;
    for (auto _ : state) {
        clsWavoDriver driver;
        if (!driver.Init()) {
            state.SkipWithError("no sound output");
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        const size_t atCall = FileFrames(output);
        driver.PlaySE("click", false);
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        driver.StopSE();
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        std::ifstream again(output, std::ios::binary);
        std::vector<char> bytes((std::istreambuf_iterator<char>(again)), {});
        const auto* data = reinterpret_cast<const float*>(bytes.data());
        const size_t frames = bytes.size() / 8;
        size_t first = frames;
        for (size_t i = atCall; i < frames; ++i) {
            if (std::fabs(data[i * 2]) > 1e-4f) {
                first = i;
                break;
            }
        }
        latencies.push_back((static_cast<double>(first) - static_cast<double>(atCall)) / 44100.0 *
                            1000.0);
    }
    double sum = 0;
    for (double l : latencies)
        sum += l;
    state.counters["latency_ms"] = sum / static_cast<double>(latencies.size());
    unsetenv("SDL_DISKAUDIOFILE");
    setenv("SDL_AUDIODRIVER", "dummy", 1);
}

BENCHMARK(BM_EffectLatency)->Iterations(5)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_IdleDriverWithChannelsLoaded(benchmark::State& state) {
    MakeWorkspace();
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    clsWavoDriver driver;
    if (!driver.Init()) {
        state.SkipWithError("no sound output");
        return;
    }
    // Every channel holds data and has played it to its end.
    driver.PlayBGM("tone440", false, false);
    driver.StopBGM(false);
    driver.PlayBGM("tone1000", false, false);
    for (int i = 0; i < 5; ++i)
        driver.PlaySE(i % 2 ? "click" : "tone440", false);
    long once = 1;
    driver.PlaySELoop("click", once, false);
    driver.PlayCV("click", false, 0);
    driver.StopBGM(false);
    driver.StopSE();
    std::this_thread::sleep_for(std::chrono::seconds(1));
    double percent = 0.0;
    for (auto _ : state) {
        const double before = ProcessCpuSeconds();
        const auto start = std::chrono::steady_clock::now();
        std::this_thread::sleep_for(std::chrono::seconds(3));
        const double wall =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        percent = (ProcessCpuSeconds() - before) / wall * 100.0;
    }
    state.counters["core_percent"] = percent;
}

BENCHMARK(BM_IdleDriverWithChannelsLoaded)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace
