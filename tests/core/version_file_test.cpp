#include "core/version_file.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace vantaro {
namespace {

using namespace std::string_literals;

struct IniCase {
    std::string text, section, key;
    std::optional<std::string> value;
};

TEST(ReadIniValue, ReadsLikeTheProfileReader) {
    const IniCase cases[] = {
        {"[a]\r\nk=v\r\n", "a", "k", "v"},
        {"[a]\nk=v\n", "a", "k", "v"},
        {"[a]\nk=v", "a", "k", "v"},
        // Names match case-insensitively after trimming; the value is trimmed and unquoted once.
        {"  [ Main Sect ]  \r\n  Some Key  =  some value  \r\n", "main sect", "SOME KEY", "some value"},
        {"[a]\nk=\"quoted \"\n", "a", "k", "quoted "},
        {"[a]\nk='single'\n", "a", "k", "single"},
        {"[a]\nk=\"mixed'\n", "a", "k", "\"mixed'"},
        {"[a]\nk=\"\"x\"\"\n", "a", "k", "\"x\""},
        {"[a]\nk=\"\n", "a", "k", "\""},
        {"[a]\nk=\t\n", "a", "k", ""},
        {"[a]\nk=a=b\n", "a", "k", "a=b"},
        // First match wins, also across repeated sections.
        {"[a]\nk=1\nk=2\n[a]\nk=3\n", "a", "k", "1"},
        {"[b]\nk=1\n[a]\nk=2\n", "a", "k", "2"},
        {"[a]\nx=1\n[b]\nk=2\n", "a", "k", std::nullopt},
        {"k=1\n[a]\n", "a", "k", std::nullopt},
        {"[a]\nk\n", "a", "k", std::nullopt},
        {"[ab]\nk=1\n", "a", "k", std::nullopt},
        {"[a]\nkk=1\n", "a", "k", std::nullopt},
        // The text ends at its first zero byte; a UTF-8 BOM is skipped.
        {"[a]\nk=1\0\n[b]\nk=2\n"s, "b", "k", std::nullopt},
        {"[a]\nk=abc\0def"s, "a", "k", "abc"},
        {"\xEF\xBB\xBF[a]\r\nk=1\r\n", "a", "k", "1"},
        // GBK names: ASCII letters fold, double-byte characters must be equal byte for byte, even where the trail
        // byte is a letter (81 41 and 81 61 are different characters).
        {"[vantaro Tools]\r\n最新版本=1.0.2\r\n", "VANTARO tools", "最新版本", "1.0.2"},
        {"[s]\n\x81\x61=x\n", "s", "\x81\x41", std::nullopt},
        {"[\x81\x61]\nk=x\n", "\x81\x41", "k", std::nullopt},
        {"[s]\n\x81\x41" "A=x\n", "s", "\x81\x41" "a", "x"},
        {"", "a", "k", std::nullopt},
    };
    for (const IniCase& c : cases) EXPECT_EQ(ReadIniValue(c.text, c.section, c.key), c.value) << c.text;
}

// A version file as published; the keys are GBK.
std::string VersionFile(const std::string& version, const std::string& build, const std::string& eol = "\r\n") {
    return "[vantaro Tools]" + eol + "最新版本=" + version + eol + "版本号=" + build + eol;
}

struct VersionCase {
    std::string body;
    std::optional<std::string> announced;
};

TEST(CheckVersionFile, AnnouncesOnlyANewerBuildWithOtherVersionText) {
    const VersionCase cases[] = {
        {VersionFile("1.0.2", "3"), "1.0.2"},
        {VersionFile("1.0.2", "3", "\n"), "1.0.2"},
        {VersionFile("1.0.1", "9"), std::nullopt},   // same version text, higher build
        {VersionFile("1.0.2", "2"), std::nullopt},   // other text, same build
        {VersionFile("1.0.0", "1"), std::nullopt},
        {VersionFile("0.9", "3"), "0.9"},            // only the build number decides "newer"
        {VersionFile("1.0.2", "abc"), std::nullopt}, // reads as 0
        {VersionFile("1.0.2", "3abc"), "1.0.2"},
        {VersionFile("1.0.2", ""), std::nullopt},
        {VersionFile("", "3"), std::nullopt},
        {VersionFile("\"1.0.2\"", " 3 "), "1.0.2"},
        {"[other]\r\n最新版本=1.0.2\r\n版本号=3\r\n", std::nullopt},
        {"[vantaro Tools]\r\n最新版本=1.0.2\r\n", std::nullopt},
        {"<html><head><title>404 Not Found</title></head>\r\n<body>Not Found</body></html>\r\n", std::nullopt},
        {"", std::nullopt},
        {"\0"s + VersionFile("1.0.2", "3"), std::nullopt},
    };
    for (const VersionCase& c : cases) {
        const auto got = CheckVersionFile(c.body, "1.0.1", "2");
        const std::optional<std::string> latest = got ? std::optional<std::string>(got->latestVersion) : std::nullopt;
        EXPECT_EQ(latest, c.announced) << c.body;
    }
}

TEST(CheckVersionFile, KeysAreTheGbkBytes) {
    const std::string body = "[vantaro Tools]\r\n\xD7\xEE\xD0\xC2\xB0\xE6\xB1\xBE=1.0.2\r\n\xB0\xE6\xB1\xBE\xBA\xC5=3\r\n";
    const auto got = CheckVersionFile(body, "1.0.1", "2");
    ASSERT_TRUE(got.has_value());
    EXPECT_EQ(got->latestVersion, "1.0.2");
}

TEST(UpdateTexts, ExactBytes) {
    // 发现新版本 = B7A2 CFD6 D0C2 B0E6 B1BE; full-width "！" = A3A1; "：" = A3BA.
    EXPECT_EQ(UpdateBalloonTitle("1.0.2"),
              "vantaro Tools \xB7\xA2\xCF\xD6\xD0\xC2\xB0\xE6\xB1\xBE v1.0.2 \xA3\xA1");
    EXPECT_EQ(UpdateBalloonText("http://example.org/p"),
              "\xC7\xEB\xC7\xB0\xCD\xF9\xB8\xFC\xD0\xC2\xA3\xBA" "http://example.org/p");
    EXPECT_EQ(UpdatedCaption("1.0.1", "1.0.2"),
              "vantaro Tools    v1.0.1    \xB7\xA2\xCF\xD6\xD0\xC2\xB0\xE6\xB1\xBE\xA3\xBAv1.0.2");
}

}  // namespace
}  // namespace vantaro
