#pragma once
#include <optional>
#include <string>

namespace vantaro {

// Winsock 1.1 for the host-name look-up, started once per process; false when it could not be started (the
// next call tries again).
bool StartWinsockOnce();

// The IPv4 address (network byte order) of a dotted address, or of a host name through gethostbyname (its
// first address). nullopt when the name does not resolve.
std::optional<unsigned long> ResolveIpv4(const std::string& host);

// One ICMP echo request through "icmp.dll" (loaded once per process): no data, no IP options, a 36-byte reply
// buffer. The round-trip time of the first reply in milliseconds, or -1 for no reply, a missing library or a
// missing function. A reply that is not an echo answer (a router's "destination unreachable" arrives as a reply
// with an error status) is no answer either: its time says nothing about the server.
int SendIcmpEcho(unsigned long address, unsigned long timeoutMs);

}  // namespace vantaro
