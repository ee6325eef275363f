#include "http_request.h"

#include "socks5.h"

namespace vantaro::engine::http {
namespace {

bool IsTokenChar(char c) {
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) return true;
    return std::string_view("!#$%&'*+-.^_`|~").find(c) != std::string_view::npos;
}

bool IsToken(std::string_view text) {
    if (text.empty()) return false;
    for (char c : text) {
        if (!IsTokenChar(c)) return false;
    }
    return true;
}

bool IsVisible(std::string_view text) {
    for (char c : text) {
        auto byte = static_cast<unsigned char>(c);
        if (byte <= 0x20 || byte == 0x7F) return false;
    }
    return !text.empty();
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && EqualsIgnoringCase(text.substr(0, prefix.size()), prefix);
}

std::optional<uint16_t> ParsePort(std::string_view digits) {
    if (digits.empty() || digits.size() > 5) return std::nullopt;
    unsigned value = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + static_cast<unsigned>(c - '0');
    }
    if (value < 1 || value > 65535) return std::nullopt;
    return static_cast<uint16_t>(value);
}

bool IsIPv6Text(std::string_view text) {
    if (text.size() < 2 || text.size() > 45) return false;
    for (char c : text) {
        bool allowed = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F') ||
                       c == ':' || c == '.';
        if (!allowed) return false;
    }
    return text.find(':') != std::string_view::npos;
}

}  // namespace

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

size_t FindHeadEnd(std::string_view buffer) {
    for (size_t i = 0; i < buffer.size(); ++i) {
        if (buffer[i] != '\n') continue;
        if (i + 1 < buffer.size() && buffer[i + 1] == '\n') return i + 2;
        if (i + 2 < buffer.size() && buffer[i + 1] == '\r' && buffer[i + 2] == '\n') return i + 3;
    }
    return std::string_view::npos;
}

std::optional<RequestHead> ParseRequestHead(std::string_view head) {
    std::vector<std::string_view> lines;
    while (!head.empty()) {
        size_t newline = head.find('\n');
        std::string_view line = head.substr(0, newline);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.empty()) break;
        lines.push_back(line);
        if (newline == std::string_view::npos) break;
        head.remove_prefix(newline + 1);
    }
    if (lines.empty() || lines.size() - 1 > kMaxHeaderCount) return std::nullopt;

    RequestHead request;
    std::string_view requestLine = lines[0];
    size_t firstSpace = requestLine.find(' ');
    size_t lastSpace = requestLine.rfind(' ');
    if (firstSpace == std::string_view::npos || firstSpace == lastSpace) return std::nullopt;
    std::string_view method = requestLine.substr(0, firstSpace);
    std::string_view target = requestLine.substr(firstSpace + 1, lastSpace - firstSpace - 1);
    std::string_view version = requestLine.substr(lastSpace + 1);
    bool versionWellFormed = version.size() == 8 && version.substr(0, 5) == "HTTP/" && version[5] >= '0' &&
                             version[5] <= '9' && version[6] == '.' && version[7] >= '0' && version[7] <= '9';
    if (!IsToken(method) || !IsVisible(target) || !versionWellFormed) return std::nullopt;
    request.method = method;
    request.target = target;
    request.version = version;

    for (size_t i = 1; i < lines.size(); ++i) {
        std::string_view line = lines[i];
        size_t colon = line.find(':');
        if (colon == std::string_view::npos) return std::nullopt;
        std::string_view name = line.substr(0, colon);
        std::string_view value = Trim(line.substr(colon + 1));
        if (!IsToken(name)) return std::nullopt;  // also rejects folded lines and blanks before the colon
        for (char c : value) {
            auto byte = static_cast<unsigned char>(c);
            if ((byte < 0x20 && c != '\t') || byte == 0x7F) return std::nullopt;
        }
        request.headers.emplace_back(std::string(name), std::string(value));
    }
    return request;
}

std::optional<Authority> ParseAuthority(std::string_view text, uint16_t defaultPort) {
    Authority authority;
    std::string_view portText;
    bool hasPort = false;
    if (!text.empty() && text.front() == '[') {
        size_t close = text.find(']');
        if (close == std::string_view::npos) return std::nullopt;
        std::string_view host = text.substr(1, close - 1);
        if (!IsIPv6Text(host)) return std::nullopt;
        authority.host = host;
        std::string_view rest = text.substr(close + 1);
        if (!rest.empty()) {
            if (rest.front() != ':') return std::nullopt;
            hasPort = true;
            portText = rest.substr(1);
        }
    } else {
        size_t colon = text.find(':');
        std::string_view host = text.substr(0, colon);
        if (!socks5::IsPlausibleHostName(host)) return std::nullopt;
        authority.host = host;
        if (colon != std::string_view::npos) {
            hasPort = true;
            portText = text.substr(colon + 1);
        }
    }
    if (hasPort && !(portText.empty() && defaultPort != 0)) {
        auto port = ParsePort(portText);
        if (!port) return std::nullopt;
        authority.port = *port;
    } else {
        if (defaultPort == 0) return std::nullopt;
        authority.port = defaultPort;
    }
    return authority;
}

std::optional<AbsoluteUri> ParseAbsoluteUri(std::string_view target) {
    constexpr std::string_view kScheme = "http://";
    if (!StartsWithIgnoringCase(target, kScheme)) return std::nullopt;
    std::string_view rest = target.substr(kScheme.size());
    size_t authorityEnd = rest.find_first_of("/?#");
    std::string_view authorityText = rest.substr(0, authorityEnd);
    if (authorityText.find('@') != std::string_view::npos) return std::nullopt;
    auto authority = ParseAuthority(authorityText, 80);
    if (!authority) return std::nullopt;

    AbsoluteUri uri;
    uri.authority = *authority;
    uri.authorityText = authorityText;
    std::string_view path =
        authorityEnd == std::string_view::npos ? std::string_view() : rest.substr(authorityEnd);
    path = path.substr(0, path.find('#'));
    if (path.empty() || path.front() != '/') uri.originForm = "/";
    uri.originForm += path;
    return uri;
}

std::string RewriteForOrigin(const RequestHead& request, const AbsoluteUri& uri) {
    std::vector<std::string_view> connectionOptions;
    for (const auto& [name, value] : request.headers) {
        if (!EqualsIgnoringCase(name, "Connection")) continue;
        std::string_view list = value;
        while (!list.empty()) {
            size_t comma = list.find(',');
            std::string_view option = Trim(list.substr(0, comma));
            if (!option.empty()) connectionOptions.push_back(option);
            if (comma == std::string_view::npos) break;
            list.remove_prefix(comma + 1);
        }
    }
    auto dropped = [&connectionOptions](std::string_view name) {
        if (StartsWithIgnoringCase(name, "Proxy-") || EqualsIgnoringCase(name, "Connection") ||
            EqualsIgnoringCase(name, "Keep-Alive") || EqualsIgnoringCase(name, "Host")) {
            return true;
        }
        for (std::string_view option : connectionOptions) {
            if (EqualsIgnoringCase(name, option)) return true;
        }
        return false;
    };

    std::string head = request.method + " " + uri.originForm + " " + request.version + "\r\n";
    head += "Host: " + uri.authorityText + "\r\n";
    for (const auto& [name, value] : request.headers) {
        if (!dropped(name)) head += name + ": " + value + "\r\n";
    }
    head += "Connection: close\r\n\r\n";
    return head;
}

std::string ErrorResponse(int status, std::string_view reason, std::string_view body) {
    std::string response = "HTTP/1.1 " + std::to_string(status) + " " + std::string(reason) + "\r\n";
    response += "Content-Type: text/plain; charset=utf-8\r\n";
    response += "Content-Length: " + std::to_string(body.size()) + "\r\n";
    response += "Connection: close\r\n\r\n";
    response += body;
    return response;
}

}  // namespace vantaro::engine::http
