#include "net.h"

#include <cstring>

#ifdef _WIN32
#include <ws2tcpip.h>
#else
#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/select.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#endif

namespace vantaro::engine::net {
namespace {

#ifdef _WIN32
using SocketLength = int;
constexpr int kShutdownSend = SD_SEND;
int LastError() { return WSAGetLastError(); }
bool WouldBlock(int error) { return error == WSAEWOULDBLOCK || error == WSAEINPROGRESS; }
void CloseNative(NativeSocket handle) { closesocket(handle); }
bool SetBlocking(NativeSocket handle, bool blocking) {
    u_long nonBlocking = blocking ? 0 : 1;
    return ioctlsocket(handle, FIONBIO, &nonBlocking) == 0;
}
#else
using SocketLength = socklen_t;
constexpr int kShutdownSend = SHUT_WR;
int LastError() { return errno; }
bool WouldBlock(int error) { return error == EWOULDBLOCK || error == EAGAIN || error == EINPROGRESS; }
void CloseNative(NativeSocket handle) { close(handle); }
bool SetBlocking(NativeSocket handle, bool blocking) {
    int flags = fcntl(handle, F_GETFL, 0);
    if (flags < 0) return false;
    flags = blocking ? (flags & ~O_NONBLOCK) : (flags | O_NONBLOCK);
    return fcntl(handle, F_SETFL, flags) == 0;
}
#endif

std::string ErrorText(int error) {
#ifdef _WIN32
    switch (error) {
        case WSAECONNREFUSED:
            return "连接被拒绝";
        case WSAETIMEDOUT:
            return "连接超时";
        case WSAENETUNREACH:
            return "网络不可达";
        case WSAEHOSTUNREACH:
            return "主机不可达";
        case WSAEADDRINUSE:
            return "端口已被占用";
        case WSAEACCES:
            return "没有权限";
        default:
            return "错误 " + std::to_string(error);
    }
#else
    switch (error) {
        case ECONNREFUSED:
            return "连接被拒绝";
        case ETIMEDOUT:
            return "连接超时";
        case ENETUNREACH:
            return "网络不可达";
        case EHOSTUNREACH:
            return "主机不可达";
        case EADDRINUSE:
            return "端口已被占用";
        case EACCES:
            return "没有权限";
        default:
            return "错误 " + std::to_string(error);
    }
#endif
}

socks5::Reply ReplyFor(int error) {
#ifdef _WIN32
    if (error == WSAECONNREFUSED) return socks5::Reply::ConnectionRefused;
    if (error == WSAENETUNREACH) return socks5::Reply::NetworkUnreachable;
    if (error == WSAEHOSTUNREACH || error == WSAETIMEDOUT) return socks5::Reply::HostUnreachable;
#else
    if (error == ECONNREFUSED) return socks5::Reply::ConnectionRefused;
    if (error == ENETUNREACH) return socks5::Reply::NetworkUnreachable;
    if (error == EHOSTUNREACH || error == ETIMEDOUT) return socks5::Reply::HostUnreachable;
#endif
    return socks5::Reply::GeneralFailure;
}

timeval Milliseconds(int ms) {
    timeval tv;
    tv.tv_sec = ms / 1000;
    tv.tv_usec = (ms % 1000) * 1000;
    return tv;
}

// select() on POSIX cannot watch descriptors past FD_SETSIZE; such a socket is treated as failed.
bool Selectable(NativeSocket handle) {
#ifdef _WIN32
    (void)handle;
    return true;
#else
    return handle >= 0 && handle < FD_SETSIZE;
#endif
}

int SelectMaxPlusOne(NativeSocket a, NativeSocket b) {
#ifdef _WIN32
    (void)a;
    (void)b;
    return 0;
#else
    return (a > b ? a : b) + 1;
#endif
}

// Waits until the socket is readable (forWrite false) or writable; false on timeout or error.
bool Wait(NativeSocket handle, bool forWrite, int timeoutMs) {
    if (!Selectable(handle)) return false;
    fd_set set, errors;
    FD_ZERO(&set);
    FD_ZERO(&errors);
    FD_SET(handle, &set);
    FD_SET(handle, &errors);
    timeval tv = Milliseconds(timeoutMs);
    int ready = select(SelectMaxPlusOne(handle, handle), forWrite ? nullptr : &set, forWrite ? &set : nullptr,
                       &errors, &tv);
    return ready > 0;
}

void RecordLocalAddress(NativeSocket handle, ConnectResult& result) {
    sockaddr_storage local{};
    SocketLength length = sizeof local;
    if (getsockname(handle, reinterpret_cast<sockaddr*>(&local), &length) != 0) return;
    if (local.ss_family == AF_INET) {
        auto* v4 = reinterpret_cast<sockaddr_in*>(&local);
        auto* bytes = reinterpret_cast<const uint8_t*>(&v4->sin_addr);
        result.localAddress.assign(bytes, bytes + 4);
        result.localPort = ntohs(v4->sin_port);
    } else if (local.ss_family == AF_INET6) {
        auto* v6 = reinterpret_cast<sockaddr_in6*>(&local);
        auto* bytes = reinterpret_cast<const uint8_t*>(&v6->sin6_addr);
        result.localAddress.assign(bytes, bytes + 16);
        result.localPort = ntohs(v6->sin6_port);
    }
}

// One attempt; returns 0 or the socket error.
int ConnectOne(const addrinfo* address, int timeoutMs, Socket& out) {
    Socket socket(::socket(address->ai_family, address->ai_socktype, address->ai_protocol));
    if (!socket.Valid()) return LastError();
    if (!Selectable(socket.Handle()) || !SetBlocking(socket.Handle(), false)) return -1;
    if (::connect(socket.Handle(), address->ai_addr, static_cast<SocketLength>(address->ai_addrlen)) != 0) {
        int error = LastError();
        if (!WouldBlock(error)) return error;
        fd_set writable, failed;
        FD_ZERO(&writable);
        FD_ZERO(&failed);
        FD_SET(socket.Handle(), &writable);
        FD_SET(socket.Handle(), &failed);
        timeval tv = Milliseconds(timeoutMs);
        int ready =
            select(SelectMaxPlusOne(socket.Handle(), socket.Handle()), nullptr, &writable, &failed, &tv);
#ifdef _WIN32
        if (ready == 0) return WSAETIMEDOUT;
#else
        if (ready == 0) return ETIMEDOUT;
#endif
        if (ready < 0) return LastError();
        int socketError = 0;
        SocketLength length = sizeof socketError;
        getsockopt(socket.Handle(), SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&socketError), &length);
        if (socketError != 0) return socketError;
        if (!FD_ISSET(socket.Handle(), &writable)) return -1;
    }
    SetBlocking(socket.Handle(), true);
    int noDelay = 1;
    setsockopt(socket.Handle(), IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&noDelay),
               sizeof noDelay);
    out = std::move(socket);
    return 0;
}

}  // namespace

Socket& Socket::operator=(Socket&& other) noexcept {
    if (this != &other) {
        if (Valid()) CloseNative(handle_);
        handle_ = other.Release();
    }
    return *this;
}

Socket::~Socket() {
    if (Valid()) CloseNative(handle_);
}

NativeSocket Socket::InvalidHandle() {
#ifdef _WIN32
    return INVALID_SOCKET;
#else
    return -1;
#endif
}

bool Socket::Valid() const { return handle_ != InvalidHandle(); }

NativeSocket Socket::Release() {
    NativeSocket handle = handle_;
    handle_ = InvalidHandle();
    return handle;
}

bool Startup() {
#ifdef _WIN32
    WSADATA data;
    return WSAStartup(MAKEWORD(2, 2), &data) == 0;
#else
    std::signal(SIGPIPE, SIG_IGN);  // a write to a closed peer must fail, not end the process
    return true;
#endif
}

ListenResult ListenLoopback(uint16_t port) {
    ListenResult result;
    Socket socket(::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
    if (!socket.Valid()) {
        result.error = ErrorText(LastError());
        return result;
    }
    int on = 1;
#ifdef _WIN32
    // Without it another program could bind the same port with SO_REUSEADDR and take connections away.
    setsockopt(socket.Handle(), SOL_SOCKET, SO_EXCLUSIVEADDRUSE, reinterpret_cast<const char*>(&on),
               sizeof on);
#else
    setsockopt(socket.Handle(), SOL_SOCKET, SO_REUSEADDR, &on,
               sizeof on);  // restart while old connections linger
#endif
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (bind(socket.Handle(), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(socket.Handle(), 64) != 0) {
        int error = LastError();
#ifdef _WIN32
        result.addressInUse = error == WSAEADDRINUSE;
#else
        result.addressInUse = error == EADDRINUSE;
#endif
        result.error = ErrorText(error);
        return result;
    }
    result.socket = std::move(socket);
    return result;
}

Socket Accept(const Socket& listener) { return Socket(::accept(listener.Handle(), nullptr, nullptr)); }

ConnectResult Connect(const std::string& host, uint16_t port, int timeoutMs) {
    ConnectResult result;
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_protocol = IPPROTO_TCP;
    hints.ai_flags = AI_NUMERICSERV;
    addrinfo* addresses = nullptr;
    std::string service = std::to_string(port);
    if (getaddrinfo(host.c_str(), service.c_str(), &hints, &addresses) != 0 || addresses == nullptr) {
        result.failure = socks5::Reply::HostUnreachable;
        result.error = "无法解析主机名";
        return result;
    }
    int lastError = -1;
    for (const addrinfo* address = addresses; address != nullptr; address = address->ai_next) {
        lastError = ConnectOne(address, timeoutMs, result.socket);
        if (lastError == 0) break;
    }
    freeaddrinfo(addresses);
    if (lastError != 0) {
        result.failure = ReplyFor(lastError);
        result.error = ErrorText(lastError);
        return result;
    }
    RecordLocalAddress(result.socket.Handle(), result);
    return result;
}

int ReceiveSome(const Socket& socket, void* buffer, size_t size, int timeoutMs) {
    if (!Wait(socket.Handle(), false, timeoutMs)) return -1;
    int received = recv(socket.Handle(), static_cast<char*>(buffer), static_cast<int>(size), 0);
    return received < 0 ? -1 : received;
}

bool SendAll(const Socket& socket, const void* data, size_t size, int timeoutMs) {
    const char* bytes = static_cast<const char*>(data);
    while (size > 0) {
        if (!Wait(socket.Handle(), true, timeoutMs)) return false;
        int sent = send(socket.Handle(), bytes, static_cast<int>(size), 0);
        if (sent <= 0) return false;
        bytes += sent;
        size -= static_cast<size_t>(sent);
    }
    return true;
}

void FinishSending(const Socket& socket) {
    shutdown(socket.Handle(), kShutdownSend);
    char discard[4096];
    for (size_t total = 0; total < 1024 * 1024;) {
        int received = ReceiveSome(socket, discard, sizeof discard, 1000);
        if (received <= 0) break;
        total += static_cast<size_t>(received);
    }
}

namespace {

// One direction of a relay: bytes read from `from` wait in the buffer until `to` accepts them.
struct Direction {
    NativeSocket from;
    NativeSocket to;
    std::vector<char> buffer = std::vector<char>(16 * 1024);
    size_t start = 0;
    size_t end = 0;
    bool readClosed = false;
    bool done = false;  // read side closed and everything written and passed on as a half-close
    uint64_t moved = 0;

    bool Pending() const { return start < end; }
};

// Moves what it can without blocking; false on a hard error.
bool Step(Direction& d, const fd_set& readable, const fd_set& writable) {
    if (!d.readClosed && !d.Pending() && FD_ISSET(d.from, &readable)) {
        int received = recv(d.from, d.buffer.data(), static_cast<int>(d.buffer.size()), 0);
        if (received > 0) {
            d.start = 0;
            d.end = static_cast<size_t>(received);
        } else if (received == 0) {
            d.readClosed = true;
        } else if (!WouldBlock(LastError())) {
            return false;
        }
    }
    if (d.Pending() && FD_ISSET(d.to, &writable)) {
        int sent = send(d.to, d.buffer.data() + d.start, static_cast<int>(d.end - d.start), 0);
        if (sent > 0) {
            d.start += static_cast<size_t>(sent);
            d.moved += static_cast<uint64_t>(sent);
        } else if (sent < 0 && !WouldBlock(LastError())) {
            return false;
        }
    }
    if (d.readClosed && !d.Pending() && !d.done) {
        shutdown(d.to, kShutdownSend);
        d.done = true;
    }
    return true;
}

}  // namespace

RelayCounts Relay(const Socket& client, const Socket& server, int idleMs) {
    RelayCounts counts;
    if (!Selectable(client.Handle()) || !Selectable(server.Handle())) return counts;
    SetBlocking(client.Handle(), false);
    SetBlocking(server.Handle(), false);
    Direction up{client.Handle(), server.Handle()};
    Direction down{server.Handle(), client.Handle()};
    while (!(up.done && down.done)) {
        fd_set readable, writable;
        FD_ZERO(&readable);
        FD_ZERO(&writable);
        for (Direction* d : {&up, &down}) {
            if (!d->readClosed && !d->Pending()) FD_SET(d->from, &readable);
            if (d->Pending()) FD_SET(d->to, &writable);
        }
        timeval tv = Milliseconds(idleMs);
        int ready =
            select(SelectMaxPlusOne(client.Handle(), server.Handle()), &readable, &writable, nullptr, &tv);
        if (ready <= 0) break;
        if (!Step(up, readable, writable) || !Step(down, readable, writable)) break;
    }
    counts.clientToServer = up.moved;
    counts.serverToClient = down.moved;
    return counts;
}

}  // namespace vantaro::engine::net
