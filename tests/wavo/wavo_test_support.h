#pragma once
// Helpers of the sound engine's tests: WAVE blocks made in memory, a recorder
// of engine events, and a fixture that starts and stops the engine.

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "wavo.h"

namespace wavo::test {

using namespace std::chrono_literals;

// A RIFF WAVE block of 16-bit PCM: frames of a sine of the given frequency and
// amplitude (0..1) on every channel.
std::vector<uint8_t> ToneWave(double seconds, double frequency, double amplitude,
                              uint16_t channels = 2, uint32_t rate = 44100, uint16_t bits = 16);

// Creates a streaming WAVE object, fills its memory block and loads it.
int32_t LoadWaveObject(const std::vector<uint8_t>& wave);

int32_t StateOf(int32_t id);
int32_t IntProp(int32_t id, int32_t property);
void SetIntProp(int32_t id, int32_t property, int32_t value);

// Waits, looking every millisecond, until the condition holds; for changes
// the engine announces by no event.
bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout = 5s);

struct Event {
    uint32_t message;
    int32_t id;
    int32_t code;
    int32_t lparam;
};

// Collects the events the engine sends, in order.
class EventRecorder {
public:
    // Installs itself as the engine's event window.
    void Install();
    std::vector<Event> Events();
    // Waits until an event of the code has come for the object.
    bool WaitFor(int32_t id, int32_t code, std::chrono::milliseconds timeout = 10s);

private:
    static void Receive(void* context, uint32_t message, int32_t wparam, int32_t lparam);

    std::mutex mLock;
    std::condition_variable mArrived;
    std::vector<Event> mEvents;
};

// SDL's disk audio driver for one test: what the engine plays goes to a file
// of interleaved stereo float frames at the output rate, read back after the
// engine has stopped (closing the device writes everything out).
class DiskAudio {
public:
    // delayMs: SDL's pause after each device period; empty for real time.
    explicit DiskAudio(const std::string& name, const char* delayMs = nullptr);
    ~DiskAudio();
    const std::string& Path() const { return mPath; }
    // Left and right channels of everything written so far.
    void Read(std::vector<float>& left, std::vector<float>& right) const;

private:
    std::string mPath;
    std::string mSavedDriver;
};

// Root mean square of samples [from, from + count).
double Rms(const std::vector<float>& samples, size_t from, size_t count);
// First frame from which either side is audible; the size when none is.
size_t Onset(const std::vector<float>& left, const std::vector<float>& right, float floor = 1e-3f);

// Starts the engine for each test and stops it afterwards.
class EngineTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(InitializeWavo(), 0); }
    void TearDown() override { TerminateWavo(); }
};

}  // namespace wavo::test
