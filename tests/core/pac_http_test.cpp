#include "core/pac_http.h"

#include <gtest/gtest.h>

#include <string>

namespace vantaro {
namespace {

constexpr char kPath[] = "/0123456789abcdef0123456789abcdef";

TEST(JudgePacRequest, AnswersOnlyAGetOfTheSecretPath) {
    struct Case {
        std::string request;
        PacRequestVerdict verdict;
    };
    const std::string path = kPath;
    const Case cases[] = {
        {"GET " + path + " HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n", PacRequestVerdict::kServe},
        {"GET " + path + " HTTP/1.0\n\n", PacRequestVerdict::kServe},
        {"GET " + path + " HTTP/1.1\r\nHost: x\r\n", PacRequestVerdict::kIncomplete},
        {"GET " + path, PacRequestVerdict::kIncomplete},
        {"", PacRequestVerdict::kIncomplete},
        {"GET / HTTP/1.1\r\n\r\n", PacRequestVerdict::kNotFound},
        {"GET " + path + "?x HTTP/1.1\r\n\r\n", PacRequestVerdict::kNotFound},
        {"GET " + path + "/ HTTP/1.1\r\n\r\n", PacRequestVerdict::kNotFound},
        {"GET " + path.substr(0, 32) + " HTTP/1.1\r\n\r\n", PacRequestVerdict::kNotFound},
        {"GET /0123456789ABCDEF0123456789ABCDEF HTTP/1.1\r\n\r\n", PacRequestVerdict::kNotFound},
        {"get " + path + " HTTP/1.1\r\n\r\n", PacRequestVerdict::kMethodNotAllowed},
        {"HEAD " + path + " HTTP/1.1\r\n\r\n", PacRequestVerdict::kMethodNotAllowed},
        {"POST " + path + " HTTP/1.1\r\nContent-Length: 0\r\n\r\n", PacRequestVerdict::kMethodNotAllowed},
        {"GET " + path + "\r\n\r\n", PacRequestVerdict::kBadRequest},
        {"GET " + path + " FTP/1.0\r\n\r\n", PacRequestVerdict::kBadRequest},
        {"\r\n\r\n", PacRequestVerdict::kBadRequest},
        {std::string(kPacRequestMaxBytes, 'A'), PacRequestVerdict::kBadRequest},
        {"GET " + path + " HTTP/1.1\r\nX: " + std::string(kPacRequestMaxBytes, 'a'),
         PacRequestVerdict::kBadRequest},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(JudgePacRequest(c.request, path), c.verdict) << c.request.substr(0, 80);
    }
}

TEST(JudgePacRequest, AnEmptySecretPathServesNothing) {
    EXPECT_EQ(JudgePacRequest("GET  HTTP/1.1\r\n\r\n", ""), PacRequestVerdict::kBadRequest);
    EXPECT_EQ(JudgePacRequest("GET / HTTP/1.1\r\n\r\n", ""), PacRequestVerdict::kNotFound);
}

TEST(PacHttpResponse, ServesTheTextWithItsTypeAndLength) {
    const std::string text = "function FindProxyForURL(url, host) { return \"DIRECT\"; }\r\n";
    const std::string response = PacHttpResponse(PacRequestVerdict::kServe, text);
    const std::string head = response.substr(0, response.find("\r\n\r\n") + 4);
    EXPECT_EQ(head.substr(0, 17), "HTTP/1.1 200 OK\r\n");
    EXPECT_NE(head.find("\r\nContent-Type: application/x-ns-proxy-autoconfig\r\n"), std::string::npos);
    EXPECT_NE(head.find("\r\nContent-Length: " + std::to_string(text.size()) + "\r\n"), std::string::npos);
    EXPECT_NE(head.find("\r\nConnection: close\r\n"), std::string::npos);
    EXPECT_EQ(response.substr(head.size()), text);
}

TEST(PacHttpResponse, RefusalsCarryNoText) {
    const struct {
        PacRequestVerdict verdict;
        std::string statusLine;
    } cases[] = {
        {PacRequestVerdict::kNotFound, "HTTP/1.1 404 Not Found\r\n"},
        {PacRequestVerdict::kMethodNotAllowed, "HTTP/1.1 405 Method Not Allowed\r\nAllow: GET\r\n"},
        {PacRequestVerdict::kBadRequest, "HTTP/1.1 400 Bad Request\r\n"},
    };
    for (const auto& c : cases) {
        const std::string response = PacHttpResponse(c.verdict, "secret PAC text");
        EXPECT_EQ(response.substr(0, c.statusLine.size()), c.statusLine);
        EXPECT_EQ(response.find("secret"), std::string::npos);
        EXPECT_NE(response.find("Content-Length: 0\r\n"), std::string::npos);
        EXPECT_EQ(response.substr(response.size() - 4), "\r\n\r\n");
    }
}

TEST(HexText, TwoLowerCaseDigitsPerByte) {
    const unsigned char bytes[] = {0x00, 0x0F, 0xA5, 0xFF};
    EXPECT_EQ(HexText(bytes, 4), "000fa5ff");
    EXPECT_EQ(HexText(bytes, 0), "");
    EXPECT_EQ(PacServerUrl(49152, kPath), std::string("http://127.0.0.1:49152") + kPath);
}

}  // namespace
}  // namespace vantaro
