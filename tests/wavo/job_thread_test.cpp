// The worker thread on its own lists: it sleeps while nothing is due, wakes
// for new work and for due times, and leaves its loop when stopped.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "job_thread.h"
#include "wavo.h"

namespace wavo {
namespace {

using namespace std::chrono_literals;

class JobThreadTest : public ::testing::Test {
protected:
    void SetUp() override {
        mClock.Start();
        mWorker = std::make_unique<JobThread>(
            mJobs, mMethods, mObjects, mClock, [](int32_t, int32_t, int32_t) {},
            [this] { ++mRounds; });
        auto wake = [this] { mWorker->Wake(); };
        mJobs.SetWakeHandler(wake);
        mMethods.SetWakeHandler(wake);
        mWorker->Start();
    }

    void TearDown() override { mWorker->Stop(); }

    // A sound object without a sound output: enough for state jobs.
    int32_t AddObject() { return mObjects.Add(ST_VORBIS_MEMORY, {mJobs, mClock, nullptr}); }

    int32_t StateOf(int32_t id) {
        std::lock_guard lock(mObjects.Mutex());
        return mObjects.Find(id)->GetState();
    }

    EngineClock mClock;
    JobList mJobs;
    MethodQueue mMethods;
    SOList mObjects;
    std::atomic<int> mRounds{0};
    std::unique_ptr<JobThread> mWorker;
};

TEST_F(JobThreadTest, AnIdleWorkerSleeps) {
    std::this_thread::sleep_for(200ms);
    // One round at the start, then nothing: no polling.
    EXPECT_LE(mRounds.load(), 2);
}

// What the worker sleeps on, read while it sleeps: no deadline at all while
// nothing is due, and the due job's own time when one is.
TEST_F(JobThreadTest, AnIdleWorkerSetsNoTimerAndAWaitingJobOnlyItsOwn) {
    auto sleepsUntil = [&](EngineClock::Clock::time_point when) {
        const auto deadline = std::chrono::steady_clock::now() + 5s;
        while (mWorker->SleepingUntil() != when) {
            if (std::chrono::steady_clock::now() > deadline) return false;
            std::this_thread::sleep_for(1ms);
        }
        return true;
    };
    EXPECT_TRUE(sleepsUntil(EngineClock::Clock::time_point::max()));
    const int32_t id = AddObject();
    const int32_t due = mClock.Now() + 60000;
    mJobs.Add(Job{0, id, JT_BACK_TO_LOADED, due, 0, 0, 0});
    EXPECT_TRUE(sleepsUntil(mClock.TimeOf(due)));
    EXPECT_NE(StateOf(id), SS_LOADED);
}

TEST_F(JobThreadTest, ADueJobWakesTheWorkerAtItsTime) {
    const int32_t id = AddObject();
    const auto start = std::chrono::steady_clock::now();
    mJobs.Add(Job{0, id, JT_BACK_TO_LOADED, mClock.Now() + 30, 0, 0, 0});
    while (StateOf(id) != SS_LOADED && std::chrono::steady_clock::now() - start < 2s) {
        mWorker->WaitForRound(100ms);
    }
    EXPECT_EQ(StateOf(id), SS_LOADED);
    EXPECT_GE(std::chrono::steady_clock::now() - start, 29ms);
    EXPECT_LE(mRounds.load(), 6) << "woken for the job, not by polling";
}

TEST_F(JobThreadTest, AQueuedMethodRunsAndReleasesItsCaller) {
    const int32_t id = AddObject();
    const int32_t entry = mMethods.Add(id, kMethodLoad, 0);
    mMethods.WaitRemoved(entry);
    // Loading without a memory block leaves the object unloaded, but it ran.
    EXPECT_EQ(StateOf(id), SS_UNLOADED);
    std::lock_guard lock(mMethods.Mutex());
    EXPECT_TRUE(mMethods.Entries().empty());
}

TEST_F(JobThreadTest, ACancelJobDropsTheObjectsEarlierJobsOnly) {
    const int32_t id = AddObject();
    const int32_t other = AddObject();
    {
        // Held so that the worker sees all four at once.
        std::lock_guard lock(mJobs.Mutex());
        mJobs.Add(Job{0, id, JT_BACK_TO_LOADED, mClock.Now() + 100000, 0, 0, 0});
        mJobs.Add(Job{0, other, JT_BACK_TO_LOADED, mClock.Now() + 100000, 0, 0, 0});
        mJobs.Add(Job{0, id, JT_CANCEL, 0, 0, 0, 0});
        mJobs.Add(Job{0, id, JT_BACK_TO_LOADED, mClock.Now() + 100000, 0, 0, 0});
    }
    mWorker->WaitForRound(2s);
    std::lock_guard lock(mJobs.Mutex());
    std::vector<int32_t> left;
    for (const Job& job : mJobs.Entries())
        left.push_back(job.jobId);
    EXPECT_EQ(left, (std::vector<int32_t>{1, 3}));
}

// A fade's steps keep to the times they were due: a worker held up (a busy
// machine) runs the steps that fell due meanwhile at once, so the fade ends
// when it should instead of as late as it was held.
TEST_F(JobThreadTest, AFadeHeldUpCatchesUpWithTheStepsThatFellDue) {
    mClock.Hold(1000);
    const int32_t id = AddObject();
    auto volume = [&] {
        std::lock_guard lock(mObjects.Mutex());
        return mObjects.Find(id)->GetVolume();
    };
    {
        std::lock_guard lock(mObjects.Mutex());
        SOBase* object = mObjects.Find(id);
        object->SetState(SS_PLAYING);
        object->SetVolume(255);
    }
    // 510 ms: 255 steps of 2 ms.
    mJobs.Add(Job{0, id, JT_FADE_OUT_STEP, 0, 510, 0, 0});
    auto waitFor = [&](int level) {
        const auto limit = std::chrono::steady_clock::now() + 5s;
        while (volume() > level && std::chrono::steady_clock::now() < limit)
            mWorker->WaitForRound(100ms);
    };
    waitFor(254);
    EXPECT_EQ(volume(), 254) << "the first step is due at once, the next one only in 2 ms";

    mClock.Hold(1000 + 300);
    mWorker->Wake();
    waitFor(104);
    // Steps the clock has not reached do not run, however long one waits.
    mWorker->WaitForRound(100ms);
    EXPECT_EQ(volume(), 104) << "150 steps fell due while the clock stood at 300 ms";

    mClock.Hold(1000 + 510);
    mWorker->Wake();
    waitFor(0);
    EXPECT_EQ(volume(), 0);
}

TEST_F(JobThreadTest, ClosingTheQueueReleasesAWaitingCaller) {
    mWorker->Stop();
    const int32_t entry = mMethods.Add(AddObject(), kMethodPlay, 0);
    std::thread closer([this] { mMethods.Close(); });
    mMethods.WaitRemoved(entry);
    closer.join();
    SUCCEED();
}

}  // namespace
}  // namespace wavo
