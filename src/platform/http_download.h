#pragma once
#include <cstddef>
#include <optional>
#include <string>

namespace vantaro {

// One HTTP(S) GET into memory over a direct connection (never through the system proxy), with connect and
// receive time-outs and a size cap: a refused or failed connection, a time-out or a body over the cap is no
// body at all. The body is read whatever the status code, as a browser would show an error page.
struct DownloadLimits {
    size_t maxBytes;
    unsigned long connectTimeoutMs = 5000;
    unsigned long receiveTimeoutMs = 10000;
};
std::optional<std::string> DownloadDirect(const std::string& url, const DownloadLimits& limits);

// The same download with the response's status code, for callers that must not take an error page for
// content.
struct DownloadResponse {
    unsigned long status = 0;
    std::string body;
};
std::optional<DownloadResponse> DownloadDirectResponse(const std::string& url, const DownloadLimits& limits);

}  // namespace vantaro
