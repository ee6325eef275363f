#include "core/node_text.h"

#include <gtest/gtest.h>

#include "core/decimal.h"

namespace vantaro {
namespace {

TEST(NodeText, SplitsAtEverySingleSpace) {
    using Fields = std::vector<std::string>;
    EXPECT_EQ(SplitNodeFields("1.2.3.4 8388 pw"), (Fields{"1.2.3.4", "8388", "pw"}));
    EXPECT_EQ(SplitNodeFields("a  b"), (Fields{"a", "", "b"})) << "two spaces give an empty field";
    EXPECT_EQ(SplitNodeFields("a b "), (Fields{"a", "b"})) << "a trailing space gives no field";
    EXPECT_EQ(SplitNodeFields(""), Fields{});
    EXPECT_EQ(SplitNodeFields("a b c d"), (Fields{"a", "b", "c", "d"}));
}

TEST(NodeText, ShortNodesReadAsEmptyFieldsAndExtraFieldsAreIgnored) {
    struct Case {
        const char* text;
        const char* ip;
        const char* port;
        const char* password;
    };
    const Case cases[] = {
        {"host", "host", "", ""},
        {"host 80", "host", "80", ""},
        {"host 80 ", "host", "80", ""},
        {"host 80 pass word", "host", "80", "pass"},
        {"\xB7\xFE\xCE\xF1 80 \xC3\xDC\xC2\xEB", "\xB7\xFE\xCE\xF1", "80", "\xC3\xDC\xC2\xEB"},
    };
    for (const Case& c : cases) {
        const ServerNode node = ParseNodeText(c.text);
        EXPECT_EQ(node.ip, c.ip) << c.text;
        EXPECT_EQ(node.port, c.port) << c.text;
        EXPECT_EQ(node.password, c.password) << c.text;
    }
    EXPECT_EQ(MakeNodeText("1.2.3.4", "80", "pass word"), "1.2.3.4 80 pass word");
}

TEST(Decimal, LeadingIntegerLikeTheProfileValuesAreRead) {
    struct Case {
        const char* text;
        long long value;
    };
    const Case cases[] = {{"12", 12},    {"-1", -1},     {"+7", 7},  {"3abc", 3},
                          {"abc", 0},    {"", 0},        {" 5", 5},  {"-", 0},
                          {"99999999999999999999999", 9223372036854775807LL}};
    for (const Case& c : cases) EXPECT_EQ(ParseLeadingInteger(c.text), c.value) << c.text;
}

}  // namespace
}  // namespace vantaro
