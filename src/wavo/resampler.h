#pragma once
// Band-limited rate conversion for the mixer, through libsoxr: flat to the
// edge of the lower band and with its distortion far below the 16-bit floor,
// where a short kernel of our own drooped and folded near the top. The mixer
// works frame by frame; soxr works in blocks, so frames are gathered into
// short blocks and the converted ones handed out one by one.

#include <soxr.h>

#include <cstdint>
#include <vector>

namespace wavo {

class Resampler {
public:
    static constexpr int kBlock = 64;  // source frames converted at a time

    // Converts sourceRate to targetRate; the cutoff follows the lower of the two.
    Resampler(uint32_t sourceRate, uint32_t targetRate);
    ~Resampler();
    Resampler(const Resampler&) = delete;
    Resampler& operator=(const Resampler&) = delete;

    // Forgets everything held (a restart after a stop must not hear the old sound).
    void Reset();
    // True while no converted frame is waiting for Output().
    bool NeedsFrame() const { return mOutRead == mOutCount; }
    void Push(float left, float right);
    // The next converted frame; silence when none is waiting.
    void Output(float& left, float& right);

private:
    soxr_t mSoxr = nullptr;
    std::vector<float> mIn;  // interleaved stereo, kBlock frames
    int mInCount = 0;
    std::vector<float> mOut;  // interleaved stereo
    size_t mOutCount = 0;
    size_t mOutRead = 0;
};

}  // namespace wavo
