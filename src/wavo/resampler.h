#pragma once
// Band-limited rate conversion for the mixer: a windowed-sinc polyphase
// kernel evaluated on a sliding window of source frames.

#include <array>
#include <cstdint>
#include <vector>

namespace wavo {

class Resampler {
public:
    static constexpr int kTaps = 16;     // source frames that shape one output frame
    static constexpr int kPhases = 256;  // kernel rows per source frame

    // Converts sourceRate to targetRate; the cutoff follows the lower of the two.
    Resampler(uint32_t sourceRate, uint32_t targetRate);

    // Forgets the window (a restart after a stop must not hear the old sound).
    void Reset();
    // True while the window needs the next source frame before Output().
    bool NeedsFrame() const { return mPhase >= kOne; }
    void Push(float left, float right);
    // One output frame at the current phase; then steps the phase.
    void Output(float& left, float& right);

private:
    static constexpr uint64_t kOne = 1ull << 32;

    std::vector<float> mKernel;  // (kPhases + 1) rows of kTaps
    uint64_t mStep;              // source frames per output frame, 32.32 fixed point
    uint64_t mPhase = kOne;      // position between the window's middle frames
    int mWrite = 0;
    // Each frame is stored twice, kTaps apart, so the window is always one
    // contiguous run.
    std::array<float, 2 * kTaps> mLeft{};
    std::array<float, 2 * kTaps> mRight{};
};

}  // namespace wavo
