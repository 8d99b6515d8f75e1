#include "platform/event_pump.h"

#include <algorithm>
#include <cstring>

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

bool EventPump::DriverWaits() {
    const char* driver = SDL_GetCurrentVideoDriver();
    return driver != nullptr && std::strcmp(driver, "dummy") != 0 &&
           std::strcmp(driver, "offscreen") != 0;
}

int SDLCALL EventPump::OnPush(void* self, SDL_Event*) {
    // Any thread, inside SDL_PushEvent: only a count and a notification.
    auto* pump = static_cast<EventPump*>(self);
    {
        std::lock_guard lock(pump->mPushLock);
        ++pump->mPushes;
    }
    pump->mPushed.notify_all();
    return 1;
}

void EventPump::WaitForPush(std::chrono::milliseconds wait) {
    // SDL_Quit drops every watch, so it is set again for each wait.
    SDL_DelEventWatch(&EventPump::OnPush, this);
    SDL_AddEventWatch(&EventPump::OnPush, this);
    std::unique_lock lock(mPushLock);
    const std::uint64_t seen = mPushes;
    lock.unlock();
    SDL_PumpEvents();
    if (SDL_HasEvents(SDL_FIRSTEVENT, SDL_LASTEVENT)) return;
    lock.lock();
    if (!mPushed.wait_for(lock, wait, [&] { return mPushes != seen; })) return;
    lock.unlock();
    // The watch runs just before the event joins the queue: give the
    // pushing thread the moment it needs to finish.
    for (int i = 0; i < 10 && !SDL_HasEvents(SDL_FIRSTEVENT, SDL_LASTEVENT); ++i)
        SDL_Delay(1);
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
            if (DriverWaits()) {
                SDL_WaitEventTimeout(nullptr, static_cast<int>(wait.count()));
            } else {
                WaitForPush(wait);
            }
        } else {
            SDL_Delay(static_cast<Uint32>(wait.count()));
        }
    }
    ProcessPendingEvents();
}

}  // namespace zelk
