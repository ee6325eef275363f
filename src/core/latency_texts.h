#pragma once
#include <string>
#include <string_view>

namespace vantaro {

// The host a latency test pings: the tray item follows the running engine's server while it runs; the button,
// and the tray item while stopped, take the IP box as it is.
std::string LatencyHost(bool fromTray, bool engineRunning, std::string_view ipBox, std::string_view runningServerIp);

// Balloon texts of one test; roundTripMs is 0 or more.
std::string LatencySuccessTitle();
std::string LatencySuccessText(std::string_view host, int roundTripMs);
std::string LatencyTimeoutTitle();
std::string LatencyTimeoutText(std::string_view host);

}  // namespace vantaro
