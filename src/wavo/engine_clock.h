#pragma once
// The engine clock: milliseconds since the engine started, so that due times
// stay small and 0 can mean "now" in a job.

#include <atomic>
#include <chrono>
#include <cstdint>

namespace wavo {

class EngineClock {
public:
    using Clock = std::chrono::steady_clock;

    void Start() { mBase = Clock::now(); }
    int32_t Now() const {
        const int32_t held = mHeld.load();
        if (held >= 0) return held;
        return static_cast<int32_t>(
            std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - mBase).count());
    }
    // The moment a clock value stands for, to sleep until it. A held clock
    // reaches no time by itself: whoever moves it wakes the sleeper.
    Clock::time_point TimeOf(int32_t ms) const {
        if (mHeld.load() >= 0) return Clock::time_point::max();
        return mBase + std::chrono::milliseconds(ms);
    }

    // For tests: the clock stands at `ms` until held elsewhere; -1 lets it
    // run again.
    void Hold(int32_t ms) { mHeld = ms; }

private:
    Clock::time_point mBase{};
    std::atomic<int32_t> mHeld{-1};
};

}  // namespace wavo
