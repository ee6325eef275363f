#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include "app_fixture.h"
#include "engine/process_lookup.h"
#include "engine_test_support.h"

namespace vantaro::test {
namespace {

// Real processes: interpreters running a long ping, and copies of the stand-in engine under other letter
// cases.
class ProcessLookup : public ::testing::Test {
  protected:
    void SetUp() override {
        directory_ = MakeTempDirectory();
        children_.reserve(8);  // tests hold references to the records
    }
    void TearDown() override {
        for (Child& child : children_) {
            if (child.process && !ProcessEnded(child.process.Get())) TerminateProcess(child.process.Get(), 1);
            if (child.process) WaitForSingleObject(child.process.Get(), 5000);
        }
        for (DWORD id : grandchildren_) {
            KernelHandle process(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id));
            if (process) {
                TerminateProcess(process.Get(), 1);
                WaitForSingleObject(process.Get(), 5000);
            }
        }
        RemoveDirectoryTree(directory_);
    }
    // cmd.exe running ping for half a minute: an interpreter with a child, as the engine's host has.
    Child& StartPingingInterpreter() {
        children_.push_back(StartChild("cmd.exe /c ping -n 30 127.0.0.1 >nul"));
        return children_.back();
    }
    // A copy of the stand-in engine under `name`, serving a port of its own so that several can run.
    Child& StartEngineCopy(const std::string& name) {
        const std::string exe = directory_ + "\\" + name;
        CopyFileA(BuiltEngine().c_str(), exe.c_str(), FALSE);
        const std::string config = directory_ + "\\" + name + ".json";
        int port = FreeLoopbackPort();
        while (std::find(ports_.begin(), ports_.end(), port) != ports_.end()) port = FreeLoopbackPort();
        ports_.push_back(port);
        std::ofstream(config, std::ios::binary) << "{\"listen\": \":" << port << "\"}";
        children_.push_back(StartChild("\"" + exe + "\" -c \"" + config + "\""));
        return children_.back();
    }
    std::string directory_;
    std::vector<Child> children_;
    std::vector<DWORD> grandchildren_;
    std::vector<int> ports_;
};

TEST_F(ProcessLookup, NamesMatchWithoutRegardToLetterCaseAndTheFirstListedWins) {
    Child& upper = StartEngineCopy("VANTARO-LOCAL.EXE");
    Child& mixed = StartEngineCopy("Vantaro-Local.exe");
    ASSERT_TRUE(upper.process && mixed.process);
    DWORD firstListed = 0;
    ASSERT_TRUE(WaitUntil([&] {
        firstListed = 0;
        int seen = 0;
        for (const ProcessEntry& entry : TakeProcessSnapshot()) {
            if (entry.id != upper.id && entry.id != mixed.id) continue;
            if (firstListed == 0) firstListed = entry.id;
            ++seen;
        }
        return seen == 2;
    })) <<
        [&] {
            DWORD upperCode = 0, mixedCode = 0;
            GetExitCodeProcess(upper.process.Get(), &upperCode);
            GetExitCodeProcess(mixed.process.Get(), &mixedCode);
            return "exit codes " + std::to_string(upperCode) + " " + std::to_string(mixedCode);
        }();
    EXPECT_EQ(FindProcessIdByName("vantaro-local.exe"), firstListed);
    EXPECT_EQ(FindProcessIdByName("VANTARO-local.EXE"), firstListed);
    EXPECT_EQ(FindProcessIdByName("vantaro-local"), 0u);  // the whole file name, not a prefix
    EXPECT_EQ(FindProcessIdByName("antaro-local.exe"), 0u);
    EXPECT_EQ(FindProcessIdByName("no-such-process.exe"), 0u);
}

TEST_F(ProcessLookup, ParentComesFromTheSystemProcessRecords) {
    Child& interpreter = StartPingingInterpreter();
    ASSERT_TRUE(interpreter.process);
    std::vector<ProcessEntry> pings;
    ASSERT_TRUE(WaitUntil([&] { return !(pings = ChildrenNamed(interpreter.id, "ping.exe")).empty(); }));
    grandchildren_.push_back(pings[0].id);
    EXPECT_EQ(FindParentProcessId(std::to_string(pings[0].id)), static_cast<long long>(interpreter.id));
    EXPECT_EQ(FindParentProcessId(std::to_string(interpreter.id)),
              static_cast<long long>(GetCurrentProcessId()));
    // Every listed process agrees with the toolhelp snapshot (the idle process, id 0, is never compared).
    for (const ProcessEntry& entry : TakeProcessSnapshot()) {
        if (entry.id == 0) continue;
        const long long parent = FindParentProcessId(std::to_string(entry.id));
        if (parent == -1) continue;  // ended in between
        EXPECT_EQ(parent, static_cast<long long>(entry.parentId)) << entry.exeName;
    }
    EXPECT_EQ(FindParentProcessId("0"), -1);
    EXPECT_EQ(FindParentProcessId("not a number"), -1);
}

TEST_F(ProcessLookup, TerminationEndsTheProcessAndADeadIdHasNoParent) {
    Child& interpreter = StartPingingInterpreter();
    ASSERT_TRUE(interpreter.process);
    std::vector<ProcessEntry> pings;
    ASSERT_TRUE(WaitUntil([&] { return !(pings = ChildrenNamed(interpreter.id, "ping.exe")).empty(); }));
    const DWORD ping = pings[0].id;
    grandchildren_.push_back(ping);
    KernelHandle pingProcess = OpenToWait(ping);
    ASSERT_TRUE(pingProcess);
    // The parent first, then the child, as the stop does.
    EXPECT_TRUE(TerminateProcessById(interpreter.id));
    EXPECT_EQ(WaitForSingleObject(interpreter.process.Get(), 5000), WAIT_OBJECT_0);
    DWORD code = 99;
    GetExitCodeProcess(interpreter.process.Get(), &code);
    EXPECT_EQ(code, 0u);
    EXPECT_TRUE(TerminateProcessById(ping));
    EXPECT_EQ(WaitForSingleObject(pingProcess.Get(), 5000), WAIT_OBJECT_0);
    pingProcess.Reset();
    interpreter.process.Reset();  // nothing holds the ids now: they leave the list
    ASSERT_TRUE(WaitUntil([&] { return FindParentProcessId(std::to_string(ping)) == -1; }));
    EXPECT_FALSE(TerminateProcessById(0));
    EXPECT_FALSE(TerminateProcessById(0xFFFFFFF0u));  // never a process id
}

}  // namespace
}  // namespace vantaro::test
