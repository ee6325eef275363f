#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace vantaro {

// The WinINet connection-settings record: 32-bit little-endian integers, strings without a terminating zero.

// Automatic configuration by PAC url: version 0x46, counter, flags 0x05 (0x01 for an empty url), no proxy, no
// bypass list, the url, 32 zero bytes. 56 + url length bytes.
std::string PacConnectionRecord(std::string_view url, uint32_t counter);

// Direct connection, counter 1: the record written when the PAC setting is removed. 56 bytes.
std::string ClearedPacConnectionRecord();

// Fixed proxy: version 0x3C, counter 1, flags 0x03, the proxy "host:port", 36 zero bytes. 52 + proxy length bytes.
std::string ProxyConnectionRecord(std::string_view proxy);

}  // namespace vantaro
