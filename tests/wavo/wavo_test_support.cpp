#include "wavo_test_support.h"

#include <unistd.h>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <numbers>
#include <thread>

namespace wavo::test {
namespace {

void Put16(std::vector<uint8_t>& out, uint32_t value) {
    out.push_back(value & 0xFF);
    out.push_back((value >> 8) & 0xFF);
}

void Put32(std::vector<uint8_t>& out, uint32_t value) {
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

void PutTag(std::vector<uint8_t>& out, const char* tag) {
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<uint8_t>(tag[i]));
}

// Headless sound for every test of the engine, also when the runner did not
// choose a driver: without one SDL would look for a real sound card.
const bool kDummyAudio = setenv("SDL_AUDIODRIVER", "dummy", 0) == 0;

}  // namespace

std::vector<uint8_t> ToneWave(double seconds, double frequency, double amplitude, uint16_t channels,
                              uint32_t rate, uint16_t bits) {
    const uint32_t frames = static_cast<uint32_t>(seconds * rate);
    const uint16_t blockAlign = channels * bits / 8;
    const uint32_t dataSize = frames * blockAlign;
    std::vector<uint8_t> wave;
    PutTag(wave, "RIFF");
    Put32(wave, 36 + dataSize);
    PutTag(wave, "WAVE");
    PutTag(wave, "fmt ");
    Put32(wave, 16);
    Put16(wave, 1);
    Put16(wave, channels);
    Put32(wave, rate);
    Put32(wave, rate * blockAlign);
    Put16(wave, blockAlign);
    Put16(wave, bits);
    PutTag(wave, "data");
    Put32(wave, dataSize);
    for (uint32_t frame = 0; frame < frames; ++frame) {
        const double value =
            amplitude * std::sin(2.0 * std::numbers::pi * frequency * frame / rate);
        for (uint16_t channel = 0; channel < channels; ++channel) {
            if (bits == 8) {
                wave.push_back(static_cast<uint8_t>(std::lround(128.0 + 127.0 * value)));
            } else {
                Put16(wave,
                      static_cast<uint16_t>(static_cast<int16_t>(std::lround(32767.0 * value))));
            }
        }
    }
    return wave;
}

int32_t LoadWaveObject(const std::vector<uint8_t>& wave) {
    const int32_t id = AddSO(ST_WAVE_MEMORY);
    SetIntProp(id, SP_MEMORY_SIZE, static_cast<int32_t>(wave.size()));
    void* block = nullptr;
    EXPECT_EQ(GetSOProp(id, SP_MEMORY_ADDRESS, &block), 0);
    if (block != nullptr) std::memcpy(block, wave.data(), wave.size());
    EXPECT_EQ(CallSOMethod(id, SM_LOAD, nullptr), 0);
    return id;
}

int32_t IntProp(int32_t id, int32_t property) {
    int32_t value = 0;
    EXPECT_EQ(GetSOProp(id, property, &value), 0);
    return value;
}

void SetIntProp(int32_t id, int32_t property, int32_t value) {
    EXPECT_EQ(SetSOProp(id, property, &value), 0);
}

int32_t StateOf(int32_t id) {
    return IntProp(id, SP_STATE);
}

bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(1ms);
    }
    return true;
}

void EventRecorder::Install() {
    WavoEventWindow window{&EventRecorder::Receive, this};
    ASSERT_EQ(SetWavoProp(WP_EVENT_WINDOW, &window), 0);
}

void EventRecorder::Receive(void* context, uint32_t message, int32_t wparam, int32_t lparam) {
    auto* self = static_cast<EventRecorder*>(context);
    {
        std::lock_guard lock(self->mLock);
        self->mEvents.push_back(
            Event{message, wparam & 0xFFFF, static_cast<int32_t>(wparam & 0xFFFF0000), lparam});
    }
    self->mArrived.notify_all();
}

std::vector<Event> EventRecorder::Events() {
    std::lock_guard lock(mLock);
    return mEvents;
}

bool EventRecorder::WaitFor(int32_t id, int32_t code, std::chrono::milliseconds timeout) {
    std::unique_lock lock(mLock);
    return mArrived.wait_for(lock, timeout, [&] {
        for (const Event& event : mEvents) {
            if (event.id == id && event.code == code) return true;
        }
        return false;
    });
}

DiskAudio::DiskAudio(const std::string& name, const char* delayMs) {
    mPath =
        (std::filesystem::temp_directory_path() / (name + "_" + std::to_string(getpid()) + ".raw"))
            .string();
    const char* driver = std::getenv("SDL_AUDIODRIVER");
    mSavedDriver = driver ? driver : "";
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", mPath.c_str(), 1);
    if (delayMs != nullptr) {
        setenv("SDL_DISKAUDIODELAY", delayMs, 1);
    } else {
        unsetenv("SDL_DISKAUDIODELAY");
    }
}

DiskAudio::~DiskAudio() {
    setenv("SDL_AUDIODRIVER", mSavedDriver.c_str(), 1);
    unsetenv("SDL_DISKAUDIODELAY");
    std::filesystem::remove(mPath);
}

void DiskAudio::Read(std::vector<float>& left, std::vector<float>& right) const {
    std::ifstream in(mPath, std::ios::binary);
    const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), {});
    const size_t frames = bytes.size() / (2 * sizeof(float));
    left.resize(frames);
    right.resize(frames);
    for (size_t i = 0; i < frames; ++i) {
        std::memcpy(&left[i], &bytes[i * 8], 4);
        std::memcpy(&right[i], &bytes[i * 8 + 4], 4);
    }
}

double Rms(const std::vector<float>& samples, size_t from, size_t count) {
    double sum = 0.0;
    for (size_t i = from; i < from + count && i < samples.size(); ++i)
        sum += double(samples[i]) * samples[i];
    return count == 0 ? 0.0 : std::sqrt(sum / count);
}

size_t Onset(const std::vector<float>& left, const std::vector<float>& right, float floor) {
    for (size_t i = 0; i < left.size(); ++i) {
        if (std::abs(left[i]) > floor || std::abs(right[i]) > floor) return i;
    }
    return left.size();
}

}  // namespace wavo::test
