#include <gtest/gtest.h>

#include "engine_test_support.h"
#include "platform/job.h"

namespace vantaro::test {
namespace {

// The interpreters are put in such a job so that they, and the engines they start, end with the program.
TEST(KillOnCloseJob, ClosingTheLastHandleEndsTheProcessAndItsChildren) {
    KernelHandle job = CreateKillOnCloseJob();
    ASSERT_TRUE(job);
    char line[] = "cmd.exe /c ping -n 30 127.0.0.1 >nul";
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    ASSERT_TRUE(CreateProcessA(nullptr, line, nullptr, nullptr, FALSE, CREATE_SUSPENDED | CREATE_NO_WINDOW,
                               nullptr, nullptr, &startup, &info));
    KernelHandle process(info.hProcess);
    KernelHandle thread(info.hThread);
    ASSERT_TRUE(AssignProcessToJob(job.Get(), process.Get()));
    ResumeThread(thread.Get());
    std::vector<ProcessEntry> pings;
    ASSERT_TRUE(WaitUntil([&] { return !(pings = ChildrenNamed(info.dwProcessId, "ping.exe")).empty(); }));
    KernelHandle ping = OpenToWait(pings[0].id);
    ASSERT_TRUE(ping);
    EXPECT_EQ(WaitForSingleObject(process.Get(), 200), static_cast<DWORD>(WAIT_TIMEOUT));
    job.Reset();
    EXPECT_EQ(WaitForSingleObject(process.Get(), 5000), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(ping.Get(), 5000), WAIT_OBJECT_0);  // the child was in the job too
}

}  // namespace
}  // namespace vantaro::test
