#pragma once
// JobThread: the engine's worker. Each round runs the job pass, the method
// pass, the refill pass and the movie poll. A round that changed something is
// followed by the next one about a millisecond later, as the passes expect;
// an idle worker sleeps until the earliest due job, a queued method, a new job
// or a buffer notification wakes it, so an engine with nothing to do costs
// nothing.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

#include "engine_clock.h"
#include "job_list.h"
#include "method_queue.h"
#include "so_list.h"

namespace wavo {

class JobThread {
public:
    // Sends an event to the host: SO id, event code, second parameter.
    using EventSender = std::function<void(int32_t, int32_t, int32_t)>;

    JobThread(JobList& jobs, MethodQueue& methods, SOList& objects, const EngineClock& clock,
              EventSender sendEvent, std::function<void()> pollMovie);
    ~JobThread();

    void Start();
    // Clears the run flag and waits until the thread has left its loop.
    void Stop();
    // Any thread, the audio callback included: run a round soon.
    void Wake();
    bool IsWorkerThread() const { return std::this_thread::get_id() == mThread.get_id(); }
    // Waits until a round that changed something has ended, or the timeout.
    void WaitForRound(std::chrono::milliseconds timeout);
    // For tests: when the worker will wake by itself while it sleeps
    // (time_point::max() for "only when woken"); nullopt while it runs.
    std::optional<EngineClock::Clock::time_point> SleepingUntil();

private:
    static constexpr int32_t kNoDueTime = INT32_MAX;

    void Run();
    bool JobPass(int32_t& nextDue);
    // Runs one job; false when it stays in the list.
    // dueAt: when the job was due (now for a job due at once).
    bool RunJob(Job& job, int32_t dueAt, bool& changed);
    bool MethodPass();
    bool RefillPass(bool& recheck);
    void Sleep(bool busy, bool recheck, int32_t nextDue);

    JobList& mJobs;
    MethodQueue& mMethods;
    SOList& mObjects;
    const EngineClock& mClock;
    EventSender mSendEvent;
    std::function<void()> mPollMovie;

    std::thread mThread;
    std::atomic<bool> mRunning{false};
    std::mutex mWakeLock;
    std::condition_variable mWakeUp;
    bool mWakeRequested = false;
    std::condition_variable mRoundDone;
    uint64_t mRounds = 0;
    std::optional<EngineClock::Clock::time_point> mSleepingUntil;  // under mWakeLock
};

}  // namespace wavo
