#pragma once
// A software sound buffer: a ring of PCM in its own format that the mixer
// plays, looping or once, with a volume, a pan and position notifications.
// It stands where a secondary sound buffer of the platform stood: the sound
// objects see the same operations, and the same units (bytes, hundredths of a
// decibel).

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <vector>

namespace wavo {

class Mixer;

struct PcmFormat {
    uint16_t channels = 0;  // 1 or 2
    uint32_t rate = 0;      // frames per second
    uint16_t bits = 0;      // 8 (unsigned) or 16 (signed)

    uint32_t BlockAlign() const { return channels * (bits / 8u); }
    uint32_t BytesPerSecond() const { return BlockAlign() * rate; }
    bool Valid() const;
};

// A manual-reset event: set by the mixer when play crosses a notification
// position, reset only by its reader.
class NotifyEvent {
public:
    void Set() { mSignalled.store(true, std::memory_order_release); }
    void Reset() { mSignalled.store(false, std::memory_order_release); }
    bool IsSet() const { return mSignalled.load(std::memory_order_acquire); }

private:
    std::atomic<bool> mSignalled{false};
};

inline constexpr int32_t kVolumeSilent = -10000;  // hundredths of a decibel
inline constexpr int32_t kPanLeft = -10000;
inline constexpr int32_t kPanRight = 10000;

class SoundBuffer {
public:
    // Only the mixer makes buffers (Mixer::CreateBuffer).
    class Key {
        friend class Mixer;
        Key() = default;
    };
    SoundBuffer(Key, Mixer& mixer, const PcmFormat& format, uint32_t size);
    ~SoundBuffer();
    SoundBuffer(const SoundBuffer&) = delete;
    SoundBuffer& operator=(const SoundBuffer&) = delete;

    uint32_t Size() const { return mSize; }
    const PcmFormat& Format() const { return mFormat; }

    // A region to write, as the two parts of the ring it covers (the second is
    // empty unless the region wraps). The writer fills the parts at leisure;
    // Unlock hands them to the mixer in one short step. nullopt when the
    // region does not fit the buffer or another lock is open.
    struct Region {
        std::span<uint8_t> first;
        std::span<uint8_t> second;
    };
    std::optional<Region> Lock(uint32_t offset, uint32_t length);
    bool Unlock();

    // False, and not playing, when the output can take no sound.
    bool Play(bool looping);
    void Stop();
    // Play stops by itself when it reaches the offset, and the notification
    // event is signalled: the end of streamed data is heard at once instead of
    // after the rest of the ring. Cleared by Stop and SetPlayPosition.
    void StopAt(uint32_t offset);
    bool IsPlaying() const;
    // Byte offset of the next frame to be played.
    uint32_t PlayPosition() const;
    bool SetPlayPosition(uint32_t offset);
    // Bytes played since the last SetPlayPosition, across every wrap of the
    // ring: the streaming writer tells by it when a loop point is heard.
    uint64_t PlayedBytes() const;

    // kVolumeSilent..0; false outside that range, as the platform refused it.
    bool SetVolume(int32_t hundredthsDb);
    int32_t Volume() const;
    // kPanLeft..kPanRight.
    bool SetPan(int32_t pan);
    int32_t Pan() const;

    // Positions (byte offsets) at which play signals the event; the event
    // must outlive the buffer or the next call.
    bool SetNotifications(std::span<const uint32_t> offsets, NotifyEvent* event);

private:
    friend class Mixer;

    // The mixer's side, under its lock: adds frames * 2 samples to out, for
    // a buffer at the device rate. True when a notification position was
    // crossed.
    bool MixInto(float* out, int frames);
    // One frame at the cursor with volume and pan, for a buffer at another
    // rate; the cursor moves on and a notification is remembered.
    void TakeFrame(float& left, float& right);
    // Signals a notification remembered by TakeFrame; true when there was one.
    bool SignalTaken();
    void ReadFrame(float& left, float& right) const;
    bool Advance();  // moves the cursor one frame; true at a notification
    void UpdateGains();

    Mixer& mMixer;
    const PcmFormat mFormat;
    const uint32_t mSize;
    const uint32_t mFrames;
    std::vector<uint8_t> mData;

    // Guarded by the mixer's lock.
    uint32_t mCursor = 0;  // frame index
    uint64_t mPlayed = 0;  // frames since the last SetPlayPosition
    bool mPlaying = false;
    bool mLooping = false;
    int32_t mVolume = 0;
    int32_t mPan = 0;
    float mGainLeft = 1.0f;
    float mGainRight = 1.0f;
    std::optional<uint32_t> mStopFrame;
    std::vector<uint32_t> mNotifyFrames;
    NotifyEvent* mEvent = nullptr;
    bool mTakenNotification = false;

    // The open lock, the writer's alone.
    std::vector<uint8_t> mStaging;
    std::optional<uint32_t> mLockedOffset;
};

}  // namespace wavo
