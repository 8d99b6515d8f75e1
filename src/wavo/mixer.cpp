#include "mixer.h"

#include <algorithm>

namespace wavo {

Mixer::Mixer(uint32_t deviceRate) : mDeviceRate(deviceRate) {}

Mixer::~Mixer() = default;

std::unique_ptr<SoundBuffer> Mixer::CreateBuffer(const PcmFormat& format, uint32_t size) {
    if (!format.Valid() || size == 0 || size % format.BlockAlign() != 0) return nullptr;
    auto buffer =
        std::make_unique<SoundBuffer>(SoundBuffer::Key{}, *this, format, size, mDeviceRate);
    std::lock_guard lock(mLock);
    mBuffers.push_back(buffer.get());
    return buffer;
}

void Mixer::SetWakeHandler(std::function<void()> handler) {
    std::lock_guard lock(mLock);
    mWake = std::move(handler);
}

void Mixer::SetStartHandler(std::function<void()> handler) {
    std::lock_guard lock(mLock);
    mStart = std::move(handler);
}

void Mixer::Mix(float* out, int frames) {
    bool notified = false;
    std::function<void()> wake;
    {
        std::lock_guard lock(mLock);
        if (mSum.size() < static_cast<size_t>(frames) * 2) mSum.resize(frames * 2);
        std::fill_n(mSum.begin(), frames * 2, 0.0f);
        for (SoundBuffer* buffer : mBuffers) {
            if (buffer->mPlaying) notified |= buffer->MixInto(mSum.data(), frames);
        }
        // Saturate: an overloaded sum clips instead of wrapping around.
        for (int i = 0; i < frames * 2; ++i)
            out[i] = std::clamp(mSum[i], -1.0f, 1.0f);
        if (notified) wake = mWake;
    }
    if (wake) wake();
}

}  // namespace wavo
