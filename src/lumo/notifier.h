// Posts notifications to the host's callback from a thread of its own, so
// the engine never waits for the host and the host may call back into the
// engine from its callback.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <thread>

#include "lumo.h"

namespace lumo {

class Notifier {
public:
    Notifier() = default;
    ~Notifier() { stop(); }
    Notifier(const Notifier&) = delete;
    Notifier& operator=(const Notifier&) = delete;

    // Replaces the callback; messages not yet delivered to the old one are
    // dropped, and a call of it in progress finishes first.
    void setWindow(const LumoNotifyWindow* window);
    void setMessage(std::uint32_t message);

    // Queues one call of the callback; nothing when no callback is set.
    void post(std::int32_t wparam, std::int32_t lparam);

    // Ends the delivery thread; notifications not yet delivered are dropped.
    void stop();

private:
    struct Message {
        LumoNotifyWindow window{};
        std::uint32_t message = 0;
        std::int32_t wparam = 0;
        std::int32_t lparam = 0;
    };

    void deliver();

    std::recursive_mutex mDelivering;  // held while the callback runs
    std::mutex mMutex;
    std::condition_variable mWake;
    std::deque<Message> mMessages;
    LumoNotifyWindow mWindow{};
    std::uint32_t mMessage = 0;
    bool mStopping = false;
    std::thread mThread;
};

}  // namespace lumo
