#include "core/connection_record.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace vantaro {
namespace {

using namespace std::string_literals;

uint32_t U32At(const std::string& bytes, size_t at) {
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = v << 8 | static_cast<unsigned char>(bytes.at(at + i));
    return v;
}

TEST(PacConnectionRecord, LaysOutHeaderUrlAndPadding) {
    const std::string url = "http://127.0.0.1:8100/vantaro-pac.pac?a1";
    ASSERT_EQ(url.size(), 40u);
    const std::string r = PacConnectionRecord(url, 7);
    ASSERT_EQ(r.size(), 96u);
    EXPECT_EQ(U32At(r, 0), 0x46u);
    EXPECT_EQ(U32At(r, 4), 7u);
    EXPECT_EQ(U32At(r, 8), 0x05u);
    EXPECT_EQ(U32At(r, 12), 0u);  // proxy
    EXPECT_EQ(U32At(r, 16), 0u);  // bypass
    EXPECT_EQ(r.substr(20, 4), "\x28\0\0\0"s);
    EXPECT_EQ(r.substr(24, 40), url);
    EXPECT_EQ(r.substr(64), std::string(32, '\0'));
}

TEST(PacConnectionRecord, LengthFieldIsLittleEndianAndCountsEveryByte) {
    const std::string longUrl(256, 'u');
    const std::string r = PacConnectionRecord(longUrl, 30);
    ASSERT_EQ(r.size(), 56u + 256u);
    EXPECT_EQ(r.substr(20, 4), "\0\x01\0\0"s);
    EXPECT_EQ(r.substr(4, 4), "\x1E\0\0\0"s);
    const std::string spaced = PacConnectionRecord("http://a b/", 1);
    EXPECT_EQ(U32At(spaced, 20), 11u);
    EXPECT_EQ(spaced.size(), 67u);
}

TEST(PacConnectionRecord, ClearedFormIsDirectWithCounterOne) {
    const std::string expected = "\x46\0\0\0\x01\0\0\0\x01\0\0\0"s + std::string(44, '\0');
    ASSERT_EQ(expected.size(), 56u);
    EXPECT_EQ(ClearedPacConnectionRecord(), expected);
    EXPECT_EQ(PacConnectionRecord("", 1), expected);
    EXPECT_EQ(PacConnectionRecord("", 30), "\x46\0\0\0\x1E\0\0\0\x01\0\0\0"s + std::string(44, '\0'));
}

TEST(ProxyConnectionRecord, LaysOutHeaderProxyAndPadding) {
    const std::string r = ProxyConnectionRecord("127.0.0.1:8100");
    const std::string expected = "\x3C\0\0\0\x01\0\0\0\x03\0\0\0\x0E\0\0\0"s + "127.0.0.1:8100" + std::string(36, '\0');
    ASSERT_EQ(r.size(), 66u);
    EXPECT_EQ(r, expected);
    EXPECT_EQ(ProxyConnectionRecord("").size(), 52u);
}

}  // namespace
}  // namespace vantaro
