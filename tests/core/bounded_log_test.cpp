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
        {"abc", 3, "abc"},                          // fits: unchanged
        {"one\ntwo\nthree\n", 10, "two\nthree\n"},  // a line starts exactly at the excess
        {"one\ntwo\nthree\n", 9, "three\n"},  // "o\nthree\n" would fit; the next whole line starts later
        {"one\ntwo\nthree\n", 12, "two\nthree\n"},
        {"one\r\ntwo\r\r\n", 7, "two\r\r\n"},  // the log's CR CR LF lines
        {"abcdef", 4, "cdef"},                 // no line break: a plain cut
        {"abc\n", 2, "c\n"},                  // the only line break ends the text: no line starts in the tail
        {"\xD6\xD0\xCE\xC4", 3, "\xCE\xC4"},  // 中文: never half a character
        {"\xD6\xD0\xCE\xC4", 2, "\xCE\xC4"},
        {"a\xD6\xD0\xCE\xC4", 3, "\xCE\xC4"},  // the cut would fall inside 中: the whole character goes
        {"\xD6\x5C"
         "ab",
         2, "ab"},                         // trail byte 0x5C is part of the character
        {"x\n\xD6\xD0y", 4, "\xD6\xD0y"},  // a line start inside the tail
    };
    for (const Case& c : cases) {
        EXPECT_EQ(KeepNewestLines(c.text, c.maxBytes), c.kept) << c.text << " / " << c.maxBytes;
        EXPECT_LE(KeepNewestLines(c.text, c.maxBytes).size(), c.maxBytes);
    }
}

TEST(BoundedLog, AppendsUntilTheCapThenDropsOldestLinesDownToTheMargin) {
    BoundedLog log(20, 12);
    EXPECT_EQ(log.Append("line 1\r\n"), 0u);
    EXPECT_EQ(log.Append("line 2\r\n"), 0u);
    EXPECT_EQ(log.Text(), "line 1\r\nline 2\r\n");
    EXPECT_EQ(log.Append("1234"), 0u);  // exactly the cap
    EXPECT_EQ(log.Text().size(), 20u);
    // Past the cap: whole old lines go until old and new fit in the margin (12 - 3 = 9 old bytes at most).
    EXPECT_EQ(log.Append("5\r\n"), 16u);
    EXPECT_EQ(log.Text(), "12345\r\n");
    EXPECT_EQ(log.Append("6"), 0u);
    EXPECT_EQ(log.Text(), "12345\r\n6");
    log.Clear();
    EXPECT_EQ(log.Text(), "");
}

TEST(BoundedLog, FloodStaysBoundedAndEndsWithTheNewestOutput) {
    const size_t cap = 1000;
    BoundedLog log(cap, 750);
    int drops = 0;
    std::string mirror;  // what a box that drops and appends as told holds
    std::string last;
    for (int i = 0; i < 10000; ++i) {
        last = "\xC8\xD5\xD6\xBE " + std::to_string(i) + "\r\r\n";  // 日志 n
        const size_t dropped = log.Append(last);
        drops += dropped > 0 ? 1 : 0;
        mirror.erase(0, dropped);
        mirror += last;
        ASSERT_LE(log.Text().size(), cap);
        ASSERT_EQ(mirror, log.Text());
    }
    EXPECT_GE(log.Text().size(), 700u);
    EXPECT_EQ(log.Text().substr(log.Text().size() - last.size()), last);
    EXPECT_EQ(log.Text().substr(0, 4), "\xC8\xD5\xD6\xBE");  // starts with a whole line
    // Dropping happens once per margin's worth of output, not on every append.
    EXPECT_LT(drops, 10000 / 10);
}

TEST(BoundedLog, OneTextLongerThanTheMarginKeepsItsNewestPart) {
    BoundedLog log(10, 8);
    log.Append("ab\n");
    EXPECT_EQ(log.Append("0123456789ABCDEF"), 3u);  // everything held before
    EXPECT_EQ(log.Text(), "89ABCDEF");
}

}  // namespace
}  // namespace vantaro
