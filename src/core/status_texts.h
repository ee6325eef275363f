#pragma once
#include <string>
#include <string_view>

namespace vantaro {

// The tray tip for the engine's state; the address is the local port's text at that moment.
std::string TrayTipText(bool running, std::string_view localPort);
// "127.0.0.1:" + port, as balloons, tips and the proxy settings show the local listener.
std::string LocalListenerAddress(std::string_view localPort);

}  // namespace vantaro
