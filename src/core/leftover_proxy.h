#pragma once
#include <string_view>

namespace vantaro {

// Whether Internet settings found at startup are exactly what this program writes, so that a killed
// instance's settings can be repaired without touching anything another program set.

// "http://127.0.0.1:<port>/<32 lower-case hex digits>" (the loopback PAC server), or the older
// "file://" + engine directory + "pac".
bool IsOwnAutoConfigUrl(std::string_view url, std::string_view engineDirectory);

// "127.0.0.1:" + the saved local port.
bool IsOwnProxyServer(std::string_view proxyServer, std::string_view localPort);

}  // namespace vantaro
