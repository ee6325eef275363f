#include "core/leftover_proxy.h"

#include <gtest/gtest.h>

#include <string>

namespace vantaro {
namespace {

TEST(IsOwnAutoConfigUrl, RecognisesExactlyTheAddressesThisProgramWrites) {
    const std::string hex = "0123456789abcdef0123456789abcdef";
    const std::string directory = "C:\\引擎\\";
    const struct {
        std::string url;
        bool own;
    } cases[] = {
        {"http://127.0.0.1:49152/" + hex, true},
        {"http://127.0.0.1:1/" + hex, true},
        {"http://127.0.0.1:65535/" + hex, true},
        {"file://C:\\引擎\\pac", true},
        {"http://127.0.0.1:65536/" + hex, false},
        {"http://127.0.0.1:0/" + hex, false},
        {"http://127.0.0.1:080/" + hex, false},
        {"http://127.0.0.1:/" + hex, false},
        {"http://127.0.0.1/" + hex, false},
        {"http://127.0.0.1:8080/" + hex.substr(1), false},
        {"http://127.0.0.1:8080/" + hex + "0", false},
        {"http://127.0.0.1:8080/" + hex + "/", false},
        {"http://127.0.0.1:8080/0123456789ABCDEF0123456789ABCDEF", false},
        {"http://127.0.0.2:8080/" + hex, false},
        {"http://localhost:8080/" + hex, false},
        {"https://127.0.0.1:8080/" + hex, false},
        {"http://proxy.example.com/wpad.dat", false},
        {"file://C:\\引擎\\pac.txt", false},
        {"file://D:\\other\\pac", false},
        {"file://C:\\引擎\\PAC", false},
        {"", false},
    };
    for (const auto& c : cases) EXPECT_EQ(IsOwnAutoConfigUrl(c.url, directory), c.own) << c.url;
}

TEST(IsOwnAutoConfigUrl, WithoutAnEngineDirectoryNoFileAddressIsOwn) {
    EXPECT_FALSE(IsOwnAutoConfigUrl("file://pac", ""));
}

TEST(IsOwnProxyServer, OnlyTheLoopbackListenerOnTheSavedPort) {
    EXPECT_TRUE(IsOwnProxyServer("127.0.0.1:7448", "7448"));
    EXPECT_FALSE(IsOwnProxyServer("127.0.0.1:7449", "7448"));
    EXPECT_FALSE(IsOwnProxyServer("127.0.0.1:74480", "7448"));
    EXPECT_FALSE(IsOwnProxyServer(" 127.0.0.1:7448", "7448"));
    EXPECT_FALSE(IsOwnProxyServer("proxy.corp:8080", "7448"));
    EXPECT_FALSE(IsOwnProxyServer("127.0.0.1:", ""));
    EXPECT_FALSE(IsOwnProxyServer("", ""));
}

}  // namespace
}  // namespace vantaro
