#include "core/latency_rules.h"

#include "core/decimal.h"

namespace vantaro {

std::string LatencyHost(bool fromTray, bool engineRunning, std::string_view ipBox,
                        std::string_view runningServerIp) {
    return std::string(fromTray && engineRunning ? runningServerIp : ipBox);
}

int EchoResult(unsigned long replyCount, unsigned long firstReplyStatus,
               unsigned long firstReplyRoundTripMs) {
    constexpr unsigned long kIpSuccess = 0;
    constexpr unsigned long kLongestTime = 0x7FFFFFFF;
    if (replyCount == 0 || firstReplyStatus != kIpSuccess) return -1;
    return static_cast<int>(firstReplyRoundTripMs > kLongestTime ? kLongestTime : firstReplyRoundTripMs);
}

std::string LatencySuccessTitle() { return "测试延迟成功！"; }

std::string LatencySuccessText(std::string_view host, int roundTripMs) {
    return "IP [" + std::string(host) + "] 的延迟为：" + DecimalText(roundTripMs) + "ms";
}

std::string LatencyTimeoutTitle() { return "测试延迟超时！"; }

std::string LatencyTimeoutText(std::string_view host) {
    return "IP [" + std::string(host) + "] 的延迟为：超时！";
}

}  // namespace vantaro
