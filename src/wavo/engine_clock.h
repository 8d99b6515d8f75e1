#pragma once
// The engine clock: milliseconds since the engine started, so that due times
// stay small and 0 can mean "now" in a job.

#include <chrono>
#include <cstdint>

namespace wavo {

class EngineClock {
public:
    using Clock = std::chrono::steady_clock;

    void Start() { mBase = Clock::now(); }
    int32_t Now() const {
        return static_cast<int32_t>(
            std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - mBase).count());
    }
    // The moment a clock value stands for, to sleep until it.
    Clock::time_point TimeOf(int32_t ms) const { return mBase + std::chrono::milliseconds(ms); }

private:
    Clock::time_point mBase{};
};

}  // namespace wavo
