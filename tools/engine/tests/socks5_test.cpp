#include "socks5.h"

#include <gtest/gtest.h>

#include <vector>

namespace vantaro::engine::socks5 {
namespace {

using Bytes = std::vector<uint8_t>;

Request Parse(const Bytes& bytes) { return ParseRequest(bytes.data(), bytes.size()); }

TEST(Socks5Greeting, AcceptsOnlyClientsOfferingNoAuthentication) {
    struct Case {
        Bytes bytes;
        ParseStatus status;
        bool noAuthentication;
        size_t consumed;
    };
    const Case cases[] = {
        {{}, ParseStatus::NeedMore, false, 0},
        {{5}, ParseStatus::NeedMore, false, 0},
        {{5, 2, 0}, ParseStatus::NeedMore, false, 0},
        {{5, 1, 0}, ParseStatus::Complete, true, 3},
        {{5, 3, 2, 1, 0, 0xAA}, ParseStatus::Complete, true, 5},  // bytes after the greeting are not its own
        {{5, 1, 2}, ParseStatus::Complete, false, 3},
        {{5, 0}, ParseStatus::Complete, false, 2},
        {{4, 1, 0}, ParseStatus::Invalid, false, 0},
    };
    for (const Case& c : cases) {
        Greeting greeting = ParseGreeting(c.bytes.data(), c.bytes.size());
        EXPECT_EQ(greeting.status, c.status) << c.bytes.size();
        EXPECT_EQ(greeting.offersNoAuthentication, c.noAuthentication) << c.bytes.size();
        EXPECT_EQ(greeting.consumed, c.consumed) << c.bytes.size();
    }
    Bytes longest{5, 255};
    longest.resize(257, 1);
    longest.back() = 0;
    EXPECT_TRUE(ParseGreeting(longest.data(), longest.size()).offersNoAuthentication);
}

TEST(Socks5Request, ReadsEachAddressType) {
    struct Case {
        Bytes bytes;
        const char* host;
        uint16_t port;
    };
    const Case cases[] = {
        {{5, 1, 0, 1, 127, 0, 0, 1, 0x1F, 0x90}, "127.0.0.1", 8080},
        {{5, 1, 0, 3, 11, 'e', 'x', 'a', 'm', 'p', 'l', 'e', '.', 'c', 'o', 'm', 0, 80}, "example.com", 80},
        {{5, 1, 0, 4, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0x01, 0xBB}, "::1", 443},
        {{5, 1, 0, 4, 0x20, 0x01, 0x0d, 0xb8, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 1, 0, 1},
         "2001:db8::1:0:0:1",
         1},
        {{5, 1, 0, 4, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0xFF, 127, 0, 0, 1, 0, 80}, "127.0.0.1", 80},
    };
    for (const Case& c : cases) {
        Request request = Parse(c.bytes);
        ASSERT_EQ(request.status, ParseStatus::Complete) << c.host;
        EXPECT_EQ(request.command, kCommandConnect);
        EXPECT_EQ(request.host, c.host);
        EXPECT_EQ(request.port, c.port);
        EXPECT_EQ(request.consumed, c.bytes.size());
        // Every shorter prefix asks for more instead of reading past the end.
        for (size_t size = 0; size < c.bytes.size(); ++size) {
            EXPECT_EQ(ParseRequest(c.bytes.data(), size).status, ParseStatus::NeedMore)
                << c.host << " " << size;
        }
    }
}

TEST(Socks5Request, RefusesWhatItCannotServeWithTheRightReply) {
    struct Case {
        const char* what;
        Bytes bytes;
        ParseStatus status;
        Reply failure;
    };
    const Case cases[] = {
        {"BIND", {5, 2, 0, 1, 127, 0, 0, 1, 0, 80}, ParseStatus::Complete, Reply::CommandNotSupported},
        {"UDP ASSOCIATE", {5, 3, 0, 1, 0, 0, 0, 0, 0, 0}, ParseStatus::Complete, Reply::CommandNotSupported},
        {"unknown address type",
         {5, 1, 0, 9, 1, 2, 3, 4, 0, 80},
         ParseStatus::Invalid,
         Reply::AddressTypeNotSupported},
        {"wrong version", {4, 1, 0, 1, 127, 0, 0, 1, 0, 80}, ParseStatus::Invalid, Reply::GeneralFailure},
        {"empty domain", {5, 1, 0, 3, 0, 0, 80}, ParseStatus::Invalid, Reply::HostUnreachable},
        {"NUL in domain", {5, 1, 0, 3, 3, 'a', 0, 'b', 0, 80}, ParseStatus::Invalid, Reply::HostUnreachable},
        {"space in domain",
         {5, 1, 0, 3, 3, 'a', ' ', 'b', 0, 80},
         ParseStatus::Invalid,
         Reply::HostUnreachable},
        {"byte 0xFF in domain", {5, 1, 0, 3, 1, 0xFF, 0, 80}, ParseStatus::Invalid, Reply::HostUnreachable},
    };
    for (const Case& c : cases) {
        Request request = Parse(c.bytes);
        EXPECT_EQ(request.status, c.status) << c.what;
        EXPECT_EQ(request.failure, c.failure) << c.what;
    }
}

TEST(Socks5Request, DomainOfMaximumLength) {
    Bytes bytes{5, 1, 0, 3, 255};
    bytes.insert(bytes.end(), 255, 'a');
    bytes.push_back(0);
    bytes.push_back(80);
    EXPECT_EQ(Parse(bytes).status, ParseStatus::Complete);
    EXPECT_EQ(Parse(bytes).host.size(), 255u);
    bytes.pop_back();
    EXPECT_EQ(Parse(bytes).status, ParseStatus::NeedMore);
}

TEST(Socks5Reply, CarriesTheBoundAddress) {
    EXPECT_EQ(BuildReply(Reply::Succeeded, {127, 0, 0, 1}, 0x1234),
              (Bytes{5, 0, 0, 1, 127, 0, 0, 1, 0x12, 0x34}));
    EXPECT_EQ(BuildReply(Reply::ConnectionRefused), (Bytes{5, 5, 0, 1, 0, 0, 0, 0, 0, 0}));
    Bytes v6(16, 0);
    v6[15] = 1;
    Bytes expected{5, 0, 0, 4};
    expected.insert(expected.end(), v6.begin(), v6.end());
    expected.push_back(0);
    expected.push_back(80);
    EXPECT_EQ(BuildReply(Reply::Succeeded, v6, 80), expected);
}

TEST(Socks5Text, FormatsIPv6Compactly) {
    struct Case {
        Bytes bytes;
        const char* text;
    };
    const Case cases[] = {
        {Bytes(16, 0), "::"},
        {{0x20, 0x01, 0x0d, 0xb8, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 1}, "2001:db8:0:1::1"},
        {{0x20, 0x01, 0x0d, 0xb8, 0, 1, 0, 1, 0, 1, 0, 1, 0, 1, 0, 1}, "2001:db8:1:1:1:1:1:1"},
        {{0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, "1::"},
        {{0xfe, 0x80, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xab, 0xcd, 0, 0}, "fe80::abcd:0"},
    };
    for (const Case& c : cases) EXPECT_EQ(FormatIPv6(c.bytes.data()), c.text);
}

}  // namespace
}  // namespace vantaro::engine::socks5
