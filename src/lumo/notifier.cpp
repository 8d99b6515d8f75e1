#include "notifier.h"

#include <pthread.h>

namespace lumo {

void Notifier::setWindow(const LumoNotifyWindow* window) {
    // Once this returns the old callback is neither running nor called
    // again, so its host may free the context.
    std::lock_guard delivering(mDelivering);
    std::lock_guard lock(mMutex);
    mWindow = window && window->proc ? *window : LumoNotifyWindow{};
    mMessages.clear();
}

void Notifier::setMessage(std::uint32_t message) {
    std::lock_guard lock(mMutex);
    mMessage = message;
}

void Notifier::post(std::int32_t wparam, std::int32_t lparam) {
    {
        std::lock_guard lock(mMutex);
        if (!mWindow.proc) return;
        // The thread starts with the first message: a host without a
        // callback never pays for it.
        if (!mThread.joinable()) {
            mStopping = false;
            mThread = std::thread(&Notifier::deliver, this);
        }
        mMessages.push_back({mWindow, mMessage, wparam, lparam});
    }
    // Outside the lock: the woken thread would only block on it again.
    mWake.notify_one();
}

void Notifier::stop() {
    {
        std::lock_guard lock(mMutex);
        mStopping = true;
        mMessages.clear();
    }
    mWake.notify_one();
    if (!mThread.joinable()) return;
    if (mThread.get_id() == std::this_thread::get_id()) {
        mThread.detach();
    } else {
        mThread.join();
    }
}

void Notifier::deliver() {
    pthread_setname_np(pthread_self(), "lumo-notify");
    for (;;) {
        {
            std::unique_lock lock(mMutex);
            mWake.wait(lock, [this] { return mStopping || !mMessages.empty(); });
            if (mStopping) return;
        }
        std::lock_guard delivering(mDelivering);
        Message m;
        {
            std::lock_guard lock(mMutex);
            if (mStopping) return;
            if (mMessages.empty()) continue;
            m = mMessages.front();
            mMessages.pop_front();
        }
        m.window.proc(m.window.context, m.message, m.wparam, m.lparam);
    }
}

}  // namespace lumo
