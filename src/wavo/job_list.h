#pragma once
// The timed jobs of the sound objects, in the order they were added. The
// worker's job pass walks them under the list's lock (then the SOList lock).

#include <cstdint>
#include <functional>
#include <list>
#include <mutex>

namespace wavo {

struct Job {
    int32_t jobId = 0;  // given by the list
    int32_t soId = 0;
    int32_t type = 0;       // WavoJobType
    int32_t dueTime = 0;    // engine clock ms; 0 = active now
    int32_t parameter = 0;  // plays left, fade time
    int32_t counter = 0;    // repeats done (play monitor), stop flag (fade out)
    int32_t started = 0;    // play monitor: seen sounding since the last start
};

class JobList {
public:
    std::recursive_mutex& Mutex() { return mLock; }
    // Entries in order; only under Mutex().
    std::list<Job>& Entries() { return mJobs; }

    // Copies the job with the next job id (the first is 0) and wakes the worker.
    int32_t Add(Job job);
    void SetWakeHandler(std::function<void()> wake) { mWake = std::move(wake); }

private:
    std::recursive_mutex mLock;
    std::list<Job> mJobs;
    int32_t mCounter = -1;
    std::function<void()> mWake;
};

}  // namespace wavo
