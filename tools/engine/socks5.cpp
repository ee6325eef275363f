#include "socks5.h"

#include <cstdio>

namespace vantaro::engine::socks5 {
namespace {

bool IsIPv4Mapped(const uint8_t* bytes) {
    for (int i = 0; i < 10; ++i) {
        if (bytes[i] != 0) return false;
    }
    return bytes[10] == 0xFF && bytes[11] == 0xFF;
}

}  // namespace

Greeting ParseGreeting(const uint8_t* data, size_t size) {
    Greeting greeting;
    if (size < 2) return greeting;
    if (data[0] != kVersion) {
        greeting.status = ParseStatus::Invalid;
        return greeting;
    }
    size_t methods = data[1];
    if (size < 2 + methods) return greeting;
    for (size_t i = 0; i < methods; ++i) {
        if (data[2 + i] == kMethodNoAuthentication) greeting.offersNoAuthentication = true;
    }
    greeting.status = ParseStatus::Complete;
    greeting.consumed = 2 + methods;
    return greeting;
}

Request ParseRequest(const uint8_t* data, size_t size) {
    Request request;
    if (size < 4) return request;
    if (data[0] != kVersion) {
        request.status = ParseStatus::Invalid;
        return request;
    }
    request.command = data[1];
    request.addressType = data[3];
    size_t addressEnd = 0;
    switch (request.addressType) {
        case kAddressIPv4:
            addressEnd = 4 + 4;
            if (size < addressEnd + 2) return request;
            request.host = FormatIPv4(data + 4);
            break;
        case kAddressIPv6:
            addressEnd = 4 + 16;
            if (size < addressEnd + 2) return request;
            // An IPv4-mapped address is dialled as IPv4: Windows sockets are IPv6-only by default.
            if (IsIPv4Mapped(data + 4)) {
                request.host = FormatIPv4(data + 4 + 12);
            } else {
                request.host = FormatIPv6(data + 4);
            }
            break;
        case kAddressDomain: {
            if (size < 5) return request;
            size_t length = data[4];
            addressEnd = 5 + length;
            if (size < addressEnd + 2) return request;
            request.host.assign(reinterpret_cast<const char*>(data + 5), length);
            if (!IsPlausibleHostName(request.host)) {
                request.status = ParseStatus::Invalid;
                request.failure = Reply::HostUnreachable;
                request.consumed = addressEnd + 2;
                return request;
            }
            break;
        }
        default:
            request.status = ParseStatus::Invalid;
            request.failure = Reply::AddressTypeNotSupported;
            return request;
    }
    request.port = static_cast<uint16_t>((data[addressEnd] << 8) | data[addressEnd + 1]);
    request.consumed = addressEnd + 2;
    request.status = ParseStatus::Complete;
    if (request.command != kCommandConnect) request.failure = Reply::CommandNotSupported;
    return request;
}

std::vector<uint8_t> BuildReply(Reply reply, const std::vector<uint8_t>& boundAddress, uint16_t boundPort) {
    std::vector<uint8_t> message{kVersion, static_cast<uint8_t>(reply), 0x00};
    if (boundAddress.size() == 16) {
        message.push_back(kAddressIPv6);
        message.insert(message.end(), boundAddress.begin(), boundAddress.end());
    } else {
        message.push_back(kAddressIPv4);
        if (boundAddress.size() == 4) {
            message.insert(message.end(), boundAddress.begin(), boundAddress.end());
        } else {
            message.insert(message.end(), 4, 0);
        }
    }
    message.push_back(static_cast<uint8_t>(boundPort >> 8));
    message.push_back(static_cast<uint8_t>(boundPort & 0xFF));
    return message;
}

bool IsPlausibleHostName(std::string_view name) {
    if (name.empty() || name.size() > 255) return false;
    for (char c : name) {
        bool allowed = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                       c == '-' || c == '_' || c == '.';
        if (!allowed) return false;
    }
    return true;
}

std::string FormatIPv4(const uint8_t* bytes) {
    char text[16];
    std::snprintf(text, sizeof text, "%u.%u.%u.%u", bytes[0], bytes[1], bytes[2], bytes[3]);
    return text;
}

std::string FormatIPv6(const uint8_t* bytes) {
    unsigned groups[8];
    for (int i = 0; i < 8; ++i) groups[i] = (static_cast<unsigned>(bytes[2 * i]) << 8) | bytes[2 * i + 1];
    int bestStart = -1, bestLength = 0;
    for (int i = 0; i < 8;) {
        if (groups[i] != 0) {
            ++i;
            continue;
        }
        int start = i;
        while (i < 8 && groups[i] == 0) ++i;
        if (i - start > bestLength) {
            bestStart = start;
            bestLength = i - start;
        }
    }
    if (bestLength < 2) bestStart = -1;
    std::string text;
    for (int i = 0; i < 8; ++i) {
        if (i == bestStart) {
            text += "::";
            i += bestLength - 1;
            continue;
        }
        if (!text.empty() && text.back() != ':') text += ':';
        char group[5];
        std::snprintf(group, sizeof group, "%x", groups[i]);
        text += group;
    }
    return text;
}

}  // namespace vantaro::engine::socks5
