#include "mixer.h"

#include <algorithm>

namespace wavo {

Mixer::Mixer(uint32_t deviceRate) : mDeviceRate(deviceRate) {}

Mixer::~Mixer() = default;

std::unique_ptr<SoundBuffer> Mixer::CreateBuffer(const PcmFormat& format, uint32_t size) {
    if (!format.Valid() || size == 0 || size % format.BlockAlign() != 0) return nullptr;
    auto buffer = std::make_unique<SoundBuffer>(SoundBuffer::Key{}, *this, format, size);
    std::lock_guard lock(mLock);
    mBuffers.push_back(buffer.get());
    if (format.rate != mDeviceRate &&
        std::ranges::find(mGroups, format.rate, &RateGroup::rate) == mGroups.end()) {
        mGroups.push_back({format.rate, std::make_unique<Resampler>(format.rate, mDeviceRate)});
    }
    return buffer;
}

void Mixer::SetWakeHandler(std::function<void()> handler) {
    std::lock_guard lock(mLock);
    mWake = std::move(handler);
}

void Mixer::SetStartHandler(std::function<bool()> handler) {
    std::lock_guard lock(mLock);
    mStart = std::move(handler);
}

bool Mixer::SilentLocked() const {
    if (mStarting != 0) return false;
    for (const SoundBuffer* buffer : mBuffers) {
        if (buffer->mPlaying) return false;
    }
    return std::ranges::none_of(mGroups, &RateGroup::running);
}

bool Mixer::Silent() {
    std::lock_guard lock(mLock);
    return SilentLocked();
}

bool Mixer::Mix(float* out, int frames) {
    bool notified = false;
    bool sounding = false;
    std::function<void()> wake;
    {
        std::lock_guard lock(mLock);
        sounding = !SilentLocked();
        if (mSum.size() < static_cast<size_t>(frames) * 2) mSum.resize(frames * 2);
        std::fill_n(mSum.begin(), frames * 2, 0.0f);
        for (SoundBuffer* buffer : mBuffers) {
            if (buffer->mPlaying && buffer->mFormat.rate == mDeviceRate)
                notified |= buffer->MixInto(mSum.data(), frames);
        }
        for (RateGroup& group : mGroups)
            notified |= MixGroup(group, mSum.data(), frames);
        // Saturate: an overloaded sum clips instead of wrapping around.
        for (int i = 0; i < frames * 2; ++i)
            out[i] = std::clamp(mSum[i], -1.0f, 1.0f);
        if (notified) wake = mWake;
    }
    if (wake) wake();
    return sounding;
}

bool Mixer::MixGroup(RateGroup& group, float* out, int frames) {
    mMembers.clear();
    for (SoundBuffer* buffer : mBuffers) {
        if (buffer->mPlaying && buffer->mFormat.rate == group.rate) mMembers.push_back(buffer);
    }
    if (mMembers.empty()) {
        // Nothing of this rate plays: the next start must not hear the
        // converter's memory of the last sound.
        if (group.running) group.resampler->Reset();
        group.running = false;
        return false;
    }
    group.running = true;
    mTaken = mMembers;  // keeps its capacity: no allocation in the device's thread
    float left, right, frameLeft, frameRight;
    for (int i = 0; i < frames; ++i) {
        while (group.resampler->NeedsFrame() && !mMembers.empty()) {
            left = right = 0.0f;
            for (SoundBuffer* buffer : mMembers) {
                buffer->TakeFrame(frameLeft, frameRight);
                left += frameLeft;
                right += frameRight;
            }
            std::erase_if(mMembers, [](const SoundBuffer* buffer) { return !buffer->mPlaying; });
            group.resampler->Push(left, right);
        }
        group.resampler->Output(left, right);
        out[2 * i] += left;
        out[2 * i + 1] += right;
    }
    bool notified = false;
    for (SoundBuffer* buffer : mTaken)
        notified |= buffer->SignalTaken();
    return notified;
}

}  // namespace wavo
