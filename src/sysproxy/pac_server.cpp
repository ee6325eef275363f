#include "sysproxy/pac_server.h"

// bcrypt.h needs the types of windows.h, and winsock2.h comes before windows.h.
// clang-format off
#include <winsock2.h>
#include <windows.h>
#include <bcrypt.h>
// clang-format on

#include <cstdint>
#include <mutex>

#include "core/pac_http.h"

namespace vantaro {
namespace {

constexpr DWORD kRequestTimeMs = 3000;  // a client gets this long to send its request head
constexpr DWORD kDrainTimeMs = 300;

struct ServerState {
    std::mutex mutex;
    std::string text;      // guarded by mutex
    bool serving = false;  // guarded by mutex
    bool started = false;  // GUI thread only
    SOCKET listener = INVALID_SOCKET;
    std::string path;
    std::string url;
};

ServerState& State() {
    static ServerState* state = new ServerState;  // lives for the process, as its thread does
    return *state;
}

bool RandomPath(std::string& path) {
    unsigned char bytes[16] = {};
    if (!BCRYPT_SUCCESS(BCryptGenRandom(nullptr, bytes, sizeof(bytes), BCRYPT_USE_SYSTEM_PREFERRED_RNG))) {
        return false;
    }
    path = "/" + HexText(bytes, sizeof(bytes));
    return true;
}

// Waits up to `ms` for the socket to become readable.
bool WaitReadable(SOCKET socket, DWORD ms) {
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(socket, &readable);
    timeval wait{static_cast<long>(ms / 1000), static_cast<long>(ms % 1000) * 1000};
    return select(0, &readable, nullptr, nullptr, &wait) == 1;
}

std::string ReadRequestHead(SOCKET client, const std::string& path, PacRequestVerdict& verdict) {
    std::string received;
    const ULONGLONG deadline = GetTickCount64() + kRequestTimeMs;
    verdict = PacRequestVerdict::kIncomplete;
    char chunk[2048];
    while (verdict == PacRequestVerdict::kIncomplete) {
        const ULONGLONG now = GetTickCount64();
        if (now >= deadline || !WaitReadable(client, static_cast<DWORD>(deadline - now))) break;
        const size_t room = kPacRequestMaxBytes - received.size();
        const int got = recv(client, chunk, static_cast<int>(room < sizeof(chunk) ? room : sizeof(chunk)), 0);
        if (got <= 0) break;
        received.append(chunk, static_cast<size_t>(got));
        verdict = JudgePacRequest(received, path);
    }
    return received;
}

void SendAll(SOCKET client, const std::string& bytes) {
    size_t sent = 0;
    while (sent < bytes.size()) {
        const int n = send(client, bytes.data() + sent, static_cast<int>(bytes.size() - sent), 0);
        if (n <= 0) return;
        sent += static_cast<size_t>(n);
    }
}

// Ends the connection so that the answer is not lost to a reset: no more sending, read what the client still
// sends for a moment, then close.
void CloseGracefully(SOCKET client) {
    shutdown(client, SD_SEND);
    char sink[1024];
    const ULONGLONG deadline = GetTickCount64() + kDrainTimeMs;
    for (ULONGLONG now; (now = GetTickCount64()) < deadline;) {
        if (!WaitReadable(client, static_cast<DWORD>(deadline - now))) break;
        if (recv(client, sink, sizeof(sink), 0) <= 0) break;
    }
    closesocket(client);
}

void AnswerClient(SOCKET client) {
    ServerState& state = State();
    DWORD sendTimeout = kRequestTimeMs;
    setsockopt(client, SOL_SOCKET, SO_SNDTIMEO, reinterpret_cast<const char*>(&sendTimeout),
               sizeof(sendTimeout));
    PacRequestVerdict verdict;
    ReadRequestHead(client, state.path, verdict);
    if (verdict != PacRequestVerdict::kIncomplete) {
        std::string text;
        if (verdict == PacRequestVerdict::kServe) {
            std::lock_guard<std::mutex> lock(state.mutex);
            if (state.serving) {
                text = state.text;
            } else {
                verdict = PacRequestVerdict::kNotFound;
            }
        }
        SendAll(client, PacHttpResponse(verdict, text));
    }
    CloseGracefully(client);
}

DWORD WINAPI ServeConnections(LPVOID) {
    const SOCKET listener = State().listener;
    for (;;) {
        const SOCKET client = accept(listener, nullptr, nullptr);
        if (client == INVALID_SOCKET) {
            if (WSAGetLastError() == WSAENOTSOCK || WSAGetLastError() == WSAEINVAL) return 0;
            Sleep(50);  // out of resources for a moment: do not spin
            continue;
        }
        AnswerClient(client);
    }
}

bool StartListener(ServerState& state) {
    WSADATA data;
    if (WSAStartup(MAKEWORD(2, 2), &data) != 0) return false;
    std::string path;
    if (!RandomPath(path)) return false;
    const SOCKET listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (listener == INVALID_SOCKET) return false;
    BOOL exclusive = TRUE;
    setsockopt(listener, SOL_SOCKET, SO_EXCLUSIVEADDRUSE, reinterpret_cast<const char*>(&exclusive),
               sizeof(exclusive));
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    int length = sizeof(address);
    if (bind(listener, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0 ||
        listen(listener, 16) != 0 ||
        getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        closesocket(listener);
        return false;
    }
    state.listener = listener;
    state.path = path;
    state.url = PacServerUrl(ntohs(address.sin_port), path);
    HANDLE thread = CreateThread(nullptr, 0, ServeConnections, nullptr, 0, nullptr);
    if (thread == nullptr) {
        closesocket(listener);
        state.listener = INVALID_SOCKET;
        return false;
    }
    CloseHandle(thread);
    return true;
}

}  // namespace

std::string ServePacText(const std::string& text) {
    ServerState& state = State();
    if (!state.started) {
        if (!StartListener(state)) return {};
        state.started = true;
    }
    std::lock_guard<std::mutex> lock(state.mutex);
    state.text = text;
    state.serving = true;
    return state.url;
}

void WithdrawPacText() {
    ServerState& state = State();
    std::lock_guard<std::mutex> lock(state.mutex);
    state.serving = false;
    state.text.clear();
}

}  // namespace vantaro
