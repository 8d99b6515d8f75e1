#include "job_thread.h"

#include <SDL.h>
#include <pthread.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>

#include "debug_log.h"
#include "wavo.h"

namespace wavo {
namespace {

// How soon a buffer whose signal came before play left the due half is
// looked at again; well inside the second that half takes to play.
constexpr int32_t kRecheckMs = 10;

// 0 means "now" to a job, so a step due at the clock's very start is due a
// millisecond later.
int32_t NextStep(int32_t dueAt, int32_t step) {
    return std::max(dueAt + step, 1);
}

}  // namespace

JobThread::JobThread(JobList& jobs, MethodQueue& methods, SOList& objects, const EngineClock& clock,
                     EventSender sendEvent, std::function<void()> pollMovie)
    : mJobs(jobs),
      mMethods(methods),
      mObjects(objects),
      mClock(clock),
      mSendEvent(std::move(sendEvent)),
      mPollMovie(std::move(pollMovie)) {}

JobThread::~JobThread() {
    Stop();
}

void JobThread::Start() {
    mRunning = true;
    mThread = std::thread([this] { Run(); });
}

void JobThread::Stop() {
    if (!mThread.joinable()) return;
    mRunning = false;
    Wake();
    mThread.join();
}

void JobThread::Wake() {
    // The worker's own requests need no wake-up: the round they come from
    // counts as busy and another one follows.
    if (IsWorkerThread()) return;
    {
        std::lock_guard lock(mWakeLock);
        mWakeRequested = true;
    }
    mWakeUp.notify_one();
}

void JobThread::WaitForRound(std::chrono::milliseconds timeout) {
    std::unique_lock lock(mWakeLock);
    const uint64_t round = mRounds;
    mRoundDone.wait_for(lock, timeout, [&] { return mRounds != round || !mRunning; });
}

void JobThread::Run() {
    // One step above normal, so that refills keep ahead of the sound; an
    // unprivileged process may not raise it, and the worker then runs at the
    // normal level.
    pthread_setname_np(pthread_self(), "wavo-jobs");
    const pid_t thread = gettid();
    setpriority(PRIO_PROCESS, static_cast<id_t>(thread),
                getpriority(PRIO_PROCESS, static_cast<id_t>(thread)) - 1);
    while (mRunning) {
        int32_t nextDue = kNoDueTime;
        bool recheck = false;
        bool busy = JobPass(nextDue);
        busy |= MethodPass();
        busy |= RefillPass(recheck);
        if (mPollMovie) mPollMovie();
        if (busy) {
            {
                std::lock_guard lock(mWakeLock);
                ++mRounds;
            }
            mRoundDone.notify_all();
        }
        Sleep(busy, recheck, nextDue);
    }
    // SDL keeps an error text per thread that it frees only for threads it
    // made itself; this one opens and queries audio devices.
    SDL_TLSCleanup();
    std::lock_guard lock(mWakeLock);
    ++mRounds;
    mRoundDone.notify_all();
}

void JobThread::Sleep(bool busy, bool recheck, int32_t nextDue) {
    auto deadline = EngineClock::Clock::time_point::max();
    const auto now = EngineClock::Clock::now();
    if (busy) {
        deadline = now + std::chrono::milliseconds(1);
    } else {
        if (recheck) deadline = now + std::chrono::milliseconds(kRecheckMs);
        if (nextDue != kNoDueTime) deadline = std::min(deadline, mClock.TimeOf(nextDue));
    }
    std::unique_lock lock(mWakeLock);
    mSleepingUntil = deadline;
    if (deadline == EngineClock::Clock::time_point::max()) {
        mWakeUp.wait(lock, [&] { return mWakeRequested || !mRunning; });
    } else {
        mWakeUp.wait_until(lock, deadline, [&] { return mWakeRequested || !mRunning; });
    }
    mSleepingUntil.reset();
    mWakeRequested = false;
}

std::optional<EngineClock::Clock::time_point> JobThread::SleepingUntil() {
    std::lock_guard lock(mWakeLock);
    return mSleepingUntil;
}

// [SECTION] Job pass

bool JobThread::JobPass(int32_t& nextDue) {
    std::lock_guard jobsLock(mJobs.Mutex());
    std::lock_guard objectsLock(mObjects.Mutex());
    auto& jobs = mJobs.Entries();
    bool changed = false;
    for (auto job = jobs.begin(); job != jobs.end();) {
        if (mObjects.Find(job->soId) == nullptr) {
            job = jobs.erase(job);
            changed = true;
            continue;
        }
        const int32_t now = mClock.Now();
        const int32_t dueAt = job->dueTime != 0 ? job->dueTime : now;
        if (job->dueTime != 0) {
            if (now < job->dueTime) {
                nextDue = std::min(nextDue, job->dueTime);
                ++job;
                continue;
            }
            job->dueTime = 0;
        }
        if (job->type == JT_CANCEL) {
            // Jobs are in id order, so the ones to cancel all lie before it.
            const int32_t soId = job->soId;
            const int32_t limit = job->jobId;
            auto next = std::next(job);
            std::erase_if(
                jobs, [&](const Job& other) { return other.soId == soId && other.jobId <= limit; });
            job = next;
            changed = true;
            continue;
        }
        if (RunJob(*job, dueAt, changed)) {
            job = jobs.erase(job);
            changed = true;
        } else {
            if (job->dueTime != 0) nextDue = std::min(nextDue, job->dueTime);
            ++job;
        }
    }
    return changed;
}

bool JobThread::RunJob(Job& job, int32_t dueAt, bool& changed) {
    SOBase* object = mObjects.Find(job.soId);
    switch (job.type) {
        case JT_DELAYED_START:
            object->BeginPlayMonitor();
            return true;
        case JT_PLAY_MONITOR: {
            if (object->GetState() != SS_PLAYING) return true;
            // Loop points heard inside the stream count as the repeats they
            // stand for, with the same events; the events come when the
            // point is heard, not when the decoder passed it.
            int32_t msToNext = -1;
            for (int32_t heard = object->TakeRepeats(msToNext); heard > 0; --heard) {
                if (job.parameter != -1) --job.parameter;
                mSendEvent(job.soId, WE_REPEAT, job.counter);
                object = mObjects.Find(job.soId);
                if (object == nullptr) return true;
                ++job.counter;
                changed = true;
            }
            if (object->GetState() != SS_PLAYING) return true;
            if (msToNext >= 0) job.dueTime = mClock.Now() + std::max(msToNext, 1);
            if (object->IsSounding()) {
                if (!job.started) changed = true;
                job.started = 1;
                return false;
            }
            if (!job.started) return false;
            // The host's event handler may remove the object (the locks are
            // re-entrant), so it is looked up again after each event.
            if (job.parameter != -1 && --job.parameter < 0) {
                mSendEvent(job.soId, WE_FINISHED, 0);
                object = mObjects.Find(job.soId);
                if (object == nullptr) return true;
                object->Finish();
                if (object->ReleaseRequested()) mObjects.Remove(job.soId);
                return true;
            }
            if (job.counter == 0) {
                mSendEvent(job.soId, WE_FIRST_START, 0);
            } else {
                mSendEvent(job.soId, WE_REPEAT, job.counter);
            }
            object = mObjects.Find(job.soId);
            if (object == nullptr) return true;
            ++job.counter;
            object->PrepareRepeats(job.parameter);
            if (object->Start() != WAVO_OK) {
                // A sound that cannot start would be waited for without end,
                // and a synchronous play with it.
                WAVO_LOG("JobThread: SO %d did not start\n", job.soId);
                object->SetState(SS_LOADED);
                return true;
            }
            job.started = 0;
            changed = true;
            return false;
        }
        case JT_RELEASE:
            mObjects.Remove(job.soId);
            return true;
        case JT_BACK_TO_LOADED:
            object->SetState(SS_LOADED);
            return true;
        case JT_CLASS_STEP_A:
            object->ClassStepA();
            return true;
        case JT_CLASS_STEP_B:
            object->ClassStepB();
            return true;
        // A fade's steps keep to the times they were due, not to when they
        // ran: on a busy machine late steps catch up, and the fade still
        // ends when it should.
        case JT_FADE_IN_STEP:
            if (object->GetState() != SS_PLAYING) return true;
            job.dueTime = NextStep(dueAt, job.parameter / 255);
            object->SetVolume(object->GetVolume() + 1);
            changed = true;
            return object->GetVolume() >= 255;
        case JT_FADE_OUT_STEP:
            if (object->GetState() != SS_PLAYING) return true;
            job.dueTime = NextStep(dueAt, job.parameter / 255);
            object->SetVolume(object->GetVolume() - 1);
            changed = true;
            if (object->GetVolume() >= 1) return false;
            if (job.counter != 0) object->Stop();
            return true;
        default:  // JT_NOTHING and unknown types
            return true;
    }
}

// [SECTION] Method pass

bool JobThread::MethodPass() {
    std::lock_guard methodsLock(mMethods.Mutex());
    std::lock_guard objectsLock(mObjects.Mutex());
    auto& entries = mMethods.Entries();
    const bool changed = !entries.empty();
    for (auto entry = entries.begin(); entry != entries.end();) {
        if (SOBase* object = mObjects.Find(entry->soId)) {
            switch (entry->method) {
                case kMethodLoad:
                    object->Load();
                    break;
                case kMethodPlay:
                    object->Play();
                    break;
                case kMethodStop:
                    object->Stop();
                    break;
                case kMethodUnload:
                    object->Unload();
                    break;
                case kMethodFadeIn:
                    object->FadeIn();
                    break;
                case kMethodFadeOut:
                    object->FadeOut(entry->parameter != 0);
                    break;
                default:
                    break;
            }
        }
        entry = mMethods.Remove(entry);
    }
    return changed;
}

// [SECTION] Refill pass

bool JobThread::RefillPass(bool& recheck) {
    std::lock_guard objectsLock(mObjects.Mutex());
    bool changed = false;
    for (auto& object : mObjects.Entries()) {
        if (object->GetState() != SS_PLAYING) continue;
        const bool wasSounding = object->IsSounding();
        changed |= object->RefillIfDue(recheck);
        // A stop at the end of the data must reach the play monitor soon.
        changed |= wasSounding != object->IsSounding();
    }
    return changed;
}

}  // namespace wavo
