#include "core/share_link.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/base64.h"

namespace vantaro {
namespace {

using namespace std::string_literals;

// A link whose payload is the standard, padded Base64 of `plain`, for payloads MakeShareLink would not produce.
std::string RawLink(const std::string& plain) { return "vantaro://" + Base64Encode(plain); }

const ShareLinkFields kDocNode{"192.0.2.1", "8388", "secret"};

TEST(MakeShareLink, UrlSafeAlphabetWithoutPadding) {
    EXPECT_EQ(MakeShareLink("192.0.2.1", "8388", "secret"), "vantaro://MTkyLjAuMi4xOjgzODg6c2VjcmV0");
    // Standard "MTkyLjAuMi4xOjgzODg6YT4/fg==" : "/" -> "_", padding deleted.
    EXPECT_EQ(MakeShareLink("192.0.2.1", "8388", "a>?~"), "vantaro://MTkyLjAuMi4xOjgzODg6YT4_fg");
    // Standard ends "cHc/Pz4=".
    EXPECT_EQ(MakeShareLink("192.0.2.1", "8388", "pw?\?>"), "vantaro://MTkyLjAuMi4xOjgzODg6cHc_Pz4");
    // Password bytes FB FF BF are "+/+/" in the standard alphabet.
    EXPECT_EQ(MakeShareLink("192.0.2.1", "8388", "\xFB\xFF\xBF"), "vantaro://MTkyLjAuMi4xOjgzODg6-_-_");
}

struct ParseCase {
    std::string line;
    std::optional<ShareLinkFields> fields;
};

TEST(ParseShareLinkLine, ForgivingPayloadForms) {
    const ParseCase cases[] = {
        {"vantaro://MTkyLjAuMi4xOjgzODg6c2VjcmV0", kDocNode},
        // Password "a>?~": standard and URL-safe alphabets, with and without padding.
        {"vantaro://MTkyLjAuMi4xOjgzODg6YT4/fg==", ShareLinkFields{"192.0.2.1", "8388", "a>?~"}},
        {"vantaro://MTkyLjAuMi4xOjgzODg6YT4/fg", ShareLinkFields{"192.0.2.1", "8388", "a>?~"}},
        {"vantaro://MTkyLjAuMi4xOjgzODg6YT4_fg==", ShareLinkFields{"192.0.2.1", "8388", "a>?~"}},
        {"vantaro://MTkyLjAuMi4xOjgzODg6YT4_fg", ShareLinkFields{"192.0.2.1", "8388", "a>?~"}},
        // Blanks inside and after the payload, ASCII and full-width.
        {"vantaro://MTky LjAu Mi4x Ojgz ODg6 c2Vj cmV0   ", kDocNode},
        {"vantaro://MTkyLjAuMi4x\xA1\xA1OjgzODg6c2VjcmV0\xA1\xA1", kDocNode},
        // No colon at all: everything is the password.
        {"vantaro://c2VjcmV0", ShareLinkFields{"", "", "secret"}},
        // One colon: port and password.
        {RawLink("8388:secret"), ShareLinkFields{"", "8388", "secret"}},
        // Colons in the password are not possible: the split is at the last two colons.
        {RawLink("192.0.2.1:8388:pa:ss:word"), ShareLinkFields{"192.0.2.1:8388:pa", "ss", "word"}},
        // 密码 as GBK bytes.
        {"vantaro://MTkyLjAuMi4xOjgzODg6w9zC6w==", ShareLinkFields{"192.0.2.1", "8388", "\xC3\xDC\xC2\xEB"}},
        // Decoding stops at the first zero byte.
        {RawLink("192.0.2.1:8388:secret\0junk"s), kDocNode},
        // Not usable: no prefix match, nothing decoded, empty password.
        {"VANTARO://MTkyLjAuMi4xOjgzODg6c2VjcmV0", std::nullopt},
        {"Vantaro://MTkyLjAuMi4xOjgzODg6c2VjcmV0", std::nullopt},
        {" vantaro://MTkyLjAuMi4xOjgzODg6c2VjcmV0", std::nullopt},
        {"\xA1\xA1vantaro://MTkyLjAuMi4xOjgzODg6c2VjcmV0", std::nullopt},
        {"vantaro:/MTkyLjAuMi4xOjgzODg6c2VjcmV0", std::nullopt},
        {"vantaro://", std::nullopt},
        {"vantaro://   ", std::nullopt},
        {"vantaro://AAAA", std::nullopt},
        {RawLink("192.0.2.1:8388:"), std::nullopt},
        {"vantaro://MTkyLjAuMi4xOjgzODg6", std::nullopt},
        {"", std::nullopt},
    };
    for (const ParseCase& c : cases) EXPECT_EQ(ParseShareLinkLine(c.line), c.fields) << c.line;
}

TEST(ParseShareLinkLine, HostileFieldsAreRejected) {
    // Every byte that would break the INI line, in each of the three fields.
    const std::string hostile[] = {"\r\n[x]", "\r", "\n", " ", "\t", "\x01", "\x1F", "\x7F", "\x1B",
                                   "\xA1\xA1"};
    for (const std::string& bad : hostile) {
        const std::string plains[] = {"192.0" + bad + ".2.1:8388:secret", "192.0.2.1:83" + bad + "88:secret",
                                      "192.0.2.1:8388:sec" + bad + "ret", "192.0.2.1:8388:secret" + bad};
        for (const std::string& plain : plains) EXPECT_EQ(ParseShareLinkLine(RawLink(plain)), std::nullopt) << plain;
    }
    // An INI injection attempt in the password.
    EXPECT_EQ(ParseShareLinkLine(RawLink("192.0.2.1:8388:pw\r\n[Node]\r\nip=203.0.113.9")), std::nullopt);
}

TEST(ParseShareLinkLine, GbkTrailA1IsNotAFullWidthSpace) {
    // 啊 (B0 A1) followed by 、 (A1 A2): the bytes A1 A1 straddle two characters and are not a blank.
    const ShareLinkFields f{"192.0.2.1", "8388", "\xB0\xA1\xA1\xA2"};
    EXPECT_EQ(ParseShareLinkLine(MakeShareLink(f.ip, f.port, f.password)), f);
}

TEST(ParseShareLinkLine, RoundTripsMadeLinks) {
    const ShareLinkFields cases[] = {
        kDocNode,
        {"2001:db8::1", "8388", "secret"},
        {"example.org", "443", "\xC3\xDC\xC2\xEB"},
        {"192.0.2.1", "8388", "~~~>>>???"},
        {"192.0.2.1", "8388", "\xFB\xFF\xBF"},
        {"", "", "p"},
    };
    for (const ShareLinkFields& f : cases) {
        EXPECT_EQ(ParseShareLinkLine(MakeShareLink(f.ip, f.port, f.password)), f) << f.ip;
    }
}

TEST(ParseShareLinkLine, ReportsEachDecodedGroup) {
    int calls = 0;
    ParseShareLinkLine("vantaro://MTkyLjAuMi4xOjgzODg6c2VjcmV0", [&] { ++calls; });
    EXPECT_EQ(calls, 7);
}

TEST(SplitClipboardLines, SplitsAtCrLfOnly) {
    struct Case { std::string text; std::vector<std::string> lines; };
    const Case cases[] = {
        {"", {}},
        {"a", {"a"}},
        {"a\r\n", {"a"}},
        {"a\r\nb", {"a", "b"}},
        {"a\r\n\r\nb\r\n", {"a", "", "b"}},
        {"\r\n", {""}},
        {"\r\n\r\n", {"", ""}},
        {"a\nb\rc", {"a\nb\rc"}},
        {"a\r\r\nb", {"a\r", "b"}},
    };
    for (const Case& c : cases) EXPECT_EQ(SplitClipboardLines(c.text), c.lines) << c.text;
}

TEST(FindFirstShareLink, PicksTheFirstUsableLine) {
    const std::string hostile = RawLink("192.0.2.1:8388:pw\r\nx=1");
    const std::string text = "hello\r\n"
                             "vantaro://\r\n" +
                             hostile + "\r\n"
                             "VANTARO://MTkyLjAuMi4xOjgzODg6c2VjcmV0\r\n"
                             "\r\n" +
                             MakeShareLink("198.51.100.7", "443", "first") + "\r\n" +
                             MakeShareLink("203.0.113.1", "80", "second") + "\r\n";
    EXPECT_EQ(FindFirstShareLink(text), (ShareLinkFields{"198.51.100.7", "443", "first"}));
    EXPECT_EQ(FindFirstShareLink("nothing here\r\nvantaro://\r\n"), std::nullopt);
    EXPECT_EQ(FindFirstShareLink(""), std::nullopt);
}

}  // namespace
}  // namespace vantaro
