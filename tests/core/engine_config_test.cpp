#include "core/engine_config.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>

namespace vantaro {
namespace {

using namespace std::string_literals;

// A small reader for a flat JSON object of string values: enough to prove the configuration is well-formed and to
// get the values back. nullopt for anything malformed (raw control bytes in strings, bad escapes, trailing text).
class FlatJsonReader {
public:
    explicit FlatJsonReader(std::string_view text) : text_(text) {}

    std::optional<std::map<std::string, std::string>> Object() {
        std::map<std::string, std::string> values;
        if (!Expect('{')) return std::nullopt;
        do {
            auto key = String();
            if (!key || !Expect(':')) return std::nullopt;
            auto value = String();
            if (!value || !values.emplace(*key, *value).second) return std::nullopt;
        } while (Expect(','));
        if (!Expect('}')) return std::nullopt;
        SkipBlanks();
        if (at_ != text_.size()) return std::nullopt;
        return values;
    }

private:
    void SkipBlanks() {
        while (at_ < text_.size() && (text_[at_] == ' ' || text_[at_] == '\t' || text_[at_] == '\n' ||
                                      text_[at_] == '\r')) {
            ++at_;
        }
    }
    bool Expect(char c) {
        SkipBlanks();
        if (at_ >= text_.size() || text_[at_] != c) return false;
        ++at_;
        return true;
    }
    std::optional<char> Escape() {
        if (at_ >= text_.size()) return std::nullopt;
        const char e = text_[at_++];
        switch (e) {
            case '"': case '\\': case '/': return e;
            case 'b': return '\b';
            case 'f': return '\f';
            case 'n': return '\n';
            case 'r': return '\r';
            case 't': return '\t';
            case 'u': {
                if (at_ + 4 > text_.size() || text_.substr(at_, 2) != "00") return std::nullopt;
                const std::string hex(text_.substr(at_ + 2, 2));
                at_ += 4;
                return static_cast<char>(std::stoi(hex, nullptr, 16));
            }
            default: return std::nullopt;
        }
    }
    std::optional<std::string> String() {
        if (!Expect('"')) return std::nullopt;
        std::string out;
        while (at_ < text_.size()) {
            const char c = text_[at_++];
            if (c == '"') return out;
            if (static_cast<unsigned char>(c) < 0x20) return std::nullopt;
            if (c != '\\') {
                out += c;
                continue;
            }
            const auto e = Escape();
            if (!e) return std::nullopt;
            out += *e;
        }
        return std::nullopt;
    }

    std::string_view text_;
    size_t at_ = 0;
};

TEST(FillEngineConfig, ExactBytesOfTheTemplate) {
    EXPECT_EQ(FillEngineConfig("8100", "192.0.2.1", "8388", "secret"),
              "{\n"
              "\t\"listen\": \":8100\",\n"
              "\t\"remote\": \"192.0.2.1:8388\",\n"
              "\t\"password\": \"secret\"\n"
              "}");
}

TEST(FillEngineConfig, SubstitutesInOrderOverTheWholeText) {
    // An ip or port holding "PASSWORD" gets the password; placeholders inside the password stay as written.
    EXPECT_EQ(FillEngineConfig("1", "PASSWORD", "2", "pw"),
              "{\n\t\"listen\": \":1\",\n\t\"remote\": \"pw:2\",\n\t\"password\": \"pw\"\n}");
    EXPECT_EQ(FillEngineConfig("1", "h", "PASSWORD", "pw"),
              "{\n\t\"listen\": \":1\",\n\t\"remote\": \"h:pw\",\n\t\"password\": \"pw\"\n}");
    EXPECT_EQ(FillEngineConfig("1", "h", "2", "Local_PORT IP:PORT PASSWORD"),
              "{\n\t\"listen\": \":1\",\n\t\"remote\": \"h:2\",\n\t\"password\": \"Local_PORT IP:PORT PASSWORD\"\n}");
    // The local port is replaced first, so placeholders in it are replaced by the later values.
    EXPECT_EQ(FillEngineConfig("IP:PORT", "h", "2", "pw"),
              "{\n\t\"listen\": \":h:2\",\n\t\"remote\": \"h:2\",\n\t\"password\": \"pw\"\n}");
    // Case matters.
    EXPECT_EQ(FillEngineConfig("1", "password", "local_port", "pw"),
              "{\n\t\"listen\": \":1\",\n\t\"remote\": \"password:local_port\",\n\t\"password\": \"pw\"\n}");
}

TEST(FillEngineConfig, EscapedValuesReadBackAsWritten) {
    struct Case { std::string localPort, ip, port, password; };
    const Case cases[] = {
        {"8100", "192.0.2.1", "8388", "a\"b\\c\r\nd"},
        {"8100", "192.0.2.1", "8388", "\x01\x1F\x7F\b\f\t"},
        {"8100", "2001:db8::1", "8388", "\xC3\xDC\xC2\xEB"},
        {"8\"1", "h\\", "\n", "\"}"},
    };
    for (const Case& c : cases) {
        const std::string config = FillEngineConfig(c.localPort, c.ip, c.port, c.password);
        const auto values = FlatJsonReader(config).Object();
        ASSERT_TRUE(values.has_value()) << config;
        EXPECT_EQ(values->size(), 3u);
        EXPECT_EQ(values->at("listen"), ":" + c.localPort);
        EXPECT_EQ(values->at("remote"), c.ip + ":" + c.port);
        EXPECT_EQ(values->at("password"), c.password);
    }
}

TEST(FillEngineConfig, GbkPasswordBytesAreUnchanged) {
    EXPECT_EQ(FillEngineConfig("8100", "h", "1", "\xC3\xDC\xC2\xEB"),
              "{\n\t\"listen\": \":8100\",\n\t\"remote\": \"h:1\",\n\t\"password\": \"\xC3\xDC\xC2\xEB\"\n}");
}

TEST(JsonEscape, EscapesQuotesBackslashesAndControlBytes) {
    struct Case { std::string bytes, escaped; };
    const Case cases[] = {
        {"plain", "plain"},
        {"\"", "\\\""},
        {"\\", "\\\\"},
        {"\b\f\n\r\t", "\\b\\f\\n\\r\\t"},
        {"\0"s, "\\u0000"},
        {"\x01\x1B\x1F", "\\u0001\\u001b\\u001f"},
        {"\x7F", "\\u007f"},
        {"/ ~", "/ ~"},
        {"\x80\xA1\xA1\xFF", "\x80\xA1\xA1\xFF"},
        {"", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(JsonEscape(c.bytes), c.escaped) << c.escaped;
}

}  // namespace
}  // namespace vantaro
