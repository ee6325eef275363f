#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "socks5.h"

#ifdef _WIN32
#include <winsock2.h>
#endif

namespace vantaro::engine::net {

#ifdef _WIN32
using NativeSocket = SOCKET;
#else
using NativeSocket = int;
#endif

// An owned socket; closed on destruction.
class Socket {
  public:
    Socket() = default;
    explicit Socket(NativeSocket handle) : handle_(handle) {}
    Socket(Socket&& other) noexcept : handle_(other.Release()) {}
    Socket& operator=(Socket&& other) noexcept;
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;
    ~Socket();

    bool Valid() const;
    NativeSocket Handle() const { return handle_; }
    NativeSocket Release();

  private:
    NativeSocket handle_ = InvalidHandle();
    static NativeSocket InvalidHandle();
};

bool Startup();

struct ListenResult {
    Socket socket;
    bool addressInUse = false;
    std::string error;  // UTF-8
};

// A listening socket on 127.0.0.1:port only.
ListenResult ListenLoopback(uint16_t port);

Socket Accept(const Socket& listener);

struct ConnectResult {
    Socket socket;
    socks5::Reply failure = socks5::Reply::Succeeded;
    std::string error;                  // UTF-8, when failed
    std::vector<uint8_t> localAddress;  // 4 or 16 bytes, for the SOCKS5 reply
    uint16_t localPort = 0;
};

// Resolves host (name or numeric) and tries each address in turn, each within timeoutMs.
ConnectResult Connect(const std::string& host, uint16_t port, int timeoutMs);

// > 0 bytes read, 0 at the end of the stream, -1 on error or when nothing arrives within timeoutMs.
int ReceiveSome(const Socket& socket, void* buffer, size_t size, int timeoutMs);

bool SendAll(const Socket& socket, const void* data, size_t size, int timeoutMs);

// Stops sending and reads what the client still sends (bounded), so an early answer such as a 400 is not lost
// to a reset caused by unread request bytes.
void FinishSending(const Socket& socket);

struct RelayCounts {
    uint64_t clientToServer = 0;
    uint64_t serverToClient = 0;
};

// Copies both directions until both ends are closed (half-closes are passed on) or nothing moves for idleMs.
RelayCounts Relay(const Socket& client, const Socket& server, int idleMs);

}  // namespace vantaro::engine::net
