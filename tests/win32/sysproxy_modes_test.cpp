#include <gtest/gtest.h>

#include "app/tray_menu_form.h"
#include "core/connection_record.h"
#include "core/leftover_proxy.h"
#include "core/pac_text.h"
#include "sysproxy/internet_settings.h"
#include "sysproxy/proxy_modes.h"
#include "sysproxy_fixture.h"

namespace vantaro::test {
namespace {

using namespace std::string_literals;

constexpr char kRuleList[] =
    "function FindProxyForURL(url, host) {\r\n  if (host == \"blocked.test\") return \"__PROXY__\";\r\n"
    "  return \"__DIRECT__\";\r\n}\r\n";
const std::vector<unsigned long> kBothNotifications = {39, 37};

class SysproxyModesTest : public SysproxyFixture {
  protected:
    std::optional<StoredValue> Setting(const char* name) { return QueryValue(kSettingsKey, name); }
    std::optional<StoredValue> Connection(const std::string& name) { return QueryValue(kConnections, name); }
    std::string ServedUrl() {
        const std::optional<StoredValue> url = Setting("AutoConfigURL");
        if (!url || url->bytes.empty()) return {};
        return url->bytes.substr(0, url->bytes.size() - 1);
    }
    std::string Fetch(const std::string& url, const std::string& method = "GET",
                      const std::string& suffix = "") {
        unsigned short port = 0;
        std::string path;
        if (!SplitLoopbackUrl(url, port, path)) return {};
        return RawHttpExchange(port, method + " " + path + suffix + " HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n");
    }
};

const MenuItem kModeItems[] = {MenuItem::直连模式, MenuItem::PAC模式, MenuItem::全局模式};

TEST_F(SysproxyModesTest, WhileStoppedAChoiceChangesOnlyTheCheckMarksAndConfig) {
    StartWithMode("0");
    WriteRuleList(kRuleList);
    SeedForeignSettings();
    const std::optional<StoredValue> before[] = {Setting("ProxyEnable"), Setting("ProxyServer"),
                                                 Setting("AutoConfigURL"),
                                                 Connection("DefaultConnectionSettings")};
    for (int mode = 0; mode < 3; ++mode) {
        ChooseMenuItem(kModeItems[mode]);
        for (int other = 0; other < 3; ++other)
            EXPECT_EQ(IsMenuItemChecked(kModeItems[other]), other == mode);
        EXPECT_EQ(Value("BasisConfig", "Proxy Mode"), std::to_string(mode));
        EXPECT_TRUE(TakeNotifications().empty());
        EXPECT_FALSE(EngineFileExists("pac"));
        const std::optional<StoredValue> after[] = {Setting("ProxyEnable"), Setting("ProxyServer"),
                                                    Setting("AutoConfigURL"),
                                                    Connection("DefaultConnectionSettings")};
        for (int i = 0; i < 4; ++i) EXPECT_EQ(after[i], before[i]) << "value " << i << " mode " << mode;
    }
}

// Each mode applied while the engine runs, on a system without dial-up entries: the three values and the file
// change, DefaultConnectionSettings keeps what another program wrote, and WinINet hears 39 then 37.
TEST_F(SysproxyModesTest, EachModeAppliedWhileRunningWritesItsValuesExactly) {
    StartWithMode("0");
    WriteRuleList(kRuleList);
    SetEngineRunning(true);
    for (MenuItem item :
         {MenuItem::PAC模式, MenuItem::全局模式, MenuItem::直连模式, MenuItem::PAC模式, MenuItem::直连模式}) {
        SeedForeignSettings();
        const std::optional<StoredValue> foreignRecord = Connection("DefaultConnectionSettings");
        ChooseMenuItem(item);
        SCOPED_TRACE(static_cast<int>(item));
        EXPECT_EQ(TakeNotifications(), kBothNotifications);
        EXPECT_EQ(Connection("DefaultConnectionSettings"), foreignRecord);
        if (item == MenuItem::PAC模式) {
            EXPECT_EQ(Setting("ProxyEnable"), Dword(0));
            EXPECT_EQ(Setting("ProxyServer"), std::nullopt);
            const std::string url = ServedUrl();
            EXPECT_TRUE(IsOwnAutoConfigUrl(url, "")) << url;
            EXPECT_EQ(Setting("AutoConfigURL"), Sz(url));
            EXPECT_EQ(ReadEngineFile("pac"), FillPacTemplate(kRuleList, kLocalPort));
            EXPECT_NE(ReadEngineFile("pac").find("\"SOCKS5 127.0.0.1:8100;DIRECT;\""), std::string::npos);
        } else if (item == MenuItem::全局模式) {
            EXPECT_EQ(Setting("ProxyEnable"), Dword(1));
            EXPECT_EQ(Setting("ProxyServer"), Sz("127.0.0.1:8100"));
            EXPECT_EQ(Setting("AutoConfigURL"), std::nullopt);
            EXPECT_FALSE(EngineFileExists("pac"));
        } else {
            EXPECT_EQ(Setting("ProxyEnable"), Dword(0));
            EXPECT_EQ(Setting("ProxyServer"), std::nullopt);
            EXPECT_EQ(Setting("AutoConfigURL"), std::nullopt);
            EXPECT_FALSE(EngineFileExists("pac"));
        }
        EXPECT_EQ(Value("BasisConfig", "Proxy Mode"), item == MenuItem::PAC模式    ? "1"
                                                      : item == MenuItem::全局模式 ? "2"
                                                                                   : "0");
    }
}

TEST_F(SysproxyModesTest, ThePacIsServedOnlyAtItsPathByGetAndOnlyWhileApplied) {
    StartWithMode("1");
    WriteRuleList(kRuleList);
    SetEngineRunning(true);
    ChooseMenuItem(MenuItem::PAC模式);
    const std::string url = ServedUrl();
    const std::string response = Fetch(url);
    const std::string text = FillPacTemplate(kRuleList, kLocalPort);
    EXPECT_EQ(response.substr(0, 17), "HTTP/1.1 200 OK\r\n");
    EXPECT_NE(response.find("Content-Type: application/x-ns-proxy-autoconfig\r\n"), std::string::npos);
    EXPECT_NE(response.find("Content-Length: " + std::to_string(text.size()) + "\r\n"), std::string::npos);
    EXPECT_EQ(response.substr(response.find("\r\n\r\n") + 4), text);

    const struct {
        std::string method, suffix, status;
    } refused[] = {
        {"GET", "x", "404"}, {"GET", "/", "404"}, {"GET", "?a=1", "404"},
        {"POST", "", "405"}, {"HEAD", "", "405"}, {"PUT", "", "405"},
    };
    for (const auto& r : refused) {
        const std::string answer = Fetch(url, r.method, r.suffix);
        EXPECT_EQ(answer.substr(0, 12), "HTTP/1.1 " + r.status) << r.method << r.suffix;
        EXPECT_EQ(answer.find("FindProxyForURL"), std::string::npos);
    }
    unsigned short port = 0;
    std::string path;
    ASSERT_TRUE(SplitLoopbackUrl(url, port, path));
    EXPECT_EQ(RawHttpExchange(port, "GET /other HTTP/1.1\r\n\r\n").substr(0, 12), "HTTP/1.1 404");
    EXPECT_EQ(RawHttpExchange(port, "garbage\r\n\r\n").substr(0, 12), "HTTP/1.1 400");
    EXPECT_EQ(RawHttpExchange(port, std::string(20000, 'A')).substr(0, 12), "HTTP/1.1 400");

    // A new local port reaches the served text at the next application; the address stays.
    SetText(Ctl::编辑框_本地端口, "9100");
    ChooseMenuItem(MenuItem::PAC模式);
    EXPECT_EQ(ServedUrl(), url);
    EXPECT_NE(Fetch(url).find("SOCKS5 127.0.0.1:9100;DIRECT;"), std::string::npos);

    ChooseMenuItem(MenuItem::直连模式);
    EXPECT_EQ(Fetch(url).substr(0, 12), "HTTP/1.1 404") << "a cleared PAC setting is served no more";
}

TEST_F(SysproxyModesTest, WithDialUpEntriesEveryRecordIsReplacedWhole) {
    const std::vector<std::string> entries = {"宽带连接", "VPN 连接 2"};
    SupplyDialUpEntries(entries);
    StartWithMode("0");
    WriteRuleList(kRuleList);
    SetEngineRunning(true);
    SeedForeignSettings();

    ChooseMenuItem(MenuItem::PAC模式);
    const std::string url = ServedUrl();
    EXPECT_EQ(Connection("DefaultConnectionSettings"), Binary(PacConnectionRecord(url, 1)));
    for (const std::string& entry : entries)
        EXPECT_EQ(Connection(entry), Binary(PacConnectionRecord(url, 30))) << entry;

    // Global: the first call writes the proxy form into each entry, the second deletes it again.
    ChooseMenuItem(MenuItem::全局模式);
    EXPECT_EQ(Connection("DefaultConnectionSettings"), Binary(ClearedPacConnectionRecord()));
    for (const std::string& entry : entries) EXPECT_EQ(Connection(entry), std::nullopt) << entry;
    EXPECT_EQ(Setting("ProxyServer"), Sz("127.0.0.1:8100"));

    SetProxyServerValues("127.0.0.1:8100");
    for (const std::string& entry : entries)
        EXPECT_EQ(Connection(entry), Binary(ProxyConnectionRecord("127.0.0.1:8100")));

    ChooseMenuItem(MenuItem::直连模式);
    EXPECT_EQ(Connection("DefaultConnectionSettings"), Binary(ClearedPacConnectionRecord()));
    for (const std::string& entry : entries) EXPECT_EQ(Connection(entry), std::nullopt) << entry;
    EXPECT_EQ(Connection("DefaultConnectionSettings")->bytes,
              "\x46\0\0\0\x01\0\0\0\x01\0\0\0"s + std::string(44, '\0'));
}

TEST_F(SysproxyModesTest, MoreEntriesThanTheEnumerationHasRoomForCountAsNone) {
    for (size_t count : {38u, 39u, 60u}) {
        std::vector<std::string> entries;
        for (size_t i = 0; i < count; ++i) entries.push_back("拨号" + std::to_string(i));
        SupplyDialUpEntries(entries);
        SeedForeignSettings();
        const std::optional<StoredValue> foreign = Connection("DefaultConnectionSettings");
        SetAutoConfigValues("http://127.0.0.1:1/x");
        if (count <= 38) {
            EXPECT_EQ(Connection("DefaultConnectionSettings"),
                      Binary(PacConnectionRecord("http://127.0.0.1:1/x", 1)));
            EXPECT_EQ(Connection(entries.back()), Binary(PacConnectionRecord("http://127.0.0.1:1/x", 30)));
            SetAutoConfigValues("");
            EXPECT_EQ(Connection(entries.back()), std::nullopt);
        } else {
            EXPECT_EQ(Connection("DefaultConnectionSettings"), foreign) << count;
            EXPECT_EQ(Connection(entries.front()), std::nullopt) << count;
        }
    }
    SupplyDialUpEntries({});
    SetAutoConfigValues("");
}

// "Empty" means different things: the value is written unless the text is empty (PAC) or blank after trimming
// (proxy), while the records count a text empty once every space is removed.
TEST_F(SysproxyModesTest, SpacesDecideWritesAsEachRuleSays) {
    const std::vector<std::string> entries = {"拨号连接"};
    SupplyDialUpEntries(entries);
    PutValue(kConnections, "拨号连接", Binary("other program"));

    SetAutoConfigValues("  ");
    EXPECT_EQ(Setting("AutoConfigURL"), Sz("  "));
    EXPECT_EQ(Connection("DefaultConnectionSettings"), Binary(ClearedPacConnectionRecord()));
    EXPECT_EQ(Connection("拨号连接"), std::nullopt) << "clearing deletes an entry's value whoever wrote it";

    SetAutoConfigValues("http://a b/");
    EXPECT_EQ(Connection("DefaultConnectionSettings"), Binary(PacConnectionRecord("http://a b/", 1)));
    EXPECT_EQ(Connection("DefaultConnectionSettings")->bytes.substr(20, 4), "\x0B\0\0\0"s);

    SetProxyServerValues(" 127.0.0.1:1 ");
    EXPECT_EQ(Setting("ProxyEnable"), Dword(1));
    EXPECT_EQ(Setting("ProxyServer"), Sz(" 127.0.0.1:1 ")) << "written exactly as passed";
    EXPECT_EQ(Connection("拨号连接"), Binary(ProxyConnectionRecord(" 127.0.0.1:1 ")));
    EXPECT_EQ(Connection("拨号连接")->bytes.substr(12, 4), "\x0D\0\0\0"s);

    SetProxyServerValues("   ");
    EXPECT_EQ(Setting("ProxyEnable"), Dword(0));
    EXPECT_EQ(Setting("ProxyServer"), std::nullopt);
    EXPECT_EQ(Connection("拨号连接"), std::nullopt);
    EXPECT_EQ(Connection("DefaultConnectionSettings"), Binary(PacConnectionRecord("http://a b/", 1)))
        << "the proxy setter never touches DefaultConnectionSettings";
    SetAutoConfigValues("");
}

TEST_F(SysproxyModesTest, ExitResetsUnlessDirectIsCheckedAndTheMarksSurvive) {
    for (const char* mode : {"1", "2", "0"}) {
        StartWithMode(mode);
        WriteRuleList(kRuleList);
        SetEngineRunning(true);
        const MenuItem item = kModeItems[mode[0] - '0'];
        ChooseMenuItem(item);
        if (item == MenuItem::直连模式) SeedForeignSettings();
        const std::optional<StoredValue> before = Setting("AutoConfigURL");
        TakeNotifications();
        StopProgram();
        SCOPED_TRACE(mode);
        if (item == MenuItem::直连模式) {
            EXPECT_EQ(Setting("AutoConfigURL"), before)
                << "direct checked: the exit leaves the settings alone";
            EXPECT_EQ(Setting("ProxyServer"), Sz("corp-proxy:3128"));
            EXPECT_TRUE(TakeNotifications().empty());
        } else {
            EXPECT_EQ(Setting("ProxyEnable"), Dword(0));
            EXPECT_EQ(Setting("ProxyServer"), std::nullopt);
            EXPECT_EQ(Setting("AutoConfigURL"), std::nullopt);
            EXPECT_FALSE(EngineFileExists("pac"));
            EXPECT_EQ(TakeNotifications(), kBothNotifications);
        }
        EXPECT_EQ(Value("BasisConfig", "Proxy Mode"), mode);
    }
}

TEST_F(SysproxyModesTest, TheEndOfTheSessionResetsAsTheExitDoes) {
    StartWithMode("2");
    SetEngineRunning(true);
    ChooseMenuItem(MenuItem::全局模式);
    EXPECT_EQ(Setting("ProxyEnable"), Dword(1));
    SendMessageA(window_, WM_QUERYENDSESSION, 0, 0);
    SendMessageA(window_, WM_ENDSESSION, FALSE, 0);
    EXPECT_EQ(Setting("ProxyEnable"), Dword(1)) << "a cancelled session end changes nothing";
    SendMessageA(window_, WM_ENDSESSION, TRUE, 0);
    EXPECT_EQ(Setting("ProxyEnable"), Dword(0));
    EXPECT_EQ(Setting("ProxyServer"), std::nullopt);
    EXPECT_TRUE(IsMenuItemChecked(MenuItem::全局模式));
}

}  // namespace
}  // namespace vantaro::test
