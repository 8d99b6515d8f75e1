#include "platform/pump_timer.h"

#include "platform/event_pump.h"

namespace zelk {

PumpTimer::PumpTimer(std::function<void()> onTick, bool oneShot)
    : mOnTick(std::move(onTick)), mOneShot(oneShot) {
    EventPump::Instance().Register(this);
}

PumpTimer::~PumpTimer() {
    EventPump::Instance().Unregister(this);
}

void PumpTimer::Interval(long milliseconds) {
    mInterval = milliseconds < 0 ? 0 : milliseconds;
    mDue = Clock::now() + std::chrono::milliseconds(mInterval);
    if (Armed()) EventPump::Instance().Wake();
}

void PumpTimer::Enabled(bool enabled) {
    if (enabled && !mEnabled) mDue = Clock::now() + std::chrono::milliseconds(mInterval);
    mEnabled = enabled;
    if (Armed()) EventPump::Instance().Wake();
}

bool PumpTimer::FireIfDue(Clock::time_point now) {
    // A handler that pumps events must not see its own timer tick again
    // inside itself.
    if (!Armed() || mFiring || now < mDue) return false;
    mDue = now + std::chrono::milliseconds(mInterval);
    if (mOneShot) mEnabled = false;
    // The tick may destroy this timer (the control form goes with the
    // launcher's exit); then nothing of it may be touched afterwards.
    bool destroyed = false;
    mDestroyed = &destroyed;
    mFiring = true;
    const std::function<void()> onTick = mOnTick;
    if (onTick) onTick();
    if (destroyed) return true;
    mDestroyed = nullptr;
    mFiring = false;
    return true;
}

}  // namespace zelk
