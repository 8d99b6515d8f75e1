#pragma once
// The platform services that the engine start brings up, and exactly those
// brought down again at the end. On this platform the music performance is
// the engine clock and the sound device is the SDL sound output; the media
// device, the mixer and the movie service need nothing started.

#include <cstdint>
#include <memory>

#include "engine_clock.h"
#include "sound_output.h"

namespace wavo {

enum ServiceFlag : uint32_t {
    kServiceMci = 0x01,
    kServiceMixer = 0x02,
    kServiceMusic = 0x04,
    kServiceMovie = 0x08,
    kServiceSound = 0x10,
};

struct ServiceErrors {
    int32_t platformVersion = 0;
    int32_t extended1 = 0;
    int32_t extended2 = 0;
};

class PlatformServices {
public:
    ~PlatformServices() { Terminate(); }

    // 0 or the failing service's code; what started before a failure stays
    // up until Terminate.
    int32_t Initialize(uint32_t flags, ServiceErrors& errors);
    void Terminate();

    bool SoundUp() const { return mOutput != nullptr; }
    Mixer* GetMixer() { return mOutput ? &mOutput->GetMixer() : nullptr; }
    SoundOutput* Output() { return mOutput.get(); }
    const EngineClock& Clock() const { return mClock; }

private:
    bool mMciUp = false;
    bool mMixerUp = false;
    bool mMusicUp = false;
    bool mMovieUp = false;
    std::unique_ptr<SoundOutput> mOutput;
    EngineClock mClock;
};

}  // namespace wavo
