#include "engine/engine_config_file.h"

#include "app_fixture.h"
#include "core/well_known_paths.h"
#include "engine_test_support.h"
#include "platform/shell.h"

namespace vantaro::test {
namespace {

class EngineConfigFile : public AppFixture {
  protected:
    void SetUp() override {
        AppFixture::SetUp();
        ASSERT_NE(StartProgram(), nullptr);
        path_ = EngineConfigPath(LogonUserName());
    }
    void Fill(const std::string& localPort, const std::string& ip, const std::string& port,
              const std::string& password) {
        SetText(Ctl::编辑框_本地端口, localPort);
        SetText(Ctl::编辑框_服务器IP, ip);
        SetText(Ctl::编辑框_服务器端口, port);
        SetText(Ctl::编辑框_服务器密码, password);
    }
    std::string path_;
};

TEST_F(EngineConfigFile, WritesTheTemplateBytesUnderUsersAndLogonName) {
    EXPECT_EQ(path_, "C:\\Users\\" + LogonUserName() + "\\.vantaro.json");
    struct Case {
        std::string localPort, ip, port, password, bytes;
    };
    const Case cases[] = {
        {"8100", "192.0.2.7", "8388", "secret",
         "{\n\t\"listen\": \":8100\",\n\t\"remote\": \"192.0.2.7:8388\",\n\t\"password\": \"secret\"\n}"},
        // GBK bytes as they stand, no byte-order mark.
        {"1080", "example.org", "443", "密码",
         "{\n\t\"listen\": \":1080\",\n\t\"remote\": \"example.org:443\",\n\t\"password\": "
         "\"\xC3\xDC\xC2\xEB\"\n}"},
        // A later placeholder inside an earlier value is replaced; an earlier one in a later value is not.
        {"1", "PASSWORD", "2", "Local_PORT IP:PORT",
         "{\n\t\"listen\": \":1\",\n\t\"remote\": \"Local_PORT IP:PORT:2\",\n\t\"password\": \"Local_PORT "
         "IP:PORT\"\n}"},
        // Quotes and backslashes reach the engine intact and cannot add keys.
        {"8100", "1.2.3.4", "9", "a\"b\\c\", \"x\": \"y",
         "{\n\t\"listen\": \":8100\",\n\t\"remote\": \"1.2.3.4:9\",\n\t\"password\": \"a\\\"b\\\\c\\\", "
         "\\\"x\\\": \\\"y\"\n}"},
    };
    for (const Case& c : cases) {
        Fill(c.localPort, c.ip, c.port, c.password);
        ASSERT_TRUE(WriteEngineConfig()) << c.password;
        EXPECT_EQ(ReadWholeFile(path_), c.bytes) << c.password;
    }
}

TEST_F(EngineConfigFile, RewritesALongerFileWhole) {
    Fill("8100", "192.0.2.7", "8388", std::string(300, 'p'));
    ASSERT_TRUE(WriteEngineConfig());
    Fill("8100", "192.0.2.7", "8388", "s");
    ASSERT_TRUE(WriteEngineConfig());
    EXPECT_EQ(ReadWholeFile(path_),
              "{\n\t\"listen\": \":8100\",\n\t\"remote\": \"192.0.2.7:8388\",\n\t\"password\": \"s\"\n}");
}

// The file is opened so that nobody else may write it meanwhile: a process that already writes it makes the
// write fail, while one that only reads it (and lets others write) does not.
TEST_F(EngineConfigFile, OtherWritersAreRefusedReadersAreNot) {
    Fill("8100", "192.0.2.7", "8388", "secret");
    ASSERT_TRUE(WriteEngineConfig());
    {
        KernelHandle writer(CreateFileA(path_.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                        nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(writer);
        EXPECT_FALSE(WriteEngineConfig());
    }
    {
        KernelHandle reader(CreateFileA(path_.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                        nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(reader);
        EXPECT_TRUE(WriteEngineConfig());
    }
    {
        KernelHandle exclusiveReader(
            CreateFileA(path_.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(exclusiveReader);
        EXPECT_FALSE(WriteEngineConfig());  // the reader lets nobody write
    }
    EXPECT_TRUE(WriteEngineConfig());
}

}  // namespace
}  // namespace vantaro::test
