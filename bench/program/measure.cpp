// Measures a running window program from outside, the way Task Manager would: private bytes, handle count, GDI and
// USER objects, CPU time, and the time from its process start to its tray icon. Prints key=value lines and judges
// nothing; bench/program/run.sh collects them.
//
//   measure startup NAME [TIMEOUT_MS]   wait for a process NAME (started after this call or just before), then for
//                                       its first top-level window and its tray icon (uID 1); prints both times
//                                       counted from the process's creation time
//   measure stats NAME|PID              one sample of the figures
//   measure idle NAME|PID SECONDS       CPU time and figures before and after SECONDS of doing nothing
//   measure close NAME|PID [TIMEOUT_MS] WM_CLOSE to its top-level windows, then wait for the process to end
//   measure launch EXE DIR              start EXE in DIR as a child of the running explorer.exe, as a double click in
//                                       Explorer does (the program shows its window only when so started)
#include <windows.h>
#include <psapi.h>
#include <shellapi.h>
#include <tlhelp32.h>

#include <winternl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

const UINT kTrayIconId = 1;

// 100-ns units since 1601, as FILETIME counts.
ULONGLONG FileTimeValue(const FILETIME& time) {
    return (static_cast<ULONGLONG>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

ULONGLONG NowValue() {
    FILETIME now;
    GetSystemTimePreciseAsFileTime(&now);
    return FileTimeValue(now);
}

// The newest process whose executable name is NAME (case-insensitive), or 0.
DWORD FindProcess(const char* name) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return 0;
    PROCESSENTRY32 entry;
    entry.dwSize = sizeof(entry);
    DWORD found = 0;
    ULONGLONG newest = 0;
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
        if (lstrcmpiA(entry.szExeFile, name) != 0) continue;
        HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, entry.th32ProcessID);
        if (!process) continue;
        FILETIME created, exited, kernel, user;
        if (GetProcessTimes(process, &created, &exited, &kernel, &user) && FileTimeValue(created) >= newest) {
            newest = FileTimeValue(created);
            found = entry.th32ProcessID;
        }
        CloseHandle(process);
    }
    CloseHandle(snapshot);
    return found;
}

// The longest-running explorer.exe: the shell itself, not a helper that is about to end.
DWORD FindShell() {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return 0;
    PROCESSENTRY32 entry;
    entry.dwSize = sizeof(entry);
    DWORD found = 0;
    ULONGLONG oldest = ~0ull;
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
        if (lstrcmpiA(entry.szExeFile, "explorer.exe") != 0) continue;
        HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, entry.th32ProcessID);
        if (!process) continue;
        FILETIME created, exited, kernel, user;
        if (GetProcessTimes(process, &created, &exited, &kernel, &user) && FileTimeValue(created) < oldest) {
            oldest = FileTimeValue(created);
            found = entry.th32ProcessID;
        }
        CloseHandle(process);
    }
    CloseHandle(snapshot);
    return found;
}

// A decimal argument is a process id; anything else is an executable name.
DWORD ResolveProcess(const char* nameOrPid) {
    char* end = nullptr;
    const unsigned long pid = strtoul(nameOrPid, &end, 10);
    if (end != nameOrPid && *end == '\0') return static_cast<DWORD>(pid);
    return FindProcess(nameOrPid);
}

DWORD ThreadCount(DWORD pid) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return 0;
    PROCESSENTRY32 entry;
    entry.dwSize = sizeof(entry);
    DWORD threads = 0;
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
        if (entry.th32ProcessID == pid) threads = entry.cntThreads;
    }
    CloseHandle(snapshot);
    return threads;
}

// Handles the process holds, counted in the system handle table: the fallback where GetProcessHandleCount gives
// nothing for another process (Wine).
struct SystemHandleEntry {
    ULONG ownerPid;
    BYTE objectType;
    BYTE flags;
    USHORT value;
    PVOID object;
    ACCESS_MASK access;
};

DWORD HandlesInSystemTable(DWORD pid) {
    using QueryFunction = LONG(NTAPI*)(ULONG, PVOID, ULONG, PULONG);
    auto query = reinterpret_cast<QueryFunction>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation")));
    if (!query) return 0;
    const ULONG kSystemHandleInformation = 16;
    std::vector<unsigned char> buffer(1 << 16);
    for (int attempt = 0; attempt < 12; ++attempt) {
        ULONG needed = 0;
        const LONG status = query(kSystemHandleInformation, buffer.data(), static_cast<ULONG>(buffer.size()), &needed);
        if (status == 0) {
            ULONG count = 0;
            memcpy(&count, buffer.data(), sizeof(count));
            const size_t room = (buffer.size() - sizeof(ULONG_PTR)) / sizeof(SystemHandleEntry);
            if (count > room) count = static_cast<ULONG>(room);
            const auto* entries = reinterpret_cast<const SystemHandleEntry*>(buffer.data() + sizeof(ULONG_PTR));
            DWORD mine = 0;
            for (ULONG i = 0; i < count; ++i) mine += entries[i].ownerPid == pid ? 1 : 0;
            return mine;
        }
        if (status != static_cast<LONG>(0xC0000004)) return 0;  // anything but "buffer too small"
        buffer.resize(needed > buffer.size() ? needed + 4096 : buffer.size() * 2);
    }
    return 0;
}

struct WindowSearch {
    DWORD pid;
    std::vector<HWND> windows;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<WindowSearch*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search->pid) search->windows.push_back(window);
    return TRUE;
}

// Top-level windows of the process, hidden ones included (a tray program's window may never be shown).
std::vector<HWND> TopLevelWindows(DWORD pid) {
    WindowSearch search{pid, {}};
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&search));
    return search.windows;
}

// The shell answers NIM_MODIFY with TRUE only for an icon it holds; with no flags nothing of it changes.
bool HasTrayIcon(HWND window) {
    NOTIFYICONDATAA record;
    ZeroMemory(&record, sizeof(record));
    record.cbSize = NOTIFYICONDATAA_V2_SIZE;
    record.hWnd = window;
    record.uID = kTrayIconId;
    record.uFlags = 0;
    return Shell_NotifyIconA(NIM_MODIFY, &record) != FALSE;
}

struct Sample {
    bool ok = false;
    SIZE_T privateBytes = 0;
    SIZE_T workingSet = 0;
    DWORD handles = 0;
    DWORD handlesInTable = 0;
    DWORD gdiObjects = 0;
    DWORD userObjects = 0;
    DWORD threads = 0;
    ULONGLONG cpu = 0;  // kernel + user, 100-ns units
};

Sample TakeSample(DWORD pid) {
    Sample sample;
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
    if (!process) return sample;
    PROCESS_MEMORY_COUNTERS_EX memory;
    ZeroMemory(&memory, sizeof(memory));
    memory.cb = sizeof(memory);
    if (GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof(memory))) {
        sample.privateBytes = memory.PrivateUsage;
        sample.workingSet = memory.WorkingSetSize;
    }
    GetProcessHandleCount(process, &sample.handles);
    sample.handlesInTable = HandlesInSystemTable(pid);
    sample.gdiObjects = GetGuiResources(process, GR_GDIOBJECTS);
    sample.userObjects = GetGuiResources(process, GR_USEROBJECTS);
    FILETIME created, exited, kernel, user;
    if (GetProcessTimes(process, &created, &exited, &kernel, &user)) {
        sample.cpu = FileTimeValue(kernel) + FileTimeValue(user);
    }
    sample.threads = ThreadCount(pid);
    sample.ok = true;
    CloseHandle(process);
    return sample;
}

void PrintSample(const char* prefix, const Sample& sample) {
    printf("%sprivate_bytes=%lu\n", prefix, static_cast<unsigned long>(sample.privateBytes));
    printf("%sworking_set=%lu\n", prefix, static_cast<unsigned long>(sample.workingSet));
    printf("%shandles=%lu\n", prefix, static_cast<unsigned long>(sample.handles));
    printf("%shandles_in_system_table=%lu\n", prefix, static_cast<unsigned long>(sample.handlesInTable));
    printf("%sgdi_objects=%lu\n", prefix, static_cast<unsigned long>(sample.gdiObjects));
    printf("%suser_objects=%lu\n", prefix, static_cast<unsigned long>(sample.userObjects));
    printf("%sthreads=%lu\n", prefix, static_cast<unsigned long>(sample.threads));
    printf("%scpu_ms=%.1f\n", prefix, static_cast<double>(sample.cpu) / 10000.0);
}

int Startup(const char* name, DWORD timeoutMs) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    DWORD pid = 0;
    while (pid == 0) {
        if (GetTickCount64() > deadline) {
            fprintf(stderr, "measure: no process named %s within %lu ms\n", name, static_cast<unsigned long>(timeoutMs));
            return 1;
        }
        pid = FindProcess(name);
        if (pid == 0) Sleep(1);
    }
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | SYNCHRONIZE, FALSE, pid);
    if (!process) {
        fprintf(stderr, "measure: cannot open process %lu (error %lu)\n", static_cast<unsigned long>(pid), GetLastError());
        return 1;
    }
    // The creation time as the system recorded it; should the query fail, the moment the process was first seen.
    FILETIME created{}, exited{}, kernel{}, user{};
    const ULONGLONG seen = NowValue();
    const bool fromCreation = GetProcessTimes(process, &created, &exited, &kernel, &user) != FALSE &&
                              FileTimeValue(created) != 0 && FileTimeValue(created) <= seen;
    const ULONGLONG start = fromCreation ? FileTimeValue(created) : seen;
    ULONGLONG windowAt = 0, iconAt = 0;
    while (iconAt == 0) {
        if (GetTickCount64() > deadline || WaitForSingleObject(process, 0) == WAIT_OBJECT_0) {
            fprintf(stderr, "measure: %s (pid %lu) showed no tray icon\n", name, static_cast<unsigned long>(pid));
            CloseHandle(process);
            return 1;
        }
        const std::vector<HWND> windows = TopLevelWindows(pid);
        if (!windows.empty() && windowAt == 0) windowAt = NowValue();
        for (HWND window : windows) {
            if (HasTrayIcon(window)) {
                iconAt = NowValue();
                break;
            }
        }
        if (iconAt == 0) Sleep(1);
    }
    CloseHandle(process);
    printf("pid=%lu\n", static_cast<unsigned long>(pid));
    printf("counted_from=%s\n", fromCreation ? "creation" : "first_seen");
    printf("window_ms=%.1f\n", static_cast<double>(static_cast<LONGLONG>(windowAt - start)) / 10000.0);
    printf("tray_icon_ms=%.1f\n", static_cast<double>(static_cast<LONGLONG>(iconAt - start)) / 10000.0);
    return 0;
}

int Stats(const char* nameOrPid) {
    const DWORD pid = ResolveProcess(nameOrPid);
    const Sample sample = pid ? TakeSample(pid) : Sample{};
    if (!sample.ok) {
        fprintf(stderr, "measure: no process %s to open\n", nameOrPid);
        return 1;
    }
    printf("pid=%lu\n", static_cast<unsigned long>(pid));
    PrintSample("", sample);
    return 0;
}

int Idle(const char* nameOrPid, DWORD seconds) {
    const DWORD pid = ResolveProcess(nameOrPid);
    const Sample before = pid ? TakeSample(pid) : Sample{};
    if (!before.ok) {
        fprintf(stderr, "measure: no process %s to open\n", nameOrPid);
        return 1;
    }
    const ULONGLONG wallBefore = NowValue();
    Sleep(seconds * 1000);
    const Sample after = TakeSample(pid);
    const ULONGLONG wall = NowValue() - wallBefore;
    if (!after.ok) {
        fprintf(stderr, "measure: process %lu ended while idle\n", static_cast<unsigned long>(pid));
        return 1;
    }
    printf("pid=%lu\n", static_cast<unsigned long>(pid));
    PrintSample("before_", before);
    PrintSample("after_", after);
    printf("idle_seconds=%.1f\n", static_cast<double>(wall) / 1e7);
    printf("idle_cpu_ms=%.1f\n", static_cast<double>(after.cpu - before.cpu) / 10000.0);
    printf("idle_cpu_percent=%.4f\n", 100.0 * static_cast<double>(after.cpu - before.cpu) / static_cast<double>(wall));
    return 0;
}

int Close(const char* nameOrPid, DWORD timeoutMs) {
    const DWORD pid = ResolveProcess(nameOrPid);
    HANDLE process = pid ? OpenProcess(SYNCHRONIZE, FALSE, pid) : nullptr;
    if (!process) {
        fprintf(stderr, "measure: no process %s to close\n", nameOrPid);
        return 1;
    }
    for (HWND window : TopLevelWindows(pid)) PostMessageA(window, WM_CLOSE, 0, 0);
    const bool ended = WaitForSingleObject(process, timeoutMs) == WAIT_OBJECT_0;
    CloseHandle(process);
    printf("closed=%d\n", ended ? 1 : 0);
    return ended ? 0 : 1;
}

int Launch(const char* exe, const char* directory) {
    const DWORD shellPid = FindShell();
    HANDLE shell = shellPid ? OpenProcess(PROCESS_CREATE_PROCESS, FALSE, shellPid) : nullptr;
    if (!shell) {
        fprintf(stderr, "measure: no running explorer.exe to start %s from\n", exe);
        return 1;
    }
    SIZE_T size = 0;
    InitializeProcThreadAttributeList(nullptr, 1, 0, &size);
    std::vector<unsigned char> attributes(size);
    auto* list = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(attributes.data());
    STARTUPINFOEXA startup;
    ZeroMemory(&startup, sizeof(startup));
    startup.StartupInfo.cb = sizeof(startup);
    startup.lpAttributeList = list;
    PROCESS_INFORMATION created;
    ZeroMemory(&created, sizeof(created));
    // A bare name is looked up in DIR, the folder the program starts in, not in this tool's folder.
    const std::string path = strchr(exe, '\\') ? exe : std::string(directory) + "\\" + exe;
    std::string commandLine = "\"" + path + "\"";
    const bool ok = InitializeProcThreadAttributeList(list, 1, 0, &size) &&
                    UpdateProcThreadAttribute(list, 0, PROC_THREAD_ATTRIBUTE_PARENT_PROCESS, &shell, sizeof(shell),
                                              nullptr, nullptr) &&
                    CreateProcessA(path.c_str(), &commandLine[0], nullptr, nullptr, FALSE, EXTENDED_STARTUPINFO_PRESENT,
                                   nullptr, directory, &startup.StartupInfo, &created);
    const DWORD error = GetLastError();
    DeleteProcThreadAttributeList(list);
    CloseHandle(shell);
    if (!ok) {
        fprintf(stderr, "measure: cannot start %s (error %lu)\n", exe, static_cast<unsigned long>(error));
        return 1;
    }
    printf("pid=%lu\nparent=%lu\n", static_cast<unsigned long>(created.dwProcessId), static_cast<unsigned long>(shellPid));
    CloseHandle(created.hThread);
    CloseHandle(created.hProcess);
    return 0;
}

int Usage() {
    fprintf(stderr,
            "measure startup NAME [TIMEOUT_MS] | stats NAME|PID | idle NAME|PID SECONDS | close NAME|PID [TIMEOUT_MS] |\n"
            "        launch EXE DIR\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) return Usage();
    const std::string verb = argv[1];
    const char* target = argv[2];
    auto number = [&](int i, unsigned long fallback) {
        return static_cast<DWORD>(i < argc ? strtoul(argv[i], nullptr, 10) : fallback);
    };
    if (verb == "startup") return Startup(target, number(3, 30000));
    if (verb == "stats") return Stats(target);
    if (verb == "idle" && argc >= 4) return Idle(target, number(3, 60));
    if (verb == "close") return Close(target, number(3, 10000));
    if (verb == "launch" && argc >= 4) return Launch(target, argv[3]);
    return Usage();
}
