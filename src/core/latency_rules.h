#pragma once
#include <string>
#include <string_view>

namespace vantaro {

// The host a latency test pings: the tray item follows the running engine's server while it runs; the button,
// and the tray item while stopped, take the IP box as it is.
std::string LatencyHost(bool fromTray, bool engineRunning, std::string_view ipBox,
                        std::string_view runningServerIp);

// The result of one echo from what the ICMP library returned: the round-trip time of the first reply, or -1
// when there was none or when it carries an error status (a router's "destination unreachable" comes back as
// a reply too, and its time says nothing about the server).
int EchoResult(unsigned long replyCount, unsigned long firstReplyStatus, unsigned long firstReplyRoundTripMs);

// Balloon texts of one test; roundTripMs is 0 or more.
std::string LatencySuccessTitle();
std::string LatencySuccessText(std::string_view host, int roundTripMs);
std::string LatencyTimeoutTitle();
std::string LatencyTimeoutText(std::string_view host);

}  // namespace vantaro
