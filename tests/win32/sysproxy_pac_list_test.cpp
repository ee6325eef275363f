#include <gtest/gtest.h>

#include "app/sites.h"
#include "app/tray.h"
#include "app/tray_icon.h"
#include "core/pac_text.h"
#include "sysproxy/pac_file.h"
#include "sysproxy_fixture.h"

namespace vantaro::test {
namespace {

using namespace std::string_literals;

constexpr unsigned short kMainSitePort = 18461;  // the test build's main site
const std::string kFailureText = "请尝试手动下载覆盖：" + Sites::Main("/Other/pac.txt");
const std::string kSuccessText = "如果当前正在运行，则需要重启 vantaro 才能使应用最新 PAC文件！";
constexpr size_t kCap = 4 * 1024 * 1024;

std::string Response(const std::string& status, const std::string& body, bool withLength = true) {
    std::string head = "HTTP/1.0 " + status + "\r\nContent-Type: text/plain\r\n";
    if (withLength) head += "Content-Length: " + std::to_string(body.size()) + "\r\n";
    return head + "\r\n" + body;
}

class SysproxyPacListTest : public SysproxyFixture {
  protected:
    void SetUp() override {
        SysproxyFixture::SetUp();
        StartWithMode("0");
        ClearBalloon();
    }
    std::string BalloonTitle() { return ProgramTrayIcon()->Record().szInfoTitle; }
    std::string BalloonText() { return ProgramTrayIcon()->Record().szInfo; }
    DWORD BalloonKind() { return ProgramTrayIcon()->Record().dwInfoFlags; }
    void ClearBalloon() { ProgramTrayIcon()->ShowBalloon("", "", 0); }
    void ExpectFailureBalloon() {
        EXPECT_EQ(BalloonTitle(), "PAC 更新失败！");
        EXPECT_EQ(BalloonText(), kFailureText);
        EXPECT_EQ(BalloonKind(), 3u);
    }
};

TEST_F(SysproxyPacListTest, TheListIsStoredByteForByteWithTheSuccessBalloon) {
    const std::string bodies[] = {
        "function FindProxyForURL(u, h) {\r\n  return \"__PROXY__\";\r\n}\r\n",
        "function FindProxyForURL(u, h) {\n  return \"__DIRECT__\";\n}\n",
        "text before a zero byte\0and after it"s,
        std::string(kCap, 'x'),
    };
    for (const std::string& body : bodies) {
        WriteRuleList("old list");
        LoopbackHttpServer server(kMainSitePort,
                                  [&](const std::string&) { return Response("200 OK", body); });
        ASSERT_TRUE(server.Listening());
        ClearBalloon();
        UpdatePacList();
        EXPECT_EQ(ReadEngineFile("pac.txt") == body, true) << body.substr(0, 40);
        EXPECT_EQ(BalloonTitle(), "PAC 更新成功！");
        EXPECT_EQ(BalloonText(), kSuccessText);
        EXPECT_EQ(BalloonKind(), 1u);
        const std::vector<std::string> requests = server.Requests();
        ASSERT_EQ(requests.size(), 1u);
        EXPECT_EQ(requests[0].substr(0, requests[0].find("\r\n")), "GET /Other/pac.txt HTTP/1.0");
        EXPECT_NE(requests[0].find("\r\nAccept: */*\r\n"), std::string::npos) << requests[0];
    }
    EXPECT_TRUE(TakeMessages().empty());
}

// Every kind of failed download: the failure balloon names the list's address, and the list already there is
// left exactly as it was.
TEST_F(SysproxyPacListTest, AFailedDownloadKeepsTheOldListAndSaysWhereToGetIt) {
    const struct {
        const char* what;
        std::string response;
    } failures[] = {
        {"404 with an error page", Response("404 Not Found", "<html>not found</html>")},
        {"500 with a page", Response("500 Internal Server Error", "function FindProxyForURL(){}")},
        {"empty body", Response("200 OK", "")},
        {"zero byte first", Response("200 OK", "\0rest"s)},
        {"declared over the cap", Response("200 OK", std::string(kCap + 1, 'y'))},
        {"over the cap without a length", Response("200 OK", std::string(kCap + 1, 'z'), false)},
    };
    const std::string oldList = "old\r\nlist\n";
    for (const auto& failure : failures) {
        WriteRuleList(oldList);
        LoopbackHttpServer server(kMainSitePort, [&](const std::string&) { return failure.response; });
        ASSERT_TRUE(server.Listening());
        ClearBalloon();
        UpdatePacList();
        SCOPED_TRACE(failure.what);
        ExpectFailureBalloon();
        EXPECT_EQ(ReadEngineFile("pac.txt"), oldList);
        EXPECT_FALSE(EngineFileExists("pac.txt.tmp"));
    }
    WriteRuleList(oldList);
    ClearBalloon();
    UpdatePacList();  // nobody listens: the connection is refused
    ExpectFailureBalloon();
    EXPECT_EQ(ReadEngineFile("pac.txt"), oldList);
    EXPECT_TRUE(TakeMessages().empty());
}

TEST_F(SysproxyPacListTest, AnEmptyFileLocationIsRefusedBeforeAnyDownload) {
    LoopbackHttpServer server(kMainSitePort, [](const std::string&) { return Response("200 OK", "list"); });
    SetText(Ctl::编辑框_文件位置, "");
    UpdatePacList();
    const std::vector<MessageRecord> messages = TakeMessages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "文件位置 不能为空！");
    EXPECT_EQ(messages[0].title, "错误");
    EXPECT_TRUE(server.Requests().empty());
    EXPECT_EQ(BalloonTitle(), "");
}

TEST_F(SysproxyPacListTest, EditingAMissingListSaysHowToGetOne) {
    EditPacList();
    const std::vector<MessageRecord> messages = TakeMessages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "找不到PAC文件！请尝试使用 更新PAC文件 功能下载。");
    EXPECT_EQ(messages[0].title, "错误");
}

TEST_F(SysproxyPacListTest, PacModeWithoutAListDownloadsItFirst) {
    const std::string body = "return \"__PROXY__\";\n";
    LoopbackHttpServer server(kMainSitePort, [&](const std::string&) { return Response("200 OK", body); });
    SetEngineRunning(true);
    SendMessageA(window_, WM_COMMAND, MAKEWPARAM(static_cast<int>(MenuItem::PAC模式), 0), 0);
    EXPECT_EQ(ReadEngineFile("pac.txt"), body);
    EXPECT_EQ(ReadEngineFile("pac"), "return \"SOCKS5 127.0.0.1:8100;DIRECT;\";\n");
    EXPECT_EQ(BalloonTitle(), "PAC 更新成功！");
}

TEST_F(SysproxyPacListTest, PacModeWithoutAListAndNoDownloadServesAnEmptyFileAllTheSame) {
    SetEngineRunning(true);
    SendMessageA(window_, WM_COMMAND, MAKEWPARAM(static_cast<int>(MenuItem::PAC模式), 0), 0);
    ExpectFailureBalloon();
    EXPECT_TRUE(EngineFileExists("pac"));
    EXPECT_EQ(ReadEngineFile("pac"), "");
    const std::optional<StoredValue> url = QueryValue(kSettingsKey, "AutoConfigURL");
    ASSERT_TRUE(url);
    unsigned short port = 0;
    std::string path;
    ASSERT_TRUE(SplitLoopbackUrl(url->bytes.substr(0, url->bytes.size() - 1), port, path));
    const std::string response = RawHttpExchange(port, "GET " + path + " HTTP/1.0\r\n\r\n");
    EXPECT_EQ(response.substr(0, 12), "HTTP/1.1 200");
    EXPECT_NE(response.find("Content-Length: 0\r\n"), std::string::npos);
}

}  // namespace
}  // namespace vantaro::test
