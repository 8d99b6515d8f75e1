// Movies of 640 x 480: how many times faster than real time one core decodes
// and converts them into the host's surface, and the CPU of the whole process
// while one plays through the engine (sound clock, mixer, presenting). The
// movies are made with the ffmpeg program; without it the benchmarks skip.

#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <mutex>
#include <string>
#include <vector>

#include "ffmpeg_library.h"
#include "movie_decoder.h"
#include "wavo.h"

namespace {

namespace fs = std::filesystem;

double ThreadCpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

double ProcessCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// A 5 s movie of moving pictures and a tone; empty when it cannot be made.
std::string MakeMovie(const std::string& name, const std::string& codecs) {
    const fs::path path = fs::temp_directory_path() / ("zelk-movie-bench-" + name);
    if (fs::exists(path)) return path.string();
    const std::string command =
        "ffmpeg -hide_banner -loglevel error -y -f lavfi -i testsrc2=size=640x480:rate=30 "
        "-f lavfi -i sine=frequency=440:sample_rate=44100 -t 5 " +
        codecs + " '" + path.string() + "' >/dev/null 2>&1";
    if (std::system(command.c_str()) != 0) return {};
    return path.string();
}

struct Surface {
    std::vector<uint8_t> pixels = std::vector<uint8_t>(640 * 3 * 480);
    std::mutex lock;
    std::mutex doneLock;
    std::condition_variable doneSignal;
    bool done = false;
    WavoVideoWindow window{this,
                           640,
                           480,
                           640 * 3,
                           [](void* c) {
                               auto* self = static_cast<Surface*>(c);
                               self->lock.lock();
                               return self->pixels.data();
                           },
                           [](void* c) { static_cast<Surface*>(c)->lock.unlock(); },
                           [](void*, int32_t, int32_t, int32_t, int32_t) {},
                           [](void* c) {
                               auto* self = static_cast<Surface*>(c);
                               std::lock_guard guard(self->doneLock);
                               self->done = true;
                               self->doneSignal.notify_all();
                           }};
};

void DecodeSpeed(benchmark::State& state, const std::string& name, const std::string& codecs) {
    const std::string movie = MakeMovie(name, codecs);
    if (movie.empty()) {
        state.SkipWithError("the ffmpeg program is missing");
        return;
    }
    Surface surface;
    double realTimes = 0;
    for (auto _ : state) {
        int error = 0;
        std::string why;
        const wavo::Ffmpeg* ffmpeg = wavo::Ffmpeg::Shared();
        if (ffmpeg == nullptr) {
            state.SkipWithError("FFmpeg's libraries are missing");
            return;
        }
        auto decoder = wavo::MovieDecoder::Open(*ffmpeg, movie, error, why);
        if (!decoder) {
            state.SkipWithError("cannot open the movie");
            return;
        }
        const double before = ThreadCpuSeconds();
        const double length = decoder->DecodeAll(surface.window);
        realTimes = length / (ThreadCpuSeconds() - before);
    }
    state.counters["x_real_time"] = realTimes;
}

void BM_DecodeMpeg1(benchmark::State& state) {
    DecodeSpeed(state, "640.mpg", "-c:v mpeg1video -b:v 2M -c:a mp2 -f mpeg");
}
void BM_DecodeH264(benchmark::State& state) {
    DecodeSpeed(state, "640.mp4", "-c:v libx264 -pix_fmt yuv420p -c:a aac");
}
void BM_DecodeVp9(benchmark::State& state) {
    DecodeSpeed(state, "640.webm", "-c:v libvpx-vp9 -deadline realtime -b:v 1M -c:a libopus");
}
BENCHMARK(BM_DecodeMpeg1)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeH264)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeVp9)->Iterations(3)->Unit(benchmark::kMillisecond);

void BM_PlayingCpu(benchmark::State& state) {
    const std::string movie = MakeMovie("640.mp4", "-c:v libx264 -pix_fmt yuv420p -c:a aac");
    if (movie.empty()) {
        state.SkipWithError("the ffmpeg program is missing");
        return;
    }
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    if (InitializeWavo() != 0) {
        state.SkipWithError("no sound output");
        return;
    }
    double percent = 0;
    for (auto _ : state) {
        Surface surface;
        const auto handle = reinterpret_cast<uintptr_t>(&surface.window);
        SetWavoProp(WP_VIDEO_WINDOW, &handle);
        const double before = ProcessCpuSeconds();
        const auto start = std::chrono::steady_clock::now();
        dshowPlay(movie.c_str());
        {
            std::unique_lock lock(surface.doneLock);
            surface.doneSignal.wait_for(lock, std::chrono::seconds(20),
                                        [&] { return surface.done; });
        }
        const double wall =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        percent = (ProcessCpuSeconds() - before) / wall * 100.0;
        dshowStop();
        const uintptr_t none = 0;
        SetWavoProp(WP_VIDEO_WINDOW, &none);
    }
    state.counters["core_percent"] = percent;
    TerminateWavo();
}
BENCHMARK(BM_PlayingCpu)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
