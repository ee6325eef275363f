#pragma once
#include <windows.h>

#include "platform/unique_handle.h"

namespace vantaro {

// A job object whose processes are ended when its last handle closes: a program that holds the handle for its
// whole life takes the processes it put there (and their children) with it, however it ends.
KernelHandle CreateKillOnCloseJob();
bool AssignProcessToJob(HANDLE job, HANDLE process);

}  // namespace vantaro
