#include "config.h"

#include <gtest/gtest.h>

#include <string>

namespace vantaro::engine {
namespace {

// The file exactly as the program writes it: LF, TAB-indented, ANSI bytes.
std::string ProgramFile(const std::string& listen, const std::string& password) {
    return "{\n\t\"listen\": \"" + listen + "\",\n\t\"remote\": \"192.0.2.1:8388\",\n\t\"password\": \"" +
           password + "\"\n}";
}

TEST(EngineConfig, ReadsTheProgramsFile) {
    ConfigResult result = ParseEngineConfig(ProgramFile(":8100", "secret"));
    ASSERT_TRUE(result.config) << DescribeConfigProblem(result);
    EXPECT_EQ(result.config->listenHost, "");
    EXPECT_EQ(result.config->listenPort, 8100);
    EXPECT_EQ(result.config->remote, "192.0.2.1:8388");
    EXPECT_EQ(result.config->password, "secret");
}

TEST(EngineConfig, KeepsGbkBytesOfThePasswordUnchanged) {
    const std::string gbkPassword = "\xC3\xDC\xC2\xEB\x9C\x5C\x5C";  // 密码 and 淺 (trail byte 0x5C, escaped)
    ConfigResult result = ParseEngineConfig(ProgramFile(":8100", gbkPassword));
    ASSERT_TRUE(result.config) << DescribeConfigProblem(result);
    EXPECT_EQ(result.config->password, "\xC3\xDC\xC2\xEB\x9C\x5C");
}

TEST(EngineConfig, DecodesEscapesInStrings) {
    ConfigResult result =
        ParseEngineConfig(R"({"listen":"127.0.0.1:1080","password":"a\"b\\c\u0001\u00ff\u4e2d","remote":5})");
    ASSERT_TRUE(result.config) << DescribeConfigProblem(result);
    EXPECT_EQ(result.config->password, "a\"b\\c\x01\xFF\xE4\xB8\xAD");  // \u above U+00FF stays UTF-8
    EXPECT_EQ(result.config->listenHost, "127.0.0.1");
    EXPECT_EQ(result.config->listenPort, 1080);
    EXPECT_FALSE(result.config->remote) << "a value that is not text is not shown";
    EXPECT_EQ(ParseEngineConfig("\xEF\xBB\xBF{\"listen\":\":1\"}").config->listenPort, 1);
}

TEST(EngineConfig, NamesWhatIsWrong) {
    struct Case {
        const char* text;
        ConfigProblem problem;
    };
    const Case cases[] = {
        {"", ConfigProblem::NotJson},
        {"listen=:8100", ConfigProblem::NotJson},
        {"{\"listen\": \":8100\"", ConfigProblem::NotJson},
        {"{\"listen\": \":8100\"} trailing", ConfigProblem::NotJson},
        {"{\"listen\": \"\xC3\"}\xFF", ConfigProblem::NotJson},
        {"[\":8100\"]", ConfigProblem::NotObject},
        {"\":8100\"", ConfigProblem::NotObject},
        {"{}", ConfigProblem::ListenMissing},
        {"{\"Listen\": \":8100\"}", ConfigProblem::ListenMissing},
        {"{\"listen\": 8100}", ConfigProblem::ListenNotText},
        {"{\"listen\": null}", ConfigProblem::ListenNotText},
        {"{\"listen\": \"8100\"}", ConfigProblem::ListenNoPort},
        {"{\"listen\": \"127.0.0.1:\"}", ConfigProblem::ListenNoPort},
        {"{\"listen\": \":0\"}", ConfigProblem::ListenBadPort},
        {"{\"listen\": \":65536\"}", ConfigProblem::ListenBadPort},
    };
    for (const Case& c : cases) {
        ConfigResult result = ParseEngineConfig(c.text);
        EXPECT_FALSE(result.config) << c.text;
        EXPECT_EQ(result.problem, c.problem) << c.text;
        EXPECT_FALSE(DescribeConfigProblem(result).empty());
    }
}

TEST(ListenText, TakesThePortAfterTheLastColon) {
    struct Case {
        const char* text;
        const char* host;
        int port;
    };
    const Case good[] = {
        {":8100", "", 8100},
        {"127.0.0.1:1080", "127.0.0.1", 1080},
        {"0.0.0.0:1", "0.0.0.0", 1},
        {"[::1]:65535", "[::1]", 65535},
        {"localhost:08100", "localhost", 8100},
    };
    for (const Case& c : good) {
        auto address = ParseListen(c.text);
        ASSERT_TRUE(address) << c.text;
        EXPECT_EQ(address->host, c.host);
        EXPECT_EQ(address->port, c.port);
    }
    const char* bad[] = {"",     ":",   "8100", ":-1",    ":+80",       ": 80",
                         ":80 ", ":8o", ":0",   ":65536", ":000000080", ":99999999999999999999"};
    for (const char* text : bad) EXPECT_FALSE(ParseListen(text)) << text;
}

}  // namespace
}  // namespace vantaro::engine
