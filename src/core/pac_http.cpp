#include "core/pac_http.h"

namespace vantaro {
namespace {

size_t HeadEnd(std::string_view received) {
    const size_t crlf = received.find("\r\n\r\n");
    const size_t lf = received.find("\n\n");
    if (crlf == std::string_view::npos) return lf;
    if (lf == std::string_view::npos) return crlf;
    return crlf < lf ? crlf : lf;
}

}  // namespace

PacRequestVerdict JudgePacRequest(std::string_view received, std::string_view secretPath) {
    if (HeadEnd(received) == std::string_view::npos) {
        return received.size() >= kPacRequestMaxBytes ? PacRequestVerdict::kBadRequest
                                                      : PacRequestVerdict::kIncomplete;
    }
    std::string_view line = received.substr(0, received.find('\n'));
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const size_t firstSpace = line.find(' ');
    if (firstSpace == std::string_view::npos) return PacRequestVerdict::kBadRequest;
    const size_t secondSpace = line.find(' ', firstSpace + 1);
    if (secondSpace == std::string_view::npos) return PacRequestVerdict::kBadRequest;
    const std::string_view method = line.substr(0, firstSpace);
    const std::string_view target = line.substr(firstSpace + 1, secondSpace - firstSpace - 1);
    const std::string_view version = line.substr(secondSpace + 1);
    if (method.empty() || target.empty() || version.substr(0, 5) != "HTTP/")
        return PacRequestVerdict::kBadRequest;
    if (method != "GET") return PacRequestVerdict::kMethodNotAllowed;
    if (secretPath.empty() || target != secretPath) return PacRequestVerdict::kNotFound;
    return PacRequestVerdict::kServe;
}

std::string PacHttpResponse(PacRequestVerdict verdict, std::string_view pacText) {
    std::string status;
    std::string extra;
    std::string_view body;
    switch (verdict) {
        case PacRequestVerdict::kServe:
            status = "200 OK";
            extra = "Content-Type: application/x-ns-proxy-autoconfig\r\nCache-Control: no-store\r\n";
            body = pacText;
            break;
        case PacRequestVerdict::kMethodNotAllowed:
            status = "405 Method Not Allowed";
            extra = "Allow: GET\r\n";
            break;
        case PacRequestVerdict::kNotFound:
            status = "404 Not Found";
            break;
        default:
            status = "400 Bad Request";
            break;
    }
    return "HTTP/1.1 " + status + "\r\n" + extra + "Content-Length: " + std::to_string(body.size()) +
           "\r\nConnection: close\r\n\r\n" + std::string(body);
}

std::string HexText(const unsigned char* bytes, size_t count) {
    static const char kDigits[] = "0123456789abcdef";
    std::string text;
    text.reserve(count * 2);
    for (size_t i = 0; i < count; ++i) {
        text += kDigits[bytes[i] >> 4];
        text += kDigits[bytes[i] & 0x0F];
    }
    return text;
}

std::string PacServerUrl(uint16_t port, std::string_view secretPath) {
    return "http://127.0.0.1:" + std::to_string(port) + std::string(secretPath);
}

}  // namespace vantaro
