#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vantaro::engine::http {

constexpr size_t kMaxHeadSize = 16 * 1024;
constexpr size_t kMaxHeaderCount = 100;

// Where the request head ends (just past the blank line, CRLF or bare LF), or npos while incomplete.
size_t FindHeadEnd(std::string_view buffer);

struct RequestHead {
    std::string method;
    std::string target;
    std::string version;                                       // "HTTP/1.0", "HTTP/1.1"
    std::vector<std::pair<std::string, std::string>> headers;  // names as sent, values trimmed
};

// The head up to and including its blank line. Rejects a malformed request line, a header without a name or
// colon, folded lines, and more than kMaxHeaderCount headers.
std::optional<RequestHead> ParseRequestHead(std::string_view head);

struct Authority {
    std::string host;  // IPv6 without brackets
    uint16_t port = 0;
};

// "host:port", "[v6]:port"; without a port the default is used, or it fails when defaultPort is 0.
std::optional<Authority> ParseAuthority(std::string_view text, uint16_t defaultPort);

struct AbsoluteUri {
    Authority authority;
    std::string authorityText;  // as written, for the Host header
    std::string originForm;     // path and query, "/" at least; the fragment dropped
};

// "http://authority/path?query" (scheme case-insensitive; no user info; only http, a proxy cannot speak TLS
// here).
std::optional<AbsoluteUri> ParseAbsoluteUri(std::string_view target);

// The head sent to the origin: origin-form target, Host from the URI, Proxy-* and hop-by-hop headers
// (Connection, Keep-Alive and those Connection names) dropped, "Connection: close" added.
std::string RewriteForOrigin(const RequestHead& request, const AbsoluteUri& uri);

// A complete short response with a text body, closing the connection.
std::string ErrorResponse(int status, std::string_view reason, std::string_view body);

bool EqualsIgnoringCase(std::string_view a, std::string_view b);

}  // namespace vantaro::engine::http
