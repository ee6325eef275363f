#include "platform/http_download.h"

#include <windows.h>
#include <wininet.h>

namespace vantaro {
namespace {

class InternetHandle {
  public:
    explicit InternetHandle(HINTERNET handle) : handle_(handle) {}
    ~InternetHandle() {
        if (handle_) InternetCloseHandle(handle_);
    }
    InternetHandle(const InternetHandle&) = delete;
    InternetHandle& operator=(const InternetHandle&) = delete;
    HINTERNET Get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }

  private:
    HINTERNET handle_;
};

struct UrlParts {
    std::string host;
    INTERNET_PORT port = 0;
    std::string path;
    bool secure = false;
};

bool SplitUrl(const std::string& url, UrlParts& parts) {
    char host[INTERNET_MAX_HOST_NAME_LENGTH] = {};
    char path[INTERNET_MAX_PATH_LENGTH] = {};
    char extra[INTERNET_MAX_PATH_LENGTH] = {};
    URL_COMPONENTSA components{};
    components.dwStructSize = sizeof(components);
    components.lpszHostName = host;
    components.dwHostNameLength = sizeof(host);
    components.lpszUrlPath = path;
    components.dwUrlPathLength = sizeof(path);
    components.lpszExtraInfo = extra;
    components.dwExtraInfoLength = sizeof(extra);
    if (!InternetCrackUrlA(url.c_str(), static_cast<DWORD>(url.size()), 0, &components)) return false;
    if (components.nScheme != INTERNET_SCHEME_HTTP && components.nScheme != INTERNET_SCHEME_HTTPS)
        return false;
    parts.host = host;
    parts.port = components.nPort;
    parts.path = std::string(path) + extra;
    if (parts.path.empty()) parts.path = "/";
    parts.secure = components.nScheme == INTERNET_SCHEME_HTTPS;
    return !parts.host.empty();
}

void SetTimeouts(HINTERNET handle, const DownloadLimits& limits) {
    DWORD connect = limits.connectTimeoutMs;
    DWORD receive = limits.receiveTimeoutMs;
    InternetSetOptionA(handle, INTERNET_OPTION_CONNECT_TIMEOUT, &connect, sizeof(connect));
    InternetSetOptionA(handle, INTERNET_OPTION_SEND_TIMEOUT, &receive, sizeof(receive));
    InternetSetOptionA(handle, INTERNET_OPTION_RECEIVE_TIMEOUT, &receive, sizeof(receive));
}

std::optional<unsigned long> StatusCode(HINTERNET request) {
    DWORD status = 0;
    DWORD size = sizeof(status);
    if (!HttpQueryInfoA(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr)) {
        return std::nullopt;
    }
    return status;
}

// A declared length over the cap fails before anything is read.
bool DeclaredLengthTooLarge(HINTERNET request, size_t maxBytes) {
    char text[32] = {};
    DWORD size = sizeof(text);
    if (!HttpQueryInfoA(request, HTTP_QUERY_CONTENT_LENGTH, text, &size, nullptr)) return false;
    unsigned long long length = 0;
    for (const char* c = text; *c >= '0' && *c <= '9'; ++c) {
        length = length * 10 + static_cast<unsigned>(*c - '0');
        if (length > maxBytes) return true;
    }
    return false;
}

std::optional<std::string> ReadBody(HINTERNET request, size_t maxBytes) {
    std::string body;
    char chunk[16384];
    for (;;) {
        DWORD read = 0;
        if (!InternetReadFile(request, chunk, sizeof(chunk), &read)) return std::nullopt;
        if (read == 0) return body;
        if (body.size() + read > maxBytes) return std::nullopt;
        body.append(chunk, read);
    }
}

}  // namespace

std::optional<DownloadResponse> DownloadDirectResponse(const std::string& url, const DownloadLimits& limits) {
    UrlParts parts;
    if (!SplitUrl(url, parts)) return std::nullopt;
    InternetHandle session(InternetOpenA("vantaro Tools", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0));
    if (!session) return std::nullopt;
    SetTimeouts(session.Get(), limits);
    InternetHandle connection(InternetConnectA(session.Get(), parts.host.c_str(), parts.port, nullptr,
                                               nullptr, INTERNET_SERVICE_HTTP, 0, 0));
    if (!connection) return std::nullopt;
    const char* acceptTypes[] = {"*/*", nullptr};
    DWORD flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_PRAGMA_NOCACHE |
                  INTERNET_FLAG_NO_COOKIES | INTERNET_FLAG_NO_UI;
    if (parts.secure) flags |= INTERNET_FLAG_SECURE;
    InternetHandle request(HttpOpenRequestA(connection.Get(), "GET", parts.path.c_str(), "HTTP/1.0", nullptr,
                                            acceptTypes, flags, 0));
    if (!request) return std::nullopt;
    SetTimeouts(request.Get(), limits);
    if (!HttpSendRequestA(request.Get(), nullptr, 0, nullptr, 0)) return std::nullopt;
    const std::optional<unsigned long> status = StatusCode(request.Get());
    if (!status) return std::nullopt;
    if (DeclaredLengthTooLarge(request.Get(), limits.maxBytes)) return std::nullopt;
    std::optional<std::string> body = ReadBody(request.Get(), limits.maxBytes);
    if (!body) return std::nullopt;
    return DownloadResponse{*status, std::move(*body)};
}

std::optional<std::string> DownloadDirect(const std::string& url, const DownloadLimits& limits) {
    std::optional<DownloadResponse> response = DownloadDirectResponse(url, limits);
    if (!response) return std::nullopt;
    return std::move(response->body);
}

}  // namespace vantaro
