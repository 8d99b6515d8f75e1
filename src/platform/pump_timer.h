// A timer fired from the user-interface thread's event pump, in the manner of
// a form timer: it ticks every Interval milliseconds while enabled. A one-shot
// timer disables itself before its tick runs, so the handler may re-arm it.
#pragma once

#include <chrono>
#include <functional>

namespace zelk {

class PumpTimer {
public:
    using Clock = std::chrono::steady_clock;

    explicit PumpTimer(std::function<void()> onTick = {}, bool oneShot = false);
    ~PumpTimer();
    PumpTimer(const PumpTimer&) = delete;
    PumpTimer& operator=(const PumpTimer&) = delete;

    long Interval() const { return mInterval; }
    // Changing the interval of a running timer restarts its period, as a
    // form timer does.
    void Interval(long milliseconds);
    bool Enabled() const { return mEnabled; }
    void Enabled(bool enabled);
    void OnTick(std::function<void()> handler) { mOnTick = std::move(handler); }

    // When the next tick is due; meaningful only while enabled with an
    // interval above 0.
    Clock::time_point Due() const { return mDue; }
    bool Armed() const { return mEnabled && mInterval > 0; }

    // Called by the pump when the timer is due. Returns whether it ticked.
    bool FireIfDue(Clock::time_point now);

private:
    std::function<void()> mOnTick;
    Clock::time_point mDue{};
    long mInterval = 0;
    bool mEnabled = false;
    bool mOneShot = false;
    bool mFiring = false;
    bool* mDestroyed = nullptr;  // set while a tick runs
};

}  // namespace zelk
