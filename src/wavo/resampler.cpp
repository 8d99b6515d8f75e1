#include "resampler.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace wavo {
namespace {

// Blackman-Harris window over the kernel's span, x in [-kTaps/2, kTaps/2].
double Window(double x, double halfSpan) {
    const double t = (x + halfSpan) / (2.0 * halfSpan);
    if (t <= 0.0 || t >= 1.0) return 0.0;
    const double w = 2.0 * std::numbers::pi * t;
    return 0.35875 - 0.48829 * std::cos(w) + 0.14128 * std::cos(2 * w) - 0.01168 * std::cos(3 * w);
}

double Sinc(double x) {
    if (std::abs(x) < 1e-12) return 1.0;
    const double px = std::numbers::pi * x;
    return std::sin(px) / px;
}

}  // namespace

Resampler::Resampler(uint32_t sourceRate, uint32_t targetRate)
    : mKernel((kPhases + 1) * kTaps),
      mStep((static_cast<uint64_t>(sourceRate) << 32) / std::max<uint32_t>(targetRate, 1)) {
    // Below the lower Nyquist frequency, with room for the window's slope.
    const double cutoff = 0.9 * std::min(1.0, static_cast<double>(targetRate) / sourceRate);
    const double halfSpan = kTaps / 2.0;
    for (int phase = 0; phase <= kPhases; ++phase) {
        const double fraction = static_cast<double>(phase) / kPhases;
        double sum = 0.0;
        float* row = &mKernel[phase * kTaps];
        for (int tap = 0; tap < kTaps; ++tap) {
            // The output point lies between taps kTaps/2 - 1 and kTaps/2.
            const double x = tap - (kTaps / 2 - 1) - fraction;
            const double value = cutoff * Sinc(cutoff * x) * Window(x, halfSpan);
            row[tap] = static_cast<float>(value);
            sum += value;
        }
        // Unity gain at every phase keeps a constant signal constant.
        for (int tap = 0; tap < kTaps; ++tap)
            row[tap] = static_cast<float>(row[tap] / sum);
    }
}

void Resampler::Reset() {
    mLeft.fill(0.0f);
    mRight.fill(0.0f);
    mPhase = kOne;
    mWrite = 0;
}

void Resampler::Push(float left, float right) {
    mLeft[mWrite] = mLeft[mWrite + kTaps] = left;
    mRight[mWrite] = mRight[mWrite + kTaps] = right;
    mWrite = (mWrite + 1) % kTaps;
    mPhase -= kOne;
}

void Resampler::Output(float& left, float& right) {
    // Interpolating between neighbouring kernel rows makes the phase grid fine
    // enough for distortion far below the 16-bit floor.
    const uint32_t fraction = static_cast<uint32_t>(mPhase);
    const uint32_t row = fraction >> 24;
    const float between = static_cast<float>(fraction & 0xFFFFFF) * (1.0f / 16777216.0f);
    const float* a = &mKernel[row * kTaps];
    const float* b = a + kTaps;
    const float* l = &mLeft[mWrite];
    const float* r = &mRight[mWrite];
    float sumLeft = 0.0f, sumRight = 0.0f;
    for (int tap = 0; tap < kTaps; ++tap) {
        const float k = a[tap] + (b[tap] - a[tap]) * between;
        sumLeft += l[tap] * k;
        sumRight += r[tap] * k;
    }
    left = sumLeft;
    right = sumRight;
    mPhase += mStep;
}

}  // namespace wavo
