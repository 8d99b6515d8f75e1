#pragma once
// Sound-object methods waiting for the worker thread. A caller adds its entry
// and waits until the worker has run and removed it, or the queue closes.

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <list>
#include <mutex>

namespace wavo {

// Queue codes of the methods.
enum MethodCode : int32_t {
    kMethodLoad = 16,
    kMethodPlay = 17,
    kMethodStop = 18,
    kMethodUnload = 19,
    kMethodFadeIn = 20,
    kMethodFadeOut = 21,
};

struct MethodEntry {
    int32_t entryId = 0;  // from 1
    int32_t soId = 0;
    int32_t method = 0;  // MethodCode
    int32_t parameter = 0;
};

class MethodQueue {
public:
    // Closes the queue: waiting callers return, then the entries go.
    ~MethodQueue();

    std::recursive_mutex& Mutex() { return mLock; }
    // Only under Mutex(); remove entries with Remove().
    std::list<MethodEntry>& Entries() { return mEntries; }
    std::list<MethodEntry>::iterator Remove(std::list<MethodEntry>::iterator entry);

    int32_t Add(int32_t soId, int32_t method, int32_t parameter);
    // Returns once the entry has gone or the queue is closing.
    void WaitRemoved(int32_t entryId);
    void Close();
    void SetWakeHandler(std::function<void()> wake) { mWake = std::move(wake); }

private:
    std::recursive_mutex mLock;
    std::condition_variable_any mChanged;
    std::list<MethodEntry> mEntries;
    int32_t mCounter = 0;
    int32_t mWaiting = 0;
    bool mClosing = false;
    std::function<void()> mWake;
};

}  // namespace wavo
