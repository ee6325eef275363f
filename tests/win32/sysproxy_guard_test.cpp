#include <gtest/gtest.h>

#include <fstream>

#include "platform/unique_handle.h"
#include "sysproxy_fixture.h"

namespace vantaro::test {
namespace {

const std::string kHex = "0123456789abcdef0123456789abcdef";

class SysproxyGuardTest : public SysproxyFixture {
  protected:
    std::optional<StoredValue> Setting(const char* name) { return QueryValue(kSettingsKey, name); }
    void Seed(const std::optional<StoredValue>& enable, const std::optional<StoredValue>& server,
              const std::optional<StoredValue>& url) {
        PutValue(kSettingsKey, "ProxyEnable", enable);
        PutValue(kSettingsKey, "ProxyServer", server);
        PutValue(kSettingsKey, "AutoConfigURL", url);
    }
    bool IsDirect() {
        return Setting("ProxyEnable") == Dword(0) && !Setting("ProxyServer") && !Setting("AutoConfigURL");
    }
};

// A killed instance left its settings behind: the next start puts them back to direct, and leaves anything
// that is not exactly what this program writes alone.
TEST_F(SysproxyGuardTest, StartupRepairsOnlyWhatThisProgramWrote) {
    const struct {
        const char* what;
        std::optional<StoredValue> enable, server, url;
        bool repaired;
    } cases[] = {
        {"served PAC address", Dword(0), std::nullopt, Sz("http://127.0.0.1:50123/" + kHex), true},
        {"global proxy on the saved port", Dword(1), Sz("127.0.0.1:8100"), std::nullopt, true},
        {"both", Dword(1), Sz("127.0.0.1:8100"), Sz("http://127.0.0.1:1/" + kHex), true},
        {"proxy on another port", Dword(1), Sz("127.0.0.1:8101"), std::nullopt, false},
        {"our proxy text but disabled", Dword(0), Sz("127.0.0.1:8100"), std::nullopt, false},
        {"another program's PAC", Dword(0), std::nullopt, Sz("http://wpad.corp/wpad.dat"), false},
        {"another program's proxy", Dword(1), Sz("corp-proxy:3128"), std::nullopt, false},
        {"a PAC address with a short path", Dword(0), std::nullopt, Sz("http://127.0.0.1:50123/0123"), false},
    };
    for (const auto& c : cases) {
        Seed(c.enable, c.server, c.url);
        StartWithMode("1");
        SCOPED_TRACE(c.what);
        if (c.repaired) {
            EXPECT_TRUE(IsDirect());
        } else {
            EXPECT_EQ(Setting("ProxyEnable"), c.enable);
            EXPECT_EQ(Setting("ProxyServer"), c.server);
            EXPECT_EQ(Setting("AutoConfigURL"), c.url);
        }
        // Leave as found: the exit resets only when a mode other than direct is checked.
        SendMessageA(window_, WM_COMMAND, MAKEWPARAM(static_cast<int>(MenuItem::直连模式), 0), 0);
        StopProgram();
    }
}

TEST_F(SysproxyGuardTest, TheOldFileAddressInTheEngineDirectoryIsRepairedWithItsFile) {
    std::ofstream(engineDirectory_ + "pac") << "old";
    Seed(Dword(0), std::nullopt, Sz("file://" + engineDirectory_ + "pac"));
    StartWithMode("0");
    EXPECT_TRUE(IsDirect());
    EXPECT_FALSE(EngineFileExists("pac"));
}

TEST_F(SysproxyGuardTest, WhileAnEngineRunsTheSettingsStay) {
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string engine = self;
    engine = engine.substr(0, engine.rfind('\\')) + "\\..\\engine\\vantaro-local.exe";
    if (GetFileAttributesA(engine.c_str()) == INVALID_FILE_ATTRIBUTES)
        GTEST_SKIP() << "no stand-in engine built";
    const std::string config = runDirectory_ + "\\engine.json";
    std::ofstream(config) << "{\"listen\":\"127.0.0.1:18471\"}";
    std::string commandLine = "\"" + engine + "\" -c \"" + config + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    ASSERT_TRUE(CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW,
                               nullptr, nullptr, &startup, &process));
    KernelHandle processHandle(process.hProcess);
    KernelHandle threadHandle(process.hThread);
    ScopeGuard ended([&] {
        TerminateProcess(process.hProcess, 0);
        WaitForSingleObject(process.hProcess, 5000);
    });
    Sleep(300);
    ASSERT_EQ(WaitForSingleObject(process.hProcess, 0), static_cast<DWORD>(WAIT_TIMEOUT))
        << "the engine ended";
    Seed(Dword(1), Sz("127.0.0.1:8100"), std::nullopt);
    StartWithMode("0");
    EXPECT_EQ(Setting("ProxyEnable"), Dword(1));
    EXPECT_EQ(Setting("ProxyServer"), Sz("127.0.0.1:8100"));
}

}  // namespace
}  // namespace vantaro::test
