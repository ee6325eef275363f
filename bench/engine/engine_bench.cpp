// Engine-control benchmark. Runs the program's own window, commands and log in this process, against the
// built stand-in engine and the flood engine beside this file, and prints what it measured; it asserts
// nothing.
//   engine_bench.exe [cycles=100] [flood bytes=20971520]
#include <windows.h>

#include <psapi.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "app/control_ids.h"
#include "app/main_window.h"
#include "app/program_state.h"
#include "engine/process_lookup.h"
#include "platform/message_box.h"
#include "platform/module_path.h"
#include "platform/unique_handle.h"

namespace vantaro {
namespace {

using Clock = std::chrono::steady_clock;

double MillisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

struct Counters {
    DWORD handles = 0;
    SIZE_T privateBytes = 0;
    SIZE_T peakPrivateBytes = 0;
    SIZE_T peakWorkingSet = 0;
    SIZE_T committedPrivate = 0;
};

// Committed private memory, summed over the address space (the counters below read 0 under Wine).
SIZE_T CommittedPrivateBytes() {
    SIZE_T total = 0;
    MEMORY_BASIC_INFORMATION region{};
    for (const char* at = nullptr; VirtualQuery(at, &region, sizeof(region)) == sizeof(region);
         at = static_cast<const char*>(region.BaseAddress) + region.RegionSize) {
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE) total += region.RegionSize;
        if (static_cast<const char*>(region.BaseAddress) + region.RegionSize < at) break;
    }
    return total;
}

Counters Measure() {
    Counters counters;
    GetProcessHandleCount(GetCurrentProcess(), &counters.handles);
    counters.committedPrivate = CommittedPrivateBytes();
    PROCESS_MEMORY_COUNTERS_EX memory{};
    memory.cb = sizeof(memory);
    if (GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory),
                             sizeof(memory))) {
        counters.privateBytes = memory.PrivateUsage;
        counters.peakPrivateBytes = memory.PeakPagefileUsage;
        counters.peakWorkingSet = memory.PeakWorkingSetSize;
    }
    return counters;
}

// Handles open in this process, counted by asking about every possible handle value (works where the handle
// count query is not implemented).
DWORD ProbedHandleCount() {
    DWORD count = 0;
    for (ULONG_PTR value = 4; value < 0x10000; value += 4) {
        DWORD flags = 0;
        if (GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags)) ++count;
    }
    return count;
}

void Pump() {
    MSG message{};
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (PreTranslateMainWindowMessage(message)) continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

void PumpFor(DWORD milliseconds) {
    const Clock::time_point start = Clock::now();
    while (MillisecondsSince(start) < milliseconds) {
        Pump();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
}

bool WaitPumping(HANDLE object, DWORD milliseconds) {
    const Clock::time_point start = Clock::now();
    while (WaitForSingleObject(object, 0) == WAIT_TIMEOUT) {
        if (MillisecondsSince(start) > milliseconds) return false;
        Pump();
        MsgWaitForMultipleObjects(1, &object, FALSE, 5, QS_ALLINPUT);
    }
    return true;
}

std::string Directory(const std::string& path) { return path.substr(0, path.find_last_of('\\')); }

std::string MakeRunDirectory() {
    char base[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, base);
    const std::string path = std::string(base) + "vantaro-bench-" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(path.c_str(), nullptr);
    CreateDirectoryA((path + "\\engine").c_str(), nullptr);
    return path;
}

void WriteConfig(const std::string& runDirectory, const std::string& engine, int port) {
    std::ofstream(runDirectory + "\\config.ini", std::ios::binary)
        << "[BasisConfig]\r\nFile=" << engine << "\r\nLocal port=" << port
        << "\r\nProxy Mode=0\r\n[NodeList]\r\nNum=1\r\nSelect node=0\r\n[Node]\r\nNode1=127.0.0.1 8388 "
           "secret\r\n";
}

HWND StartProgram(const std::string& runDirectory) {
    StartupOptions options;
    options.runDirectory = runDirectory;
    options.startedFromShell = true;
    options.checkForUpdates = false;
    CreateProgramState(options);
    HWND window = CreateMainWindow(GetModuleHandleA(nullptr));
    Pump();
    return window;
}

void StopProgram(HWND window) {
    DestroyWindow(window);
    Pump();
    ReleaseProgramState();
}

void Command(HWND window, Ctl id) {
    SendMessageA(window, WM_COMMAND, MAKEWPARAM(static_cast<int>(id), BN_CLICKED),
                 reinterpret_cast<LPARAM>(Control(id)));
}

bool Running() { return IsWindowEnabled(Control(Ctl::按钮_启动)) == FALSE; }

struct Cycle {
    double startMs = 0;
    bool ran = false;
};

// One start and one stop; returns once the engine and its interpreter have ended.
Cycle StartAndStop(HWND window) {
    Cycle cycle;
    const Clock::time_point start = Clock::now();
    Command(window, Ctl::按钮_启动);
    cycle.startMs = MillisecondsSince(start);
    cycle.ran = Running();
    const DWORD engine = FindProcessIdByName("vantaro-local.exe");
    const long long parent = engine ? FindParentProcessId(std::to_string(engine)) : -1;
    KernelHandle engineProcess(engine ? OpenProcess(SYNCHRONIZE, FALSE, engine) : nullptr);
    KernelHandle parentProcess(parent > 0 ? OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(parent))
                                          : nullptr);
    PumpFor(20);
    Command(window, Ctl::按钮_停止);
    if (engineProcess) WaitPumping(engineProcess.Get(), 10000);
    if (parentProcess) WaitPumping(parentProcess.Get(), 10000);
    PumpFor(30);  // the reader's last output and its end
    return cycle;
}

void PrintCounters(const char* label, const Counters& counters, DWORD probed) {
    std::printf("%-28s handles %lu (by query %lu), committed private bytes %lu KB (by query %lu KB)\n", label,
                static_cast<unsigned long>(probed), static_cast<unsigned long>(counters.handles),
                static_cast<unsigned long>(counters.committedPrivate / 1024),
                static_cast<unsigned long>(counters.privateBytes / 1024));
}

void RunCycles(const std::string& runDirectory, const std::string& engine, int port, int cycles) {
    WriteConfig(runDirectory, engine, port);
    HWND window = StartProgram(runDirectory);
    StartAndStop(window);  // the first start creates what lives for the program's life (the job, the runner)
    const Counters before = Measure();
    const DWORD probedBefore = ProbedHandleCount();
    std::vector<double> times;
    int ran = 0;
    for (int i = 0; i < cycles; ++i) {
        const Cycle cycle = StartAndStop(window);
        times.push_back(cycle.startMs);
        ran += cycle.ran ? 1 : 0;
    }
    const Counters after = Measure();
    const DWORD probedAfter = ProbedHandleCount();
    StopProgram(window);
    std::sort(times.begin(), times.end());
    std::printf("start/stop cycles            %d (%d reached the running state)\n", cycles, ran);
    PrintCounters("before (after one warm-up)", before, probedBefore);
    PrintCounters("after", after, probedAfter);
    if (!times.empty()) {
        std::printf("start click to running       min %.0f ms, median %.0f ms, max %.0f ms\n", times.front(),
                    times[times.size() / 2], times.back());
    }
}

std::string LogBoxText() {
    HWND box = Control(Ctl::编辑框_日志);
    std::string text(static_cast<size_t>(GetWindowTextLengthA(box)) + 1, '\0');
    text.resize(static_cast<size_t>(GetWindowTextA(box, text.data(), static_cast<int>(text.size()))));
    return text;
}

void RunFlood(const std::string& runDirectory, const std::string& floodEngine, unsigned long long bytes) {
    WriteConfig(runDirectory, floodEngine, 0);
    SetEnvironmentVariableA("VANTARO_FLOOD_BYTES", std::to_string(bytes).c_str());
    HWND window = StartProgram(runDirectory);
    const Counters before = Measure();
    // A second thread sends the window an empty message over and over: how long each one waits is how long
    // the message loop was not serving.
    std::atomic<bool> watching{true};
    std::atomic<long long> longestStallUs{0};
    std::atomic<bool> watchdogDone{false};
    std::atomic<SIZE_T> peakCommitted{0};
    std::thread watchdog([&] {
        while (watching) {
            const Clock::time_point sent = Clock::now();
            DWORD_PTR result = 0;
            SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 60000, &result);
            const long long waited =
                std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - sent).count();
            if (waited > longestStallUs) longestStallUs = waited;
            const SIZE_T committed = CommittedPrivateBytes();
            if (committed > peakCommitted) peakCommitted = committed;
            Sleep(2);
        }
        watchdogDone = true;
    });
    const Clock::time_point start = Clock::now();
    Command(window, Ctl::按钮_启动);
    std::string text;
    bool done = false;
    while (!done && MillisecondsSince(start) < 600000) {
        PumpFor(100);
        text = LogBoxText();
        done = text.find("flood done") != std::string::npos;
    }
    const double floodMs = MillisecondsSince(start);
    watching = false;
    // The watchdog may be waiting for this thread's loop: keep serving until it has stopped.
    while (!watchdogDone) PumpFor(5);
    watchdog.join();
    const Counters after = Measure();
    Command(window, Ctl::按钮_停止);
    PumpFor(200);
    StopProgram(window);
    std::printf("log flood                    %llu bytes of engine output, %s in %.0f ms (%.1f MB/s)\n",
                bytes, done ? "shown" : "NOT finished", floodMs, bytes / 1048576.0 / (floodMs / 1000.0));
    std::printf("longest message-loop stall   %.1f ms\n", longestStallUs / 1000.0);
    std::printf("log box at the end           %zu bytes\n", text.size());
    std::printf("committed private bytes      before %lu KB, after %lu KB, sampled peak %lu KB\n",
                static_cast<unsigned long>(before.committedPrivate / 1024),
                static_cast<unsigned long>(after.committedPrivate / 1024),
                static_cast<unsigned long>(peakCommitted / 1024));
    std::printf("system peak counters         peak commit %lu KB, peak working set %lu KB\n",
                static_cast<unsigned long>(after.peakPrivateBytes / 1024),
                static_cast<unsigned long>(after.peakWorkingSet / 1024));
}

bool CopyEngine(const std::string& from, const std::string& to) {
    if (CopyFileA(from.c_str(), to.c_str(), FALSE)) return true;
    std::fprintf(stderr, "cannot copy %s\n", from.c_str());
    return false;
}

}  // namespace
}  // namespace vantaro

int main(int argc, char** argv) {
    using namespace vantaro;
    const int cycles = argc > 1 ? std::atoi(argv[1]) : 100;
    const unsigned long long floodBytes =
        argc > 2 ? std::strtoull(argv[2], nullptr, 10) : 20ull * 1024 * 1024;
    std::vector<MessageRecord> messages;
    SetMessageRecorder([&](const MessageRecord& record) { messages.push_back(record); });
    const std::string benchDirectory = OwnExecutableDirectory();
    const std::string runDirectory = MakeRunDirectory();
    const std::string engine = runDirectory + "\\engine\\vantaro-local.exe";
    const std::string floodDirectory = runDirectory + "\\flood";
    CreateDirectoryA(floodDirectory.c_str(), nullptr);
    const std::string floodEngine = floodDirectory + "\\vantaro-local.exe";
    if (!CopyEngine(Directory(Directory(benchDirectory)) + "\\engine\\vantaro-local.exe", engine)) return 1;
    if (!CopyEngine(benchDirectory + "\\vantaro-local.exe", floodEngine)) return 1;
    const int port = 20000 + static_cast<int>(GetCurrentProcessId() % 20000);
    if (cycles > 0) RunCycles(runDirectory, engine, port, cycles);
    if (floodBytes > 0) RunFlood(runDirectory, floodEngine, floodBytes);
    for (const MessageRecord& record : messages) std::printf("message box: %s\n", record.text.c_str());
    std::fflush(stdout);
    return 0;
}
