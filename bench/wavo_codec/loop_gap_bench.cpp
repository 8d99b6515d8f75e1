// Gaps at the loop point: a short tone played three times through the engine
// into SDL's disk audio driver; the counters give the silence between one play
// and the next, in ms, as the listener would hear it.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <mutex>
#include <string>
#include <vector>

#include "wavo.h"

namespace {

constexpr int kRate = 44100;

void Put16(std::vector<uint8_t>& out, int value) {
    out.push_back(static_cast<uint8_t>(value));
    out.push_back(static_cast<uint8_t>(value >> 8));
}

void Put32(std::vector<uint8_t>& out, uint32_t value) {
    Put16(out, static_cast<int>(value & 0xFFFF));
    Put16(out, static_cast<int>(value >> 16));
}

// A stereo tone that never touches zero, so that any zero frame is a gap.
std::vector<uint8_t> Tone(double seconds) {
    auto frames = static_cast<uint32_t>(seconds * kRate);
    std::vector<uint8_t> wave{'R', 'I', 'F', 'F'};
    Put32(wave, 36 + frames * 4);
    for (char c : std::string("WAVEfmt "))
        wave.push_back(static_cast<uint8_t>(c));
    Put32(wave, 16);
    Put16(wave, 1);
    Put16(wave, 2);
    Put32(wave, kRate);
    Put32(wave, kRate * 4);
    Put16(wave, 4);
    Put16(wave, 16);
    for (char c : std::string("data"))
        wave.push_back(static_cast<uint8_t>(c));
    Put32(wave, frames * 4);
    for (uint32_t i = 0; i < frames; ++i) {
        int sample = static_cast<int>(8000 + 6000 * std::sin(i * 2 * M_PI * 440 / kRate));
        Put16(wave, sample);
        Put16(wave, sample);
    }
    return wave;
}

struct Finished {
    std::mutex mutex;
    std::condition_variable signal;
    bool done = false;

    static void OnEvent(void* context, uint32_t, int32_t wparam, int32_t) {
        auto* self = static_cast<Finished*>(context);
        if ((wparam & 0xFFFF0000) != WE_FINISHED) return;
        std::lock_guard lock(self->mutex);
        self->done = true;
        self->signal.notify_all();
    }
};

// Frames the output device was given, as interleaved stereo floats.
std::vector<float> PlayThreeTimes(const std::vector<uint8_t>& wave, const std::string& path) {
    Finished finished;
    if (InitializeWavo() != WAVO_OK) return {};
    WavoEventWindow window{&Finished::OnEvent, &finished};
    SetWavoProp(WP_EVENT_WINDOW, &window);
    int32_t id = AddSO(ST_WAVE_MEMORY);
    int32_t size = static_cast<int32_t>(wave.size());
    int32_t plays = 3;
    SetSOProp(id, SP_MEMORY_SIZE, &size);
    void* block = nullptr;
    GetSOProp(id, SP_MEMORY_ADDRESS, &block);
    std::memcpy(block, wave.data(), wave.size());
    SetSOProp(id, SP_PLAY_COUNT, &plays);
    CallSOMethod(id, SM_LOAD, nullptr);
    CallSOMethod(id, SM_PLAY, nullptr);
    {
        std::unique_lock lock(finished.mutex);
        finished.signal.wait_for(lock, std::chrono::seconds(60), [&] { return finished.done; });
    }
    TerminateWavo();
    std::ifstream file(path, std::ios::binary);
    std::vector<char> bytes(std::istreambuf_iterator<char>(file), {});
    std::vector<float> output(bytes.size() / sizeof(float));
    if (!output.empty()) std::memcpy(output.data(), bytes.data(), output.size() * sizeof(float));
    return output;
}

void LoopGap(benchmark::State& state) {
    std::string path = "/tmp/wavo_loop_gap_" + std::to_string(getpid()) + ".raw";
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", path.c_str(), 1);
    auto wave = Tone(static_cast<double>(state.range(0)) / 1000);
    std::vector<int64_t> gaps;
    for (auto _ : state) {
        auto output = PlayThreeTimes(wave, path);
        // Runs of silent frames between the first and the last sounding frame.
        int64_t run = 0;
        bool sounded = false;
        for (size_t frame = 0; frame + 1 < output.size(); frame += 2) {
            bool silent = output[frame] == 0.0f && output[frame + 1] == 0.0f;
            if (!silent) {
                if (sounded && run > 0) gaps.push_back(run);
                sounded = true;
                run = 0;
            } else if (sounded) {
                ++run;
            }
        }
    }
    std::remove(path.c_str());
    double longest = 0, total = 0;
    for (int64_t gap : gaps) {
        longest = std::max(longest, gap * 1000.0 / kRate);
        total += gap * 1000.0 / kRate;
    }
    state.counters["gaps"] = static_cast<double>(gaps.size());
    state.counters["longest_gap_ms"] = longest;
    state.counters["mean_gap_ms"] = gaps.empty() ? 0 : total / static_cast<double>(gaps.size());
}
BENCHMARK(LoopGap)->Arg(250)->Arg(1500)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
