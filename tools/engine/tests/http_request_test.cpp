#include "http_request.h"

#include <gtest/gtest.h>

#include <string>

namespace vantaro::engine::http {
namespace {

TEST(HttpHead, EndsAtTheFirstBlankLine) {
    EXPECT_EQ(FindHeadEnd("GET / HTTP/1.1\r\nHost: a\r\n\r\nbody"), 27u);
    EXPECT_EQ(FindHeadEnd("GET / HTTP/1.0\n\nbody"), 16u);
    EXPECT_EQ(FindHeadEnd("GET / HTTP/1.1\r\nHost: a\r\n"), std::string::npos);
    EXPECT_EQ(FindHeadEnd("GET / HTTP/1.1\r\nHost: a\r\n\r"), std::string::npos);
    EXPECT_EQ(FindHeadEnd(""), std::string::npos);
}

TEST(HttpHead, ParsesRequestLineAndHeaders) {
    auto request =
        ParseRequestHead("GET http://a/ HTTP/1.1\r\nHost: a\r\nX-Empty:\r\nAccept:  */* \t\r\n\r\n");
    ASSERT_TRUE(request);
    EXPECT_EQ(request->method, "GET");
    EXPECT_EQ(request->target, "http://a/");
    EXPECT_EQ(request->version, "HTTP/1.1");
    ASSERT_EQ(request->headers.size(), 3u);
    EXPECT_EQ(request->headers[1], (std::pair<std::string, std::string>{"X-Empty", ""}));
    EXPECT_EQ(request->headers[2], (std::pair<std::string, std::string>{"Accept", "*/*"}));
    EXPECT_TRUE(ParseRequestHead("CONNECT a:443 HTTP/1.0\n\n"));
}

TEST(HttpHead, RejectsMalformedHeads) {
    const char* bad[] = {
        "\r\n\r\n",
        "GET\r\n\r\n",
        "GET http://a/\r\n\r\n",
        "GET  http://a/ HTTP/1.1\r\n\r\n",
        "GET http://a/ HTTP/1.1 extra\r\n\r\n",
        "GET http://a/ HTTP/11\r\n\r\n",
        "GET http://a/ FTP/1.1\r\n\r\n",
        "G(T http://a/ HTTP/1.1\r\n\r\n",
        "GET http://a/\x01 HTTP/1.1\r\n\r\n",
        "GET http://a/ HTTP/1.1\r\nNoColon\r\n\r\n",
        "GET http://a/ HTTP/1.1\r\n: no name\r\n\r\n",
        "GET http://a/ HTTP/1.1\r\nHost : a\r\n\r\n",
        "GET http://a/ HTTP/1.1\r\nX-A: 1\r\n folded\r\n\r\n",
        "GET http://a/ HTTP/1.1\r\nX-A: a\001b\r\n\r\n",
    };
    for (const char* head : bad) EXPECT_FALSE(ParseRequestHead(head)) << head;
    std::string many = "GET http://a/ HTTP/1.1\r\n";
    for (size_t i = 0; i <= kMaxHeaderCount; ++i) many += "X: y\r\n";
    EXPECT_FALSE(ParseRequestHead(many + "\r\n"));
}

TEST(HttpAuthority, ReadsHostAndPort) {
    struct Case {
        const char* text;
        uint16_t defaultPort;
        const char* host;
        uint16_t port;
    };
    const Case good[] = {
        {"example.com:443", 0, "example.com", 443},
        {"127.0.0.1:8080", 0, "127.0.0.1", 8080},
        {"[::1]:443", 0, "::1", 443},
        {"example.com", 80, "example.com", 80},
        {"[2001:db8::1]", 80, "2001:db8::1", 80},
        {"example.com:", 80, "example.com", 80},
    };
    for (const Case& c : good) {
        auto authority = ParseAuthority(c.text, c.defaultPort);
        ASSERT_TRUE(authority) << c.text;
        EXPECT_EQ(authority->host, c.host);
        EXPECT_EQ(authority->port, c.port);
    }
    const char* bad[] = {"example.com", "example.com:", ":443",   "a:0",     "a:65536", "a:80x",  "a b:80",
                         "::1:443",     "[::1",         "[::1]x", "[zz]:80", "[]:80",   "a:80:81"};
    for (const char* text : bad) EXPECT_FALSE(ParseAuthority(text, 0)) << text;
}

TEST(HttpAbsoluteUri, SplitsAuthorityAndOriginForm) {
    struct Case {
        const char* target;
        const char* authorityText;
        const char* host;
        uint16_t port;
        const char* originForm;
    };
    const Case good[] = {
        {"http://127.0.0.1:8000/file.txt", "127.0.0.1:8000", "127.0.0.1", 8000, "/file.txt"},
        {"HTTP://Example.com", "Example.com", "Example.com", 80, "/"},
        {"http://a?q=1", "a", "a", 80, "/?q=1"},
        {"http://a/p/q?x=1&y=2#frag", "a", "a", 80, "/p/q?x=1&y=2"},
        {"http://[::1]:81/", "[::1]:81", "::1", 81, "/"},
    };
    for (const Case& c : good) {
        auto uri = ParseAbsoluteUri(c.target);
        ASSERT_TRUE(uri) << c.target;
        EXPECT_EQ(uri->authorityText, c.authorityText);
        EXPECT_EQ(uri->authority.host, c.host);
        EXPECT_EQ(uri->authority.port, c.port);
        EXPECT_EQ(uri->originForm, c.originForm);
    }
    const char* bad[] = {"/file.txt", "https://a/",     "ftp://a/",        "http://",
                         "http:///x", "http://user@a/", "http://a:99999/", "http//a/"};
    for (const char* target : bad) EXPECT_FALSE(ParseAbsoluteUri(target)) << target;
}

TEST(HttpRewrite, SendsOriginFormWithoutProxyAndHopByHopHeaders) {
    auto request = ParseRequestHead(
        "POST http://127.0.0.1:8000/upload?x=1 HTTP/1.1\r\n"
        "Host: wrong.example\r\n"
        "Proxy-Connection: keep-alive\r\n"
        "proxy-authorization: Basic eA==\r\n"
        "Connection: keep-alive, X-Hop\r\n"
        "Keep-Alive: timeout=5\r\n"
        "X-Hop: 1\r\n"
        "Content-Length: 3\r\n"
        "User-Agent: t\r\n\r\n");
    ASSERT_TRUE(request);
    auto uri = ParseAbsoluteUri(request->target);
    ASSERT_TRUE(uri);
    EXPECT_EQ(RewriteForOrigin(*request, *uri),
              "POST /upload?x=1 HTTP/1.1\r\n"
              "Host: 127.0.0.1:8000\r\n"
              "Content-Length: 3\r\n"
              "User-Agent: t\r\n"
              "Connection: close\r\n\r\n");
}

TEST(HttpError, IsACompleteResponse) {
    std::string response = ErrorResponse(502, "Bad Gateway", "无法连接\n");
    EXPECT_EQ(response.rfind("HTTP/1.1 502 Bad Gateway\r\n", 0), 0u);
    EXPECT_NE(response.find("Content-Length: 13\r\n"), std::string::npos);
    EXPECT_NE(response.find("Connection: close\r\n\r\n无法连接\n"), std::string::npos);
}

}  // namespace
}  // namespace vantaro::engine::http
