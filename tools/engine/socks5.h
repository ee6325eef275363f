#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vantaro::engine::socks5 {

constexpr uint8_t kVersion = 0x05;
constexpr uint8_t kMethodNoAuthentication = 0x00;
constexpr uint8_t kMethodNoneAcceptable = 0xFF;
constexpr uint8_t kCommandConnect = 0x01;
constexpr uint8_t kAddressIPv4 = 0x01;
constexpr uint8_t kAddressDomain = 0x03;
constexpr uint8_t kAddressIPv6 = 0x04;

enum class Reply : uint8_t {
    Succeeded = 0x00,
    GeneralFailure = 0x01,
    NetworkUnreachable = 0x03,
    HostUnreachable = 0x04,
    ConnectionRefused = 0x05,
    CommandNotSupported = 0x07,
    AddressTypeNotSupported = 0x08,
};

enum class ParseStatus { NeedMore, Complete, Invalid };

struct Greeting {
    ParseStatus status = ParseStatus::NeedMore;
    size_t consumed = 0;
    bool offersNoAuthentication = false;
};

// The client's first message: VER NMETHODS METHODS...
Greeting ParseGreeting(const uint8_t* data, size_t size);

struct Request {
    ParseStatus status = ParseStatus::NeedMore;
    size_t consumed = 0;
    uint8_t command = 0;
    uint8_t addressType = 0;
    std::string host;  // dotted IPv4, IPv6 text without brackets, or the domain's bytes
    uint16_t port = 0;
    Reply failure =
        Reply::GeneralFailure;  // what to answer when status is Invalid or the request cannot be served
};

// VER CMD RSV ATYP DST.ADDR DST.PORT. Invalid when the version is wrong, the address type unknown
// (failure = AddressTypeNotSupported) or the domain empty or not a host name (failure = HostUnreachable).
Request ParseRequest(const uint8_t* data, size_t size);

// VER REP RSV ATYP BND.ADDR BND.PORT; address is 4 or 16 bytes (anything else is sent as 0.0.0.0).
std::vector<uint8_t> BuildReply(Reply reply, const std::vector<uint8_t>& boundAddress = {},
                                uint16_t boundPort = 0);

// Letters, digits, '-', '_' and '.', 1..255 bytes: the names worth handing to the resolver.
bool IsPlausibleHostName(std::string_view name);

std::string FormatIPv4(const uint8_t* bytes);
// RFC 5952 text: lower case, the longest run of two or more zero groups shortened to "::".
std::string FormatIPv6(const uint8_t* bytes);

}  // namespace vantaro::engine::socks5
