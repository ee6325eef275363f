#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace vantaro {

// The loopback PAC server's rules: a request is answered only when it is a GET of the one secret path.
enum class PacRequestVerdict { kIncomplete, kServe, kNotFound, kMethodNotAllowed, kBadRequest };

// The most a request's head may take; a longer one is refused.
constexpr size_t kPacRequestMaxBytes = 8192;

// Judges the bytes received so far; kIncomplete until the head (request line and headers) has ended.
PacRequestVerdict JudgePacRequest(std::string_view received, std::string_view secretPath);

// The whole HTTP/1.1 response for a verdict other than kIncomplete; only kServe carries the PAC text.
std::string PacHttpResponse(PacRequestVerdict verdict, std::string_view pacText);

// Lower-case hexadecimal, two digits per byte.
std::string HexText(const unsigned char* bytes, size_t count);

std::string PacServerUrl(uint16_t port, std::string_view secretPath);

}  // namespace vantaro
