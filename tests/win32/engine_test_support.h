#pragma once
#include <windows.h>
#include <winsock2.h>

#include <functional>
#include <string>
#include <vector>

#include "core/process_tree.h"
#include "platform/process_list.h"
#include "platform/unique_handle.h"

namespace vantaro::test {

inline std::string TestExeDirectory() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string directory(path);
    return directory.substr(0, directory.find_last_of('\\'));
}

// The builds beside this test: the stand-in engine and the flood engine of the benchmarks.
inline std::string BuiltEngine() { return TestExeDirectory() + "\\..\\engine\\vantaro-local.exe"; }
inline std::string BuiltFloodEngine() {
    return TestExeDirectory() + "\\..\\bench\\engine\\vantaro-local.exe";
}

inline void StartWinsock() {
    static bool started = [] {
        WSADATA data;
        return WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }();
    (void)started;
}

// A loopback port nobody listens on right now.
inline int FreeLoopbackPort() {
    StartWinsock();
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(s, reinterpret_cast<sockaddr*>(&address), sizeof(address));
    int length = sizeof(address);
    getsockname(s, reinterpret_cast<sockaddr*>(&address), &length);
    closesocket(s);
    return ntohs(address.sin_port);
}

inline bool LoopbackPortAccepts(int port) {
    StartWinsock();
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<u_short>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const bool connected = connect(s, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0;
    closesocket(s);
    return connected;
}

inline void PumpThreadMessages() {
    MSG message{};
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

// Polls the condition, letting this thread's messages run, for up to `milliseconds`.
inline bool WaitUntil(const std::function<bool()>& condition, DWORD milliseconds = 10000) {
    const DWORD start = GetTickCount();
    for (;;) {
        PumpThreadMessages();
        if (condition()) return true;
        if (GetTickCount() - start > milliseconds) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

inline bool ProcessEnded(HANDLE process) { return WaitForSingleObject(process, 0) == WAIT_OBJECT_0; }

inline KernelHandle OpenToWait(DWORD id) { return KernelHandle(OpenProcess(SYNCHRONIZE, FALSE, id)); }

// Processes of that name (any letter case) whose parent is `parent`.
inline std::vector<ProcessEntry> ChildrenNamed(DWORD parent, const std::string& name) {
    std::vector<ProcessEntry> found;
    for (const ProcessEntry& entry : TakeProcessSnapshot()) {
        if (entry.parentId == parent && ExeNamesEqual(entry.exeName, name, 0)) found.push_back(entry);
    }
    return found;
}

// A child process that runs until it is ended; its handles are held by the record.
struct Child {
    KernelHandle process;
    DWORD id = 0;
};

inline Child StartChild(const std::string& commandLine, const char* directory = nullptr) {
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION info{};
    Child child;
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, directory,
                        &startup, &info)) {
        return child;
    }
    CloseHandle(info.hThread);
    child.process.Reset(info.hProcess);
    child.id = info.dwProcessId;
    return child;
}

inline std::string ReadWholeFile(const std::string& path) {
    KernelHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, 0, nullptr));
    if (!file) return "<missing>";
    std::string bytes;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file.Get(), buffer, sizeof(buffer), &got, nullptr) && got > 0) bytes.append(buffer, got);
    return bytes;
}

}  // namespace vantaro::test
