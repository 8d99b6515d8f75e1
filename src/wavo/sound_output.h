#pragma once
// The sound output: one SDL audio device whose callback runs the mixer. It
// stands where the platform's sound device and primary buffer stood.
//
// A device can go away under a running game (a headset pulled out) and the
// default device can change. The mixer and every buffer in it outlive the
// device: a lost device is closed, a silent clock goes on pulling the mix at
// real time so that plays still end and nothing waits for ever, and the
// default device is opened again at the same rate (SDL converts to whatever
// it has) when one appears or at the next sound start.
//
// An open device costs its thread's wake-ups (SDL's device thread runs on,
// paused or not, about forty times a second) even while nothing plays. So
// after a quiet spell the output rests: the device is closed (or the silent
// clock stopped), and the next sound start opens it before its buffer plays,
// so the sound's first frame is the new device's first.

#include <SDL.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "mixer.h"

namespace wavo {

// The platform probe: 0x801 when this machine has a sound output, 0 when it
// has none at all.
inline constexpr int32_t kPlatformPresent = 0x801;
int32_t ProbeSoundPlatform();

class SoundOutput {
public:
    // The rate asked for when the device does not tell its own.
    static constexpr uint32_t kRate = 44100;
    static constexpr uint16_t kFrames = 1024;  // per callback, about 23 ms

    // Failure numbers of Open, reported as the engine's extended error 1.
    static constexpr int32_t kStepAudioInit = 1;
    static constexpr int32_t kStepOpenDevice = 3;

    // nullptr on failure, with the failing step and SDL's result.
    static std::unique_ptr<SoundOutput> Open(int32_t& failedStep, int32_t& platformResult);

private:
    struct Key {
        explicit Key() = default;
    };

public:
    SoundOutput(Key, uint32_t rate);
    ~SoundOutput();
    SoundOutput(const SoundOutput&) = delete;
    SoundOutput& operator=(const SoundOutput&) = delete;

    Mixer& GetMixer() { return mMixer; }

    // Runs (from any thread, SDL's own included) when a device change needs
    // Service(); the engine wakes its worker with it.
    void SetChangeHandler(std::function<void()> handler);
    // The worker's part, outside every list lock: closes a lost device and
    // opens the default one again, or follows a new default device.
    void Service();
    // A sound is about to start: a lost output tries the default device now.
    // False when nothing takes the mix, neither a device nor the silent
    // clock.
    bool EnsureDevice();

    // How long the mix must be silent before the output rests, counted in
    // frames pulled, not in wall time (tests shorten it).
    static constexpr std::chrono::milliseconds kRestAfter{2000};
    void SetRestAfter(std::chrono::milliseconds quiet);
    // Whether the output rests, and how often it went to rest.
    bool Resting();
    int Rests() const { return mRests.load(); }

    // What SDL reports when the device has gone; any thread.
    void ReportLoss();
    bool DeviceOpen() const { return mDevice.load() != 0; }
    SDL_AudioDeviceID DeviceId() const { return mDevice.load(); }
    // Times the device was opened again after a loss or a change.
    int Reopens() const { return mReopens.load(); }

private:
    bool OpenDevice();             // under mDeviceLock
    void CloseDevice();            // under mDeviceLock
    void Reopen(const char* why);  // under mDeviceLock
    void Rest();                   // under mDeviceLock
    // From the thread that pulled `frames` of the mix: counts the quiet
    // and asks the worker for the rest once it has lasted.
    void Pulled(bool sounding, int frames);
    // False when its thread cannot be made.
    bool StartSilentClock();
    void StopSilentClock();
    void RunSilentClock();
    void NotifyChange();
    static std::string DefaultDeviceName();
    static int SDLCALL OnEvent(void* self, SDL_Event* event);
    static void SDLCALL Callback(void* self, Uint8* stream, int length);

    Mixer mMixer;
    std::mutex mDeviceLock;
    std::atomic<SDL_AudioDeviceID> mDevice{0};
    std::string mDefaultName;  // of the default device when it was opened
    std::atomic<bool> mLost{false};
    std::atomic<bool> mHotplug{false};
    std::atomic<int> mReopens{0};

    std::atomic<uint64_t> mRestAfterFrames;
    std::atomic<uint64_t> mQuietFrames{0};
    std::atomic<bool> mRestAsked{false};  // in this quiet spell
    std::atomic<bool> mRestDue{false};
    bool mResting = false;       // under mDeviceLock
    bool mRestedDevice = false;  // under mDeviceLock: a device was open then
    std::atomic<int> mRests{0};
    bool mWatching = false;

    std::mutex mHandlerLock;
    std::function<void()> mChange;

    std::mutex mClockLock;
    std::condition_variable mClockStop;
    bool mClockRunning = false;
    std::thread mClock;
};

}  // namespace wavo
