#include "core/utf8_stream.h"

#include <gtest/gtest.h>

#include <string>

namespace vantaro {
namespace {

using namespace std::string_literals;

// Feeds the text in two reads split at `at` and returns everything handed out.
std::string FeedSplit(const std::string& text, size_t at, std::string* afterFirst = nullptr) {
    Utf8Carry carry;
    std::string out = carry.Take(std::string_view(text).substr(0, at));
    if (afterFirst) *afterFirst = out;
    out += carry.Take(std::string_view(text).substr(at));
    return out;
}

TEST(Utf8Carry, SequencesSplitAtEveryPositionComeOutWhole) {
    // "a" + U+00E9 (2 bytes) + U+4E2D (3 bytes) + U+1F600 (4 bytes) + "z"
    const std::string text = "a\xC3\xA9\xE4\xB8\xAD\xF0\x9F\x98\x80z";
    const size_t starts[] = {0, 1, 3, 6, 10, 11};  // where each character begins
    for (size_t at = 0; at <= text.size(); ++at) {
        std::string first;
        EXPECT_EQ(FeedSplit(text, at, &first), text) << at;
        // The first read ends at the last character start at or before the split.
        size_t expected = 0;
        for (size_t s : starts) {
            if (s <= at) expected = s;
        }
        EXPECT_EQ(first, text.substr(0, expected)) << at;
    }
}

TEST(Utf8Carry, FourByteSequenceOneByteAtATime) {
    Utf8Carry carry;
    EXPECT_EQ(carry.Take("\xF0"), "");
    EXPECT_EQ(carry.Take("\x9F"), "");
    EXPECT_EQ(carry.Take("\x98"), "");
    EXPECT_EQ(carry.Take("\x80"), "\xF0\x9F\x98\x80");
    EXPECT_EQ(carry.Take(""), "");
}

TEST(Utf8Carry, InvalidBytesPassThroughAtOnce) {
    struct Case { std::string chunk; };
    const Case cases[] = {
        {"\x80"},              // stray continuation
        {"ab\xBF\xBF\xBF"},    // continuations without a lead
        {"\xC0"},              // never a lead (overlong)
        {"\xC1"},
        {"\xF5"},              // above U+10FFFF
        {"\xFF"},
        {"\xE0\x80"},          // overlong 3-byte form cannot complete
        {"\xED\xA0"},          // surrogate
        {"\xF0\x80"},          // overlong 4-byte form
        {"\xF4\x90"},          // above U+10FFFF
        {"\xE4\x41"},          // lead followed by ASCII
        {"\xC3\xA9\xA9"},      // extra continuation after a complete character
    };
    for (const Case& c : cases) {
        Utf8Carry carry;
        EXPECT_EQ(carry.Take(c.chunk), c.chunk);
        EXPECT_EQ(carry.Take("x"), "x");
    }
}

TEST(Utf8Carry, HeldTailThatTurnsInvalidIsReleased) {
    Utf8Carry carry;
    EXPECT_EQ(carry.Take("ok\xE4\xB8"), "ok");
    EXPECT_EQ(carry.Take("A"), "\xE4\xB8" "A");
}

TEST(CutAtFirstZero, EndsAtTheFirstZeroByte) {
    EXPECT_EQ(CutAtFirstZero("abc\0def"s), "abc");
    EXPECT_EQ(CutAtFirstZero("\0abc"s), "");
    EXPECT_EQ(CutAtFirstZero("abc"), "abc");
    EXPECT_EQ(CutAtFirstZero(""), "");
}

TEST(LfToCrLf, EveryLfGetsACr) {
    EXPECT_EQ(LfToCrLf("a\nb\n"), "a\r\nb\r\n");
    EXPECT_EQ(LfToCrLf("a\r\nb"), "a\r\r\nb");
    EXPECT_EQ(LfToCrLf("\n\n"), "\r\n\r\n");
    EXPECT_EQ(LfToCrLf("a\rb"), "a\rb");
    EXPECT_EQ(LfToCrLf(""), "");
}

}  // namespace
}  // namespace vantaro
