#include "netcheck/latency_test.h"

#include <windows.h>

#include <memory>

#include "app/program_state.h"
#include "app/tray.h"
#include "core/latency_rules.h"
#include "netcheck/network_checks.h"
#include "platform/icmp_echo.h"
#include "platform/message_box.h"
#include "platform/unique_handle.h"
#include "platform/window_text.h"

namespace vantaro {
namespace {

constexpr unsigned long kEchoTimeoutMs = 2000;

// The latest test's thread; an earlier handle is closed when a new test starts (the thread runs on
// regardless).
KernelHandle latestLatencyThread;

DWORD WINAPI LatencyThread(LPVOID parameter) {
    std::unique_ptr<std::string> host(static_cast<std::string*>(parameter));
    TestLatency(*host);
    return 0;
}

void ShowEmptyIpMessage() { ShowMessage(Program().mainWindow, "服务器IP 不能为空！", "错误"); }

}  // namespace

int EchoRoundTrip(const std::string& host, unsigned long timeoutMs) {
    if (!StartWinsockOnce()) return -1;
    const std::optional<unsigned long> address = ResolveIpv4(host);
    if (!address) return -1;
    return SendIcmpEcho(*address, timeoutMs);
}

void PingServer(const std::string& host, unsigned long timeoutMs) {
    if (host.empty()) return ShowEmptyIpMessage();
    int roundTrip = EchoRoundTrip(host, timeoutMs);
    if (roundTrip == -1) roundTrip = EchoRoundTrip(host, timeoutMs);
    if (roundTrip == -1) {
        ShowTrayBalloon(LatencyTimeoutTitle(), LatencyTimeoutText(host), kBalloonError);
    } else {
        ShowTrayBalloon(LatencySuccessTitle(), LatencySuccessText(host, roundTrip), kBalloonNone);
    }
}

void TestLatency(const std::string& host) { PingServer(host, kEchoTimeoutMs); }

// The window's state is read here, on the GUI thread, when the test is asked for: a worker must not read the
// controls or RunningServerIp while the GUI thread may change them. An empty host is therefore known at once
// and its message is shown from here, before any thread starts.
void StartLatencyTest(bool fromTray) {
    const bool engineRunning = IsWindowEnabled(Control(Ctl::按钮_启动)) == FALSE;
    const std::string host =
        LatencyHost(fromTray, engineRunning, GetWindowTextString(Control(Ctl::编辑框_服务器IP)),
                    Program().runningServerIp);
    if (host.empty()) return ShowEmptyIpMessage();
    auto parameter = std::make_unique<std::string>(host);
    HANDLE thread = CreateThread(nullptr, 0, LatencyThread, parameter.get(), 0, nullptr);
    if (thread == nullptr) return;
    parameter.release();
    latestLatencyThread.Reset(thread);
}

}  // namespace vantaro
