#include "core/bounded_log.h"

#include <gtest/gtest.h>

#include <string>

namespace vantaro {
namespace {

TEST(KeepNewestLines, KeepsWholeLinesOrWholeCharacters) {
    struct Case {
        std::string text;
        size_t maxBytes;
        std::string kept;
    };
    const Case cases[] = {
        {"", 0, ""},
        {"abc", 3, "abc"},                       // fits: unchanged
        {"one\ntwo\nthree\n", 10, "two\nthree\n"},  // a line starts exactly at the excess
        {"one\ntwo\nthree\n", 9, "three\n"},       // "o\nthree\n" would fit; the next whole line starts later
        {"one\ntwo\nthree\n", 12, "two\nthree\n"},
        {"one\r\ntwo\r\r\n", 7, "two\r\r\n"},     // the log's CR CR LF lines
        {"abcdef", 4, "cdef"},                   // no line break: a plain cut
        {"abc\n", 2, "c\n"},                     // the only line break ends the text: no line starts in the tail
        {"\xD6\xD0\xCE\xC4", 3, "\xCE\xC4"},     // 中文: never half a character
        {"\xD6\xD0\xCE\xC4", 2, "\xCE\xC4"},
        {"a\xD6\xD0\xCE\xC4", 3, "\xCE\xC4"},    // the cut would fall inside 中: the whole character goes
        {"\xD6\x5C" "ab", 2, "ab"},              // trail byte 0x5C is part of the character
        {"x\n\xD6\xD0y", 4, "\xD6\xD0y"},         // a line start inside the tail
    };
    for (const Case& c : cases) {
        EXPECT_EQ(KeepNewestLines(c.text, c.maxBytes), c.kept) << c.text << " / " << c.maxBytes;
        EXPECT_LE(KeepNewestLines(c.text, c.maxBytes).size(), c.maxBytes);
    }
}

TEST(BoundedLog, AppendsUntilTheCapThenDropsOldestLinesDownToTheMargin) {
    BoundedLog log(20, 12);
    EXPECT_FALSE(log.Append("line 1\r\n"));
    EXPECT_FALSE(log.Append("line 2\r\n"));
    EXPECT_EQ(log.Text(), "line 1\r\nline 2\r\n");
    EXPECT_FALSE(log.Append("1234"));  // exactly the cap
    EXPECT_EQ(log.Text().size(), 20u);
    EXPECT_TRUE(log.Append("5\r\n"));   // past the cap: whole text replaced, at most 12 bytes, from a line start
    EXPECT_LE(log.Text().size(), 12u);
    EXPECT_EQ(log.Text(), "12345\r\n");
    EXPECT_FALSE(log.Append("6"));
    EXPECT_EQ(log.Text(), "12345\r\n6");
    log.Clear();
    EXPECT_EQ(log.Text(), "");
}

TEST(BoundedLog, FloodStaysBoundedAndEndsWithTheNewestOutput) {
    const size_t cap = 1000;
    BoundedLog log(cap, 750);
    int replaced = 0;
    std::string last;
    for (int i = 0; i < 10000; ++i) {
        last = "\xC8\xD5\xD6\xBE " + std::to_string(i) + "\r\r\n";  // 日志 n
        replaced += log.Append(last) ? 1 : 0;
        ASSERT_LE(log.Text().size(), cap);
    }
    EXPECT_GE(log.Text().size(), 700u);
    EXPECT_EQ(log.Text().substr(log.Text().size() - last.size()), last);
    EXPECT_EQ(log.Text().substr(0, 4), "\xC8\xD5\xD6\xBE");  // starts with a whole line
    // Dropping resets the box: it happens once per margin's worth of output, not on every append.
    EXPECT_LT(replaced, 10000 / 10);
}

TEST(BoundedLog, OneBatchLargerThanTheCapKeepsItsNewestPart) {
    BoundedLog log(10, 8);
    log.Append("ab\n");
    EXPECT_TRUE(log.Append("0123456789ABCDEF"));
    EXPECT_EQ(log.Text(), "89ABCDEF");
}

}  // namespace
}  // namespace vantaro
