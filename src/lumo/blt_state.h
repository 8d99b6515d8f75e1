// The blt-pending state: 2 once a change has reached a film without parent,
// cleared by the redraw step; WaitBlt sleeps on it.
#pragma once

#include <atomic>
#include <condition_variable>
#include <mutex>

namespace lumo {

class BltState {
public:
    void changed() { mValue.store(2, std::memory_order_relaxed); }
    void reset() { set(0); }

    // The redraw step clears bit 1; the present step turns 1 into 0.
    void redrawn() { set(mValue.load() & ~2); }
    void presented() {
        if (mValue.load() == 1) set(0);
    }

    int value() const { return mValue.load(); }

    // Returns once the state is 0 or `running` reads false. Whoever clears
    // `running` calls wake().
    template <typename Running>
    void waitIdle(Running running) {
        std::unique_lock lock(mMutex);
        mIdle.wait(lock, [&] { return mValue.load() == 0 || !running(); });
    }

    void wake() {
        { std::lock_guard lock(mMutex); }
        mIdle.notify_all();
    }

private:
    void set(int value) {
        if (mValue.exchange(value) != 0 && value == 0) wake();
    }

    std::atomic<int> mValue{0};
    std::mutex mMutex;
    std::condition_variable mIdle;
};

}  // namespace lumo
