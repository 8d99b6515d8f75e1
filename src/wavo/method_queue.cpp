#include "method_queue.h"

namespace wavo {

MethodQueue::~MethodQueue() {
    Close();
}

std::list<MethodEntry>::iterator MethodQueue::Remove(std::list<MethodEntry>::iterator entry) {
    auto next = mEntries.erase(entry);
    mChanged.notify_all();
    return next;
}

int32_t MethodQueue::Add(int32_t soId, int32_t method, int32_t parameter) {
    int32_t id;
    {
        std::lock_guard lock(mLock);
        id = ++mCounter;
        mEntries.push_back({id, soId, method, parameter});
    }
    if (mWake) mWake();
    return id;
}

void MethodQueue::WaitRemoved(int32_t entryId) {
    std::unique_lock lock(mLock);
    ++mWaiting;
    // Entries leave in order, so the entry has gone once the head is younger.
    mChanged.wait(
        lock, [&] { return mClosing || mEntries.empty() || mEntries.front().entryId > entryId; });
    --mWaiting;
    mChanged.notify_all();
}

void MethodQueue::Close() {
    std::unique_lock lock(mLock);
    mClosing = true;
    mChanged.notify_all();
    mChanged.wait(lock, [&] { return mWaiting == 0; });
    mEntries.clear();
}

}  // namespace wavo
