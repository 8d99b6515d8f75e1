#pragma once
// The mixer behind the sound output: every playing sound buffer, converted to
// the device rate, scaled by its volume and pan, summed and saturated into
// interleaved stereo float frames. Buffers at another rate than the
// device's are summed at their own rate first and converted once for all of
// them: the conversion is linear, and it is most of the mixing cost.
//
// Mix() runs on the audio device's thread. It takes the mixer's lock for the
// time of one mix (a few tens of microseconds); the other threads take it
// only for short copies and flag changes, never while they decode.

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "resampler.h"
#include "sound_buffer.h"

namespace wavo {

class Mixer {
public:
    explicit Mixer(uint32_t deviceRate);
    ~Mixer();

    uint32_t DeviceRate() const { return mDeviceRate; }

    // nullptr for a format the mixer cannot play or a size that is not a
    // whole number of frames.
    std::unique_ptr<SoundBuffer> CreateBuffer(const PcmFormat& format, uint32_t size);

    // Called (outside the lock, on the mixing thread) after a mix that
    // signalled a notification, so that the worker can wake up for it.
    void SetWakeHandler(std::function<void()> handler);

    // Called (outside the lock, on the thread that starts it) before a
    // buffer starts to play: the output makes sure it has a device, and
    // answers false when nothing would take the mix (the play then fails).
    void SetStartHandler(std::function<bool()> handler);

    // Fills frames stereo float frames. False when nothing sounded in them:
    // no buffer played, none was starting and no converter held sound.
    bool Mix(float* out, int frames);

    // Nothing plays, nothing is starting and no converter holds sound: the
    // mix is silence until the next start, so the output may rest.
    bool Silent();

private:
    friend class SoundBuffer;

    // The buffers of one rate other than the device's, and their converter.
    struct RateGroup {
        uint32_t rate;
        std::unique_ptr<Resampler> resampler;
        bool running = false;  // the converter holds sound
    };
    bool MixGroup(RateGroup& group, float* out, int frames);

    bool SilentLocked() const;

    const uint32_t mDeviceRate;
    std::mutex mLock;
    // Buffers between their start handler and their first frame: a resting
    // output must not take the mix for silent while one wakes it.
    int mStarting = 0;
    std::vector<SoundBuffer*> mBuffers;
    std::vector<RateGroup> mGroups;
    std::vector<SoundBuffer*> mMembers;  // scratch of MixGroup: still playing
    std::vector<SoundBuffer*> mTaken;    // and all that played
    std::vector<float> mSum;
    std::function<void()> mWake;
    std::function<bool()> mStart;
};

}  // namespace wavo
