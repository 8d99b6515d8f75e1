#include "sound_buffer.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <mutex>

#include "mixer.h"

namespace wavo {
namespace {

float GainOf(int32_t hundredthsDb) {
    if (hundredthsDb <= kVolumeSilent) return 0.0f;
    return static_cast<float>(std::pow(10.0, hundredthsDb / 2000.0));
}

}  // namespace

bool PcmFormat::Valid() const {
    return (channels == 1 || channels == 2) && (bits == 8 || bits == 16) && rate >= 1000 &&
           rate <= 384000;
}

SoundBuffer::SoundBuffer(Key, Mixer& mixer, const PcmFormat& format, uint32_t size)
    : mMixer(mixer),
      mFormat(format),
      mSize(size),
      mFrames(size / format.BlockAlign()),
      // Silence of the format: 8-bit samples are unsigned around 128.
      mData(size, format.bits == 8 ? 0x80 : 0x00) {}

SoundBuffer::~SoundBuffer() {
    std::lock_guard lock(mMixer.mLock);
    std::erase(mMixer.mBuffers, this);
}

std::optional<SoundBuffer::Region> SoundBuffer::Lock(uint32_t offset, uint32_t length) {
    if (mLockedOffset || offset >= mSize || length > mSize) return std::nullopt;
    mStaging.resize(length);
    mLockedOffset = offset;
    const uint32_t firstLength = std::min(length, mSize - offset);
    Region region;
    region.first = std::span(mStaging.data(), firstLength);
    region.second = std::span(mStaging.data() + firstLength, length - firstLength);
    return region;
}

bool SoundBuffer::Unlock() {
    if (!mLockedOffset) return false;
    const uint32_t offset = *mLockedOffset;
    const uint32_t length = static_cast<uint32_t>(mStaging.size());
    const uint32_t firstLength = std::min(length, mSize - offset);
    {
        std::lock_guard lock(mMixer.mLock);
        std::memcpy(mData.data() + offset, mStaging.data(), firstLength);
        std::memcpy(mData.data(), mStaging.data() + firstLength, length - firstLength);
    }
    mLockedOffset.reset();
    return true;
}

bool SoundBuffer::Play(bool looping) {
    std::function<void()> wake;
    std::function<bool()> start;
    {
        std::lock_guard lock(mMixer.mLock);
        start = mMixer.mStart;
        ++mMixer.mStarting;
    }
    const bool started = !start || start();
    {
        std::lock_guard lock(mMixer.mLock);
        --mMixer.mStarting;
        if (!started) return false;
        mLooping = looping;
        mPlaying = true;
        // Starting at a notification position counts as reaching it: the
        // streaming writer relies on the signal at offset 0 to fill the
        // second half while the first one plays.
        if (mEvent != nullptr && std::ranges::find(mNotifyFrames, mCursor) != mNotifyFrames.end()) {
            mEvent->Set();
            wake = mMixer.mWake;
        }
    }
    if (wake) wake();
    return true;
}

void SoundBuffer::Stop() {
    std::lock_guard lock(mMixer.mLock);
    mPlaying = false;
    mStopFrame.reset();
}

void SoundBuffer::StopAt(uint32_t offset) {
    std::lock_guard lock(mMixer.mLock);
    mStopFrame = (offset % mSize) / mFormat.BlockAlign();
}

bool SoundBuffer::IsPlaying() const {
    std::lock_guard lock(mMixer.mLock);
    return mPlaying;
}

uint32_t SoundBuffer::PlayPosition() const {
    std::lock_guard lock(mMixer.mLock);
    return mCursor * mFormat.BlockAlign();
}

bool SoundBuffer::SetPlayPosition(uint32_t offset) {
    if (offset >= mSize) return false;
    std::lock_guard lock(mMixer.mLock);
    mCursor = offset / mFormat.BlockAlign();
    mPlayed = 0;
    mStopFrame.reset();
    return true;
}

uint64_t SoundBuffer::PlayedBytes() const {
    std::lock_guard lock(mMixer.mLock);
    return mPlayed * mFormat.BlockAlign();
}

bool SoundBuffer::SetVolume(int32_t hundredthsDb) {
    if (hundredthsDb < kVolumeSilent || hundredthsDb > 0) return false;
    std::lock_guard lock(mMixer.mLock);
    mVolume = hundredthsDb;
    UpdateGains();
    return true;
}

int32_t SoundBuffer::Volume() const {
    std::lock_guard lock(mMixer.mLock);
    return mVolume;
}

bool SoundBuffer::SetPan(int32_t pan) {
    if (pan < kPanLeft || pan > kPanRight) return false;
    std::lock_guard lock(mMixer.mLock);
    mPan = pan;
    UpdateGains();
    return true;
}

int32_t SoundBuffer::Pan() const {
    std::lock_guard lock(mMixer.mLock);
    return mPan;
}

bool SoundBuffer::SetNotifications(std::span<const uint32_t> offsets, NotifyEvent* event) {
    std::vector<uint32_t> frames;
    for (uint32_t offset : offsets) {
        if (offset >= mSize) return false;
        frames.push_back(offset / mFormat.BlockAlign());
    }
    std::lock_guard lock(mMixer.mLock);
    mNotifyFrames = std::move(frames);
    mEvent = event;
    return true;
}

void SoundBuffer::UpdateGains() {
    // Pan attenuates the far side only, in the same decibel scale as volume.
    const float gain = GainOf(mVolume);
    mGainLeft = gain * (mPan > 0 ? GainOf(-mPan) : 1.0f);
    mGainRight = gain * (mPan < 0 ? GainOf(mPan) : 1.0f);
}

void SoundBuffer::ReadFrame(float& left, float& right) const {
    const uint8_t* frame = mData.data() + static_cast<size_t>(mCursor) * mFormat.BlockAlign();
    if (mFormat.bits == 16) {
        int16_t samples[2];
        std::memcpy(samples, frame, mFormat.channels * sizeof(int16_t));
        left = samples[0] * (1.0f / 32768.0f);
        right = mFormat.channels == 2 ? samples[1] * (1.0f / 32768.0f) : left;
    } else {
        left = (frame[0] - 128) * (1.0f / 128.0f);
        right = mFormat.channels == 2 ? (frame[1] - 128) * (1.0f / 128.0f) : left;
    }
}

bool SoundBuffer::Advance() {
    ++mPlayed;
    if (++mCursor == mFrames) {
        mCursor = 0;
        if (!mLooping) mPlaying = false;
    }
    if (mStopFrame && *mStopFrame == mCursor) {
        mPlaying = false;
        mStopFrame.reset();
        return true;
    }
    for (uint32_t frame : mNotifyFrames) {
        if (frame == mCursor) return true;
    }
    return false;
}

bool SoundBuffer::MixInto(float* out, int frames) {
    bool notified = false;
    const float gainLeft = mGainLeft, gainRight = mGainRight;
    float left, right;
    for (int i = 0; i < frames && mPlaying; ++i) {
        ReadFrame(left, right);
        out[2 * i] += left * gainLeft;
        out[2 * i + 1] += right * gainRight;
        notified |= Advance();
    }
    if (notified && mEvent != nullptr) mEvent->Set();
    return notified && mEvent != nullptr;
}

void SoundBuffer::TakeFrame(float& left, float& right) {
    ReadFrame(left, right);
    left *= mGainLeft;
    right *= mGainRight;
    mTakenNotification |= Advance();
}

bool SoundBuffer::SignalTaken() {
    const bool notified = mTakenNotification && mEvent != nullptr;
    mTakenNotification = false;
    if (notified) mEvent->Set();
    return notified;
}

}  // namespace wavo
