#pragma once
#include <cstdint>

#include "net.h"

namespace vantaro::engine {

struct SessionTimeouts {
    int handshakeMs = 10000;  // the whole greeting/request phase of a client
    int connectMs = 10000;    // each address of the destination
    int idleMs = 600000;      // a relay in which nothing moves
};

// Serves one accepted client: SOCKS5 when its first byte is 0x05, an HTTP proxy request otherwise.
void ServeClient(net::Socket client, uint64_t id, const SessionTimeouts& timeouts);

}  // namespace vantaro::engine
