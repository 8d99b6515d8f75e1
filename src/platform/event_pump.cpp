#include "platform/event_pump.h"

#include <algorithm>

#include "platform/pump_timer.h"

namespace zelk {

EventPump& EventPump::Instance() {
    static EventPump pump;
    return pump;
}

EventPump::EventHandler EventPump::SetEventHandler(EventHandler handler) {
    EventHandler previous = std::move(mHandler);
    mHandler = std::move(handler);
    return previous;
}

void EventPump::Register(PumpTimer* timer) {
    mTimers.push_back(timer);
}

void EventPump::Unregister(PumpTimer* timer) {
    mTimers.erase(std::remove(mTimers.begin(), mTimers.end(), timer), mTimers.end());
}

bool EventPump::IsRegistered(const PumpTimer* timer) const {
    return std::find(mTimers.begin(), mTimers.end(), timer) != mTimers.end();
}

bool EventPump::TimerDueWithin(std::chrono::milliseconds within, const PumpTimer* except) const {
    const auto limit = PumpTimer::Clock::now() + within;
    for (const PumpTimer* timer : mTimers) {
        if (timer != except && timer->Armed() && timer->Due() <= limit) return true;
    }
    return false;
}

void EventPump::Wake() {
    if (!SDL_WasInit(SDL_INIT_EVENTS)) return;
    if (mWakeEvent == 0) mWakeEvent = SDL_RegisterEvents(1);
    if (mWakeEvent == static_cast<Uint32>(-1)) return;
    SDL_Event event{};
    event.type = mWakeEvent;
    SDL_PushEvent(&event);
}

void EventPump::FireDueTimers() {
    // A tick may create or destroy timers, or pump again; walk a snapshot
    // and skip any timer that has gone meanwhile.
    const std::vector<PumpTimer*> snapshot = mTimers;
    const auto now = PumpTimer::Clock::now();
    for (PumpTimer* timer : snapshot) {
        if (IsRegistered(timer)) timer->FireIfDue(now);
    }
}

void EventPump::ProcessPendingEvents() {
    struct DepthScope {
        int& depth;
        explicit DepthScope(int& d) : depth(d) { ++depth; }
        ~DepthScope() { --depth; }
    } scope(mDepth);
    if (mInput) {
        auto input = mInput;
        input();
    }
    if (SDL_WasInit(SDL_INIT_EVENTS)) {
        SDL_Event event;
        while (SDL_PollEvent(&event)) {
            if (mWakeEvent != 0 && event.type == mWakeEvent) continue;
            if (mHandler) {
                // The handler may replace itself; keep it alive for the call.
                EventHandler handler = mHandler;
                handler(event);
            }
        }
    }
    FireDueTimers();
    if (mIdle) {
        auto idle = mIdle;
        idle();
    }
    // Tasks deferred from inside handlers run in the main loop only; a task
    // may defer another, which then waits for the next pump.
    if (mDepth == 1 && !mDeferred.empty()) {
        std::vector<std::function<void()>> tasks;
        tasks.swap(mDeferred);
        for (auto& task : tasks)
            task();
    }
}

void EventPump::WaitAndProcess(std::chrono::milliseconds maxWait) {
    auto wait = maxWait;
    const auto now = PumpTimer::Clock::now();
    for (const PumpTimer* timer : mTimers) {
        if (!timer->Armed()) continue;
        const auto untilDue = std::chrono::ceil<std::chrono::milliseconds>(timer->Due() - now);
        wait = std::min(wait, std::max(untilDue, std::chrono::milliseconds(0)));
    }
    if (wait.count() > 0) {
        if (SDL_WasInit(SDL_INIT_EVENTS)) {
            SDL_WaitEventTimeout(nullptr, static_cast<int>(wait.count()));
        } else {
            SDL_Delay(static_cast<Uint32>(wait.count()));
        }
    }
    ProcessPendingEvents();
}

}  // namespace zelk
