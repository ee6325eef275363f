#include "core/leftover_proxy.h"

#include <string>

namespace vantaro {
namespace {

bool IsPortText(std::string_view text) {
    if (text.empty() || text.size() > 5 || text.front() == '0') return false;
    unsigned value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + static_cast<unsigned>(c - '0');
    }
    return value <= 65535;
}

bool IsSecretPath(std::string_view text) {
    if (text.size() != 32) return false;
    for (char c : text) {
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
    }
    return true;
}

}  // namespace

bool IsOwnAutoConfigUrl(std::string_view url, std::string_view engineDirectory) {
    constexpr std::string_view kLoopback = "http://127.0.0.1:";
    if (url.substr(0, kLoopback.size()) == kLoopback) {
        const std::string_view rest = url.substr(kLoopback.size());
        const size_t slash = rest.find('/');
        return slash != std::string_view::npos && IsPortText(rest.substr(0, slash)) &&
               IsSecretPath(rest.substr(slash + 1));
    }
    return !engineDirectory.empty() && url == "file://" + std::string(engineDirectory) + "pac";
}

bool IsOwnProxyServer(std::string_view proxyServer, std::string_view localPort) {
    return !localPort.empty() && proxyServer == "127.0.0.1:" + std::string(localPort);
}

}  // namespace vantaro
