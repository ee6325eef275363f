#include "core/latency_rules.h"

#include <gtest/gtest.h>

namespace vantaro {
namespace {

struct HostCase {
    bool fromTray, engineRunning;
    std::string expected;
};

TEST(LatencyHost, TrayFollowsTheRunningServerButtonTakesTheBox) {
    const HostCase cases[] = {
        {false, false, "box"},
        {false, true, "box"},  // the button tests the box even while another server runs
        {true, false, "box"},
        {true, true, "running"},
    };
    for (const HostCase& c : cases) {
        EXPECT_EQ(LatencyHost(c.fromTray, c.engineRunning, "box", "running"), c.expected)
            << c.fromTray << c.engineRunning;
    }
    // An empty choice stays empty: the caller refuses it.
    EXPECT_EQ(LatencyHost(true, true, "box", ""), "");
    EXPECT_EQ(LatencyHost(false, false, "", "running"), "");
}

struct EchoCase {
    unsigned long replies, status, roundTrip;
    int expected;
};

TEST(EchoResult, OnlyASuccessfulFirstReplyCounts) {
    const EchoCase cases[] = {
        {1, 0, 0, 0},  // loopback answers within the same millisecond
        {1, 0, 37, 37},
        {2, 0, 5, 5},        // the first reply's time
        {0, 0, 0, -1},       // no reply
        {0, 11010, 0, -1},   // timed out
        {1, 11003, 12, -1},  // destination host unreachable, reported by a router
        {1, 11002, 3, -1},   // destination net unreachable
        {1, 11013, 4, -1},   // TTL expired in transit
        {1, 0, 0xFFFFFFFFul, 0x7FFFFFFF},
    };
    for (const EchoCase& c : cases) {
        EXPECT_EQ(EchoResult(c.replies, c.status, c.roundTrip), c.expected) << c.replies << " " << c.status;
    }
}

TEST(LatencyTexts, ExactBytes) {
    // 测试延迟成功！ = B2E2 CAD4 D1D3 B3D9 B3C9 B9A6 A3A1; 的延迟为： = B5C4 D1D3 B3D9 CEAA A3BA; 超时！ =
    // B3AC CAB1 A3A1.
    EXPECT_EQ(LatencySuccessTitle(), "\xB2\xE2\xCA\xD4\xD1\xD3\xB3\xD9\xB3\xC9\xB9\xA6\xA3\xA1");
    EXPECT_EQ(LatencyTimeoutTitle(), "\xB2\xE2\xCA\xD4\xD1\xD3\xB3\xD9\xB3\xAC\xCA\xB1\xA3\xA1");
    EXPECT_EQ(LatencySuccessText("127.0.0.1", 0),
              "IP [127.0.0.1] \xB5\xC4\xD1\xD3\xB3\xD9\xCE\xAA\xA3\xBA"
              "0ms");
    EXPECT_EQ(LatencySuccessText("localhost", 1234),
              "IP [localhost] \xB5\xC4\xD1\xD3\xB3\xD9\xCE\xAA\xA3\xBA"
              "1234ms");
    EXPECT_EQ(LatencyTimeoutText("10.0.0.2"),
              "IP [10.0.0.2] \xB5\xC4\xD1\xD3\xB3\xD9\xCE\xAA\xA3\xBA\xB3\xAC\xCA\xB1\xA3\xA1");
}

}  // namespace
}  // namespace vantaro
