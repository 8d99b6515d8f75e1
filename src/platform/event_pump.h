// The user-interface thread's event pump. ProcessPendingEvents is the
// program's "process pending window events": it may be called from inside any
// handler (long waits call it in a loop), so everything it dispatches must
// tolerate re-entry. Timers fire from here and nowhere else.
#pragma once

#include <SDL.h>

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <vector>

namespace zelk {

class PumpTimer;

class EventPump {
public:
    using EventHandler = std::function<void(const SDL_Event&)>;

    static EventPump& Instance();

    // Handles every SDL event the pump takes from the queue (one handler:
    // the view, or a modal question while it is open). Returns the previous
    // handler so that a modal loop can restore it.
    EventHandler SetEventHandler(EventHandler handler);
    // Runs after events and timers, e.g. to repaint the window.
    void SetIdleHandler(std::function<void()> handler) { mIdle = std::move(handler); }
    // Runs at every pump before the events are taken: the scripted input
    // feeds its commands into the queue from here.
    void SetInputHandler(std::function<void()> handler) { mInput = std::move(handler); }

    // How deeply pumps are nested: 1 in the program's main loop, more inside
    // a handler's wait (typing, a transition, a question box).
    int Depth() const { return mDepth; }
    // Runs the task once the pump is back in the main loop, after the
    // handlers still on the call stack have returned (releasing an object
    // whose handler is running would pull the floor from under it).
    void Defer(std::function<void()> task) { mDeferred.push_back(std::move(task)); }

    // Takes every pending event, fires the due timers, runs the idle
    // handler. Never blocks.
    void ProcessPendingEvents();
    // Blocks until an event arrives or the next timer is due (at most
    // maxWait), then processes what is pending. The idle main loop is this.
    void WaitAndProcess(std::chrono::milliseconds maxWait = std::chrono::milliseconds(1000));
    // Wakes a waiting pump from any thread.
    void Wake();

    // Whether a timer other than `except` is armed and due within `within`.
    bool TimerDueWithin(std::chrono::milliseconds within, const PumpTimer* except) const;

    void Register(PumpTimer* timer);
    void Unregister(PumpTimer* timer);

private:
    EventPump() = default;
    void FireDueTimers();
    bool IsRegistered(const PumpTimer* timer) const;
    // SDL's wait blocks only under a video driver that can wait (x11,
    // wayland); under the dummy driver, or with no video, it polls every
    // millisecond. There the pump waits for the next pushed event itself.
    static bool DriverWaits();
    void WaitForPush(std::chrono::milliseconds wait);
    static int SDLCALL OnPush(void* self, SDL_Event* event);

    std::vector<PumpTimer*> mTimers;
    EventHandler mHandler;
    std::function<void()> mIdle;
    std::function<void()> mInput;
    std::vector<std::function<void()>> mDeferred;
    int mDepth = 0;
    Uint32 mWakeEvent = 0;
    std::mutex mPushLock;
    std::condition_variable mPushed;
    std::uint64_t mPushes = 0;  // under mPushLock
};

// The free form used across the program.
inline void ProcessPendingEvents() {
    EventPump::Instance().ProcessPendingEvents();
}

}  // namespace zelk
