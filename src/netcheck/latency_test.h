#pragma once
#include <string>

namespace vantaro {

// One ICMP echo: the round-trip time in milliseconds, or -1 for no answer, an unresolved name or no ICMP
// library.
int EchoRoundTrip(const std::string& host, unsigned long timeoutMs);

// Pings host with one retry and reports the result as a tray balloon; an empty host gets the message box.
void PingServer(const std::string& host, unsigned long timeoutMs);

// The worker thread's routine: the host was chosen on the GUI thread when the test was asked for.
void TestLatency(const std::string& host);

}  // namespace vantaro
