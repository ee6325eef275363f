#include "session.h"

#include <chrono>
#include <string>
#include <vector>

#include "http_request.h"
#include "log.h"
#include "socks5.h"

namespace vantaro::engine {
namespace {

using Clock = std::chrono::steady_clock;

// Reads from a client against one deadline, so a client trickling bytes cannot hold a connection open.
class HandshakeReader {
  public:
    HandshakeReader(const net::Socket& socket, int totalMs)
        : socket_(socket), deadline_(Clock::now() + std::chrono::milliseconds(totalMs)) {}

    // Appends what arrives to buffer; false on close, error or when the deadline has passed.
    bool ReadMore(std::string& buffer) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline_ - Clock::now()).count();
        if (left <= 0) return false;
        char chunk[4096];
        int received = net::ReceiveSome(socket_, chunk, sizeof chunk, static_cast<int>(left));
        if (received <= 0) return false;
        buffer.append(chunk, static_cast<size_t>(received));
        return true;
    }

  private:
    const net::Socket& socket_;
    Clock::time_point deadline_;
};

const uint8_t* Bytes(const std::string& buffer) { return reinterpret_cast<const uint8_t*>(buffer.data()); }

std::string HostPort(const std::string& host, uint16_t port) {
    bool v6 = host.find(':') != std::string::npos;
    return (v6 ? "[" + host + "]" : host) + ":" + std::to_string(port);
}

std::string Tag(uint64_t id) { return "#" + std::to_string(id); }

void SendBytes(const net::Socket& socket, const std::string& data) {
    net::SendAll(socket, data.data(), data.size(), 5000);
}

void SendBytes(const net::Socket& socket, const std::vector<uint8_t>& data) {
    net::SendAll(socket, data.data(), data.size(), 5000);
}

// Relays an established pair after the bytes the client sent ahead, and logs the close.
void RelayAndLog(const net::Socket& client, const net::Socket& server, const std::string& ahead,
                 const std::string& target, uint64_t id, const SessionTimeouts& timeouts) {
    if (!ahead.empty() && !net::SendAll(server, ahead.data(), ahead.size(), timeouts.handshakeMs)) {
        LogLine("关闭 " + target + "（" + Tag(id) + "，发送失败）");
        return;
    }
    net::RelayCounts counts = net::Relay(client, server, timeouts.idleMs);
    LogLine("关闭 " + target + "（" + Tag(id) + "，上行 " +
            std::to_string(counts.clientToServer + ahead.size()) + " 字节，下行 " +
            std::to_string(counts.serverToClient) + " 字节）");
}

void ServeSocks5(const net::Socket& client, std::string buffer, HandshakeReader& reader, uint64_t id,
                 const SessionTimeouts& timeouts) {
    socks5::Greeting greeting;
    while ((greeting = socks5::ParseGreeting(Bytes(buffer), buffer.size())).status ==
           socks5::ParseStatus::NeedMore) {
        if (!reader.ReadMore(buffer)) return;
    }
    if (greeting.status == socks5::ParseStatus::Invalid) return;
    if (!greeting.offersNoAuthentication) {
        SendBytes(client, std::vector<uint8_t>{socks5::kVersion, socks5::kMethodNoneAcceptable});
        LogLine("拒绝 " + Tag(id) + "：SOCKS5 客户端不接受无认证方式");
        return;
    }
    SendBytes(client, std::vector<uint8_t>{socks5::kVersion, socks5::kMethodNoAuthentication});
    buffer.erase(0, greeting.consumed);

    socks5::Request request;
    while ((request = socks5::ParseRequest(Bytes(buffer), buffer.size())).status ==
           socks5::ParseStatus::NeedMore) {
        if (!reader.ReadMore(buffer)) return;
    }
    if (request.status == socks5::ParseStatus::Invalid || request.command != socks5::kCommandConnect) {
        SendBytes(client, socks5::BuildReply(request.failure));
        LogLine("拒绝 " + Tag(id) + "：SOCKS5 请求无效或不支持（应答 " +
                std::to_string(int(request.failure)) + "）");
        return;
    }
    buffer.erase(0, request.consumed);
    std::string target = HostPort(request.host, request.port);
    LogLine("连接 " + target + "（SOCKS5，" + Tag(id) + "）");
    net::ConnectResult server = net::Connect(request.host, request.port, timeouts.connectMs);
    if (!server.socket.Valid()) {
        SendBytes(client, socks5::BuildReply(server.failure));
        LogLine("失败 " + target + "（" + Tag(id) + "）：" + server.error);
        return;
    }
    SendBytes(client, socks5::BuildReply(socks5::Reply::Succeeded, server.localAddress, server.localPort));
    RelayAndLog(client, server.socket, buffer, target, id, timeouts);
}

void RejectHttp(const net::Socket& client, uint64_t id, int status, const char* reason,
                const std::string& why) {
    SendBytes(client, http::ErrorResponse(status, reason, why + "\n"));
    net::FinishSending(client);
    LogLine("拒绝 " + Tag(id) + "：" + why);
}

void ServeHttp(const net::Socket& client, std::string buffer, HandshakeReader& reader, uint64_t id,
               const SessionTimeouts& timeouts) {
    size_t headEnd;
    while ((headEnd = http::FindHeadEnd(buffer)) == std::string::npos) {
        if (buffer.size() > http::kMaxHeadSize) {
            RejectHttp(client, id, 400, "Bad Request", "HTTP 请求头过长");
            return;
        }
        if (!reader.ReadMore(buffer)) return;
    }
    if (headEnd > http::kMaxHeadSize) {
        RejectHttp(client, id, 400, "Bad Request", "HTTP 请求头过长");
        return;
    }
    auto request = http::ParseRequestHead(std::string_view(buffer).substr(0, headEnd));
    if (!request) {
        RejectHttp(client, id, 400, "Bad Request", "无效的 HTTP 请求");
        return;
    }
    std::string ahead = buffer.substr(headEnd);
    bool tunnel = http::EqualsIgnoringCase(request->method, "CONNECT");
    http::Authority authority;
    std::optional<http::AbsoluteUri> uri;
    if (tunnel) {
        auto parsed = http::ParseAuthority(request->target, 0);
        if (!parsed) {
            RejectHttp(client, id, 400, "Bad Request", "CONNECT 的目标应为 主机:端口");
            return;
        }
        authority = *parsed;
    } else {
        uri = http::ParseAbsoluteUri(request->target);
        if (!uri) {
            RejectHttp(client, id, 400, "Bad Request", "代理请求需要 http:// 开头的完整地址");
            return;
        }
        authority = uri->authority;
    }
    std::string target = HostPort(authority.host, authority.port);
    LogLine("连接 " + target + "（HTTP " + (tunnel ? "CONNECT" : request->method) + "，" + Tag(id) + "）");
    net::ConnectResult server = net::Connect(authority.host, authority.port, timeouts.connectMs);
    if (!server.socket.Valid()) {
        SendBytes(client,
                  http::ErrorResponse(502, "Bad Gateway", "无法连接 " + target + "：" + server.error + "\n"));
        LogLine("失败 " + target + "（" + Tag(id) + "）：" + server.error);
        return;
    }
    if (tunnel) {
        SendBytes(client, std::string("HTTP/1.1 200 Connection established\r\n\r\n"));
    } else {
        ahead = http::RewriteForOrigin(*request, *uri) + ahead;
    }
    RelayAndLog(client, server.socket, ahead, target, id, timeouts);
}

}  // namespace

void ServeClient(net::Socket client, uint64_t id, const SessionTimeouts& timeouts) {
    HandshakeReader reader(client, timeouts.handshakeMs);
    std::string buffer;
    if (!reader.ReadMore(buffer)) return;
    if (static_cast<uint8_t>(buffer[0]) == socks5::kVersion) {
        ServeSocks5(client, std::move(buffer), reader, id, timeouts);
    } else {
        ServeHttp(client, std::move(buffer), reader, id, timeouts);
    }
}

}  // namespace vantaro::engine
