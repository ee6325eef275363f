#include "platform/job.h"

namespace vantaro {

KernelHandle CreateKillOnCloseJob() {
    KernelHandle job(CreateJobObjectA(nullptr, nullptr));
    if (!job) return job;
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    if (!SetInformationJobObject(job.Get(), JobObjectExtendedLimitInformation, &limits, sizeof(limits))) {
        job.Reset();
    }
    return job;
}

bool AssignProcessToJob(HANDLE job, HANDLE process) {
    return AssignProcessToJobObject(job, process) != FALSE;
}

}  // namespace vantaro
