#include <windows.h>

#include "app_fixture.h"
#include "platform/module_path.h"
#include "platform/registry.h"

namespace vantaro::test {
namespace {

class RunAtStartup : public AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        DeleteRegistryValue(HKEY_LOCAL_MACHINE, kRunKeyPath, "vantaro Tools");
    }
    void TearDown() override {
        SetRunKeyAccess(realAccess_);
        DeleteRegistryValue(HKEY_LOCAL_MACHINE, kRunKeyPath, "vantaro Tools");
        AppFixture::TearDown();
    }
    std::string RunValue() {
        HKEY key = nullptr;
        char data[1024] = {};
        DWORD size = sizeof(data), type = 0;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kRunKeyPath, 0, KEY_READ, &key) != ERROR_SUCCESS) return "<no key>";
        const LONG result = RegQueryValueExA(key, "vantaro Tools", nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
        RegCloseKey(key);
        if (result != ERROR_SUCCESS) return "<none>";
        return type == REG_SZ ? std::string(data) : "<not REG_SZ>";
    }
    const RunKeyAccess realAccess_ = RunKey();
};

TEST_F(RunAtStartup, TickingAndClearingChangeTheRunValueAndConfig) {
    ASSERT_NE(StartProgram(), nullptr);
    Click(Ctl::选择框_开机启动);
    EXPECT_EQ(RunValue(), "\"" + OwnExecutableDirectory() + "\\" + OwnExecutableFileName() + "\"");
    EXPECT_EQ(Value("BasisConfig", "Run"), "true");
    EXPECT_TRUE(Checked(Ctl::选择框_开机启动));
    Click(Ctl::选择框_开机启动);
    EXPECT_EQ(RunValue(), "<none>");
    EXPECT_EQ(Value("BasisConfig", "Run"), "false");
    EXPECT_TRUE(TakeMessages().empty());
}

TEST_F(RunAtStartup, ClearingAnAbsentValueSucceeds) {
    WriteConfig("[BasisConfig]\r\nRun=true\r\n");
    ASSERT_NE(StartProgram(), nullptr);
    ASSERT_TRUE(Checked(Ctl::选择框_开机启动)) << "the saved flag ticks the box; the registry is not read";
    Click(Ctl::选择框_开机启动);
    EXPECT_EQ(Value("BasisConfig", "Run"), "false");
    EXPECT_TRUE(TakeMessages().empty());
}

TEST_F(RunAtStartup, RefusedWriteIsReportedAndPutBack) {
    ASSERT_NE(StartProgram(), nullptr);
    SetRunKeyAccess({[](const std::string&, const std::string&) { return false; }, realAccess_.remove,
                     realAccess_.exists});
    Click(Ctl::选择框_开机启动);
    const auto messages = TakeMessages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "设置开机启动失败！可能是没有权限导致的，请尝试[以管理员方式运行] vantaro Tools 重试。");
    EXPECT_EQ(messages[0].title, "错误");
    EXPECT_FALSE(Checked(Ctl::选择框_开机启动));
    EXPECT_EQ(Value("BasisConfig", "Run"), "<missing>");
}

TEST_F(RunAtStartup, RefusedDeleteIsReportedAndPutBack) {
    ASSERT_NE(StartProgram(), nullptr);
    Click(Ctl::选择框_开机启动);
    SetRunKeyAccess({realAccess_.write, [](const std::string&) { return false; }, realAccess_.exists});
    Click(Ctl::选择框_开机启动);
    const auto messages = TakeMessages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "取消开机启动失败！可能是没有权限导致的，请尝试[以管理员方式运行] vantaro Tools 重试。");
    EXPECT_TRUE(Checked(Ctl::选择框_开机启动));
    EXPECT_EQ(Value("BasisConfig", "Run"), "true");
}

TEST_F(RunAtStartup, OnlyExistenceIsTested) {
    WriteStringValue(HKEY_LOCAL_MACHINE, kRunKeyPath, "vantaro Tools", "\"C:\\elsewhere\\old.exe\"");
    ASSERT_NE(StartProgram(), nullptr);
    SetRunKeyAccess({[](const std::string&, const std::string&) { return false; }, realAccess_.remove,
                     realAccess_.exists});
    Click(Ctl::选择框_开机启动);
    EXPECT_TRUE(TakeMessages().empty());
    EXPECT_EQ(Value("BasisConfig", "Run"), "true");
    EXPECT_EQ(RunValue(), "\"C:\\elsewhere\\old.exe\"");
}

}  // namespace
}  // namespace vantaro::test
