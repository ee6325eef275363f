#include "core/pac_text.h"

#include <gtest/gtest.h>

#include <string>

namespace vantaro {
namespace {

using namespace std::string_literals;

TEST(FillPacTemplate, ReplacesBothPlaceholders) {
    struct Case { std::string rules, port, pac; };
    const Case cases[] = {
        {"function FindProxyForURL(url, host) { return \"DIRECT\"; }", "8100",
         "function FindProxyForURL(url, host) { return \"DIRECT\"; }"},
        {"var proxy = \"__PROXY__\";", "8100", "var proxy = \"SOCKS5 127.0.0.1:8100;DIRECT;\";"},
        {"var p = '__PROXY__';\r\nvar d = '__DIRECT__';\nvar q = '__PROXY__';\n", "1080",
         "var p = 'SOCKS5 127.0.0.1:1080;DIRECT;';\r\nvar d = 'DIRECT';\nvar q = 'SOCKS5 127.0.0.1:1080;DIRECT;';\n"},
        {"__proxy__ __Direct__ __PROXY_ __DIRECT_", "1", "__proxy__ __Direct__ __PROXY_ __DIRECT_"},
        {"__PROXY____DIRECT__", "2", "SOCKS5 127.0.0.1:2;DIRECT;DIRECT"},
        {"a__PROXY__\0__PROXY__"s, "8100", "aSOCKS5 127.0.0.1:8100;DIRECT;"},
        {"", "8100", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(FillPacTemplate(c.rules, c.port), c.pac) << c.rules;
}

TEST(FillPacTemplate, PortTextIsNotSearchedForPlaceholders) {
    // The direct placeholder inside the inserted proxy text is replaced, because "__DIRECT__" runs second.
    EXPECT_EQ(FillPacTemplate("__PROXY__", "__DIRECT__"), "SOCKS5 127.0.0.1:DIRECT;DIRECT;");
    EXPECT_EQ(FillPacTemplate("__PROXY__", "__PROXY__"), "SOCKS5 127.0.0.1:__PROXY__;DIRECT;");
}

TEST(ReplaceAll, NonOverlappingLeftToRight) {
    EXPECT_EQ(ReplaceAll("aaaa", "aa", "b"), "bb");
    EXPECT_EQ(ReplaceAll("aaa", "aa", "aaa"), "aaaa");
    EXPECT_EQ(ReplaceAll("abc", "", "x"), "abc");
    EXPECT_EQ(ReplaceAll("abc", "c", ""), "ab");
}

TEST(DownloadHasText, EmptyUpToTheFirstZeroIsNoText) {
    EXPECT_TRUE(DownloadHasText("x"));
    EXPECT_TRUE(DownloadHasText("x\0"s));
    EXPECT_FALSE(DownloadHasText(""));
    EXPECT_FALSE(DownloadHasText("\0rules"s));
}

}  // namespace
}  // namespace vantaro
