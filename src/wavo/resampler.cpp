#include "resampler.h"

#include <cmath>

namespace wavo {

Resampler::Resampler(uint32_t sourceRate, uint32_t targetRate) : mIn(2 * kBlock) {
    // Room for one block's output with margin; soxr keeps what does not fit.
    const double ratio = static_cast<double>(targetRate) / (sourceRate == 0 ? 1 : sourceRate);
    mOut.resize(2 * (static_cast<size_t>(std::ceil(kBlock * ratio)) * 2 + 64));
    const soxr_io_spec_t io = soxr_io_spec(SOXR_FLOAT32_I, SOXR_FLOAT32_I);
    // High quality: a 20-bit stopband and a passband flat within 0.01 dB to
    // 91 % of the lower Nyquist frequency. Minimum phase keeps the delay to a
    // few frames, so an effect starts on time and its end is not held back.
    const soxr_quality_spec_t quality = soxr_quality_spec(SOXR_HQ, SOXR_MINIMUM_PHASE);
    soxr_error_t error = nullptr;
    mSoxr = soxr_create(sourceRate, targetRate, 2, &error, &io, &quality, nullptr);
    if (error != nullptr) mSoxr = nullptr;
}

Resampler::~Resampler() {
    if (mSoxr != nullptr) soxr_delete(mSoxr);
}

void Resampler::Reset() {
    if (mSoxr != nullptr) soxr_clear(mSoxr);
    mInCount = 0;
    mOutCount = mOutRead = 0;
}

void Resampler::Push(float left, float right) {
    mIn[2 * mInCount] = left;
    mIn[2 * mInCount + 1] = right;
    if (++mInCount < kBlock) return;
    mInCount = 0;
    size_t made = 0;
    if (mSoxr != nullptr) {
        size_t used = 0;
        soxr_process(mSoxr, mIn.data(), kBlock, &used, mOut.data(), mOut.size() / 2, &made);
    }
    mOutCount = made;
    mOutRead = 0;
}

void Resampler::Output(float& left, float& right) {
    if (mOutRead == mOutCount) {
        left = right = 0.0f;
        return;
    }
    left = mOut[2 * mOutRead];
    right = mOut[2 * mOutRead + 1];
    ++mOutRead;
}

}  // namespace wavo
