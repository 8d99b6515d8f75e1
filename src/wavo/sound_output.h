#pragma once
// The sound output: one SDL audio device whose callback runs the mixer. It
// stands where the platform's sound device and primary buffer stood.

#include <SDL.h>

#include <cstdint>
#include <memory>

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
    SoundOutput(Key, uint32_t rate) : mMixer(rate) {}
    ~SoundOutput();

    Mixer& GetMixer() { return mMixer; }

private:
    static void Callback(void* self, Uint8* stream, int length);

    SDL_AudioDeviceID mDevice = 0;
    Mixer mMixer;
};

}  // namespace wavo
