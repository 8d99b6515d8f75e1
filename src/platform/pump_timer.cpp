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
    mFiring = true;
    if (mOnTick) mOnTick();
    mFiring = false;
    return true;
}

}  // namespace zelk
