// The user-interface thread's event pump. ProcessPendingEvents is the
// program's "process pending window events": it may be called from inside any
// handler (long waits call it in a loop), so everything it dispatches must
// tolerate re-entry. Timers fire from here and nowhere else.
#pragma once

#include <SDL.h>

#include <chrono>
#include <functional>
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

    // Takes every pending event, fires the due timers, runs the idle
    // handler. Never blocks.
    void ProcessPendingEvents();
    // Blocks until an event arrives or the next timer is due (at most
    // maxWait), then processes what is pending. The idle main loop is this.
    void WaitAndProcess(std::chrono::milliseconds maxWait = std::chrono::milliseconds(1000));
    // Wakes a waiting pump from any thread.
    void Wake();

    void Register(PumpTimer* timer);
    void Unregister(PumpTimer* timer);

private:
    EventPump() = default;
    void FireDueTimers();
    bool IsRegistered(const PumpTimer* timer) const;

    std::vector<PumpTimer*> mTimers;
    EventHandler mHandler;
    std::function<void()> mIdle;
    Uint32 mWakeEvent = 0;
};

// The free form used across the program.
inline void ProcessPendingEvents() {
    EventPump::Instance().ProcessPendingEvents();
}

}  // namespace zelk
