#include "job_list.h"

namespace wavo {

int32_t JobList::Add(Job job) {
    {
        std::lock_guard lock(mLock);
        job.jobId = ++mCounter;
        mJobs.push_back(job);
    }
    if (mWake) mWake();
    return job.jobId;
}

}  // namespace wavo
