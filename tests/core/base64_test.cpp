#include "core/base64.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace vantaro {
namespace {

using namespace std::string_literals;

TEST(Base64Encode, PadsToGroupsOfFour) {
    struct Case { std::string bytes, text; };
    const Case cases[] = {
        {"", ""}, {"A", "QQ=="}, {"AB", "QUI="}, {"ABC", "QUJD"}, {"ABCD", "QUJDRA=="},
        {"\xFB\xFF\xBF"s, "+/+/"}, {"\0\0\0"s, "AAAA"},
    };
    for (const Case& c : cases) EXPECT_EQ(Base64Encode(c.bytes), c.text) << c.text;
}

struct DecodeCase {
    std::string text;
    std::string bytes;          // stripTrailingZeros = false
    std::string strippedBytes;  // stripTrailingZeros = true
};

TEST(Base64Decode, ForgivingDecodeTable) {
    const DecodeCase cases[] = {
        {"QUJD", "ABC", "ABC"},
        {"QUI=", "AB", "AB"},
        {"QQ==", "A", "A"},
        {"QUJDRA==", "ABCD", "ABCD"},
        // Missing positions read as "A": the bytes after the data are zeros.
        {"QUI", "AB\0"s, "AB"},
        {"QQ", "A\0\0"s, "A"},
        {"QUJDQQ", "ABCA\0\0"s, "ABCA"},
        // Group two reads only "Q": s2..s4 are 0 because past the end reads as "A".
        {"QUJDQ", "ABC\x40\0\0"s, "ABC\x40"},
        // "=" at position 2 of the last group: 3 bytes dropped.
        {"QUJDQ=", "ABC", "ABC"},
        // "=" right after a full group: the last group adds nothing, the previous one stays whole.
        {"QUJD=", "ABC", "ABC"},
        {"QUJD====", "ABC", "ABC"},
        // Blanks and CR LF pairs anywhere are ignored.
        {"QU JD", "ABC", "ABC"},
        {"  Q U J D  ", "ABC", "ABC"},
        {"QU\xA1\xA1JD", "ABC", "ABC"},
        {"\xA1\xA1QUJD\xA1\xA1", "ABC", "ABC"},
        {"QUJD\r\nRA==", "ABCD", "ABCD"},
        {"Q\r\nU\r\nJ\r\nD", "ABC", "ABC"},
        {"QUJD\r \nRA==", "ABCD", "ABCD"},  // blanks go first, so CR blank LF is a pair
        {"", "", ""},
        {"   ", "", ""},
        {"\xA1\xA1 \r\n", "", ""},
    };
    for (const DecodeCase& c : cases) {
        EXPECT_EQ(Base64Decode(c.text), c.bytes) << c.text;
        EXPECT_EQ(Base64Decode(c.text, true), c.strippedBytes) << c.text;
    }
}

TEST(Base64Decode, LoneBreaksAndOtherBytesEndAGroupWithoutClearingSlots) {
    // A lone LF ends group two at position 1: its slots keep "QUJD", so ABC repeats; the trailing "=" group adds
    // nothing. The text never yields ABCD.
    EXPECT_EQ(Base64Decode("QUJD\nRA=="), "ABCABC");
    EXPECT_NE(Base64Decode("QUJD\nRA=="), "ABCD");
    // Tabs are not blanks.
    EXPECT_EQ(Base64Decode("QUI\t"), "AB");
    EXPECT_EQ(Base64Decode("QUJD\r"), "ABC");
    // A lone A1 is not a blank: it ends the group at position 2 (the last group), 3 bytes dropped.
    EXPECT_EQ(Base64Decode("QUJDQ\xA1"), "ABC");
    // Only the last group's end trims: an early end in the middle still yields three bytes.
    EXPECT_EQ(Base64Decode("QQ==QUJD"), "A\0\0ABC"s);
    // URL-safe characters are not in the alphabet.
    EXPECT_EQ(Base64Decode("QUI-"), "AB");
    EXPECT_EQ(Base64Decode("QUI_"), "AB");
}

TEST(Base64Decode, CallsBackOncePerGroup) {
    const std::pair<std::string, int> cases[] = {{"", 0}, {"Q", 1}, {"QUJD", 1}, {"QUJDRA==", 2}, {"QUJDRA==QQ", 3},
                                                 {"  QU\r\nJD  ", 1}};
    for (const auto& [text, groups] : cases) {
        int calls = 0;
        Base64Decode(text, false, [&] { ++calls; });
        EXPECT_EQ(calls, groups) << text;
    }
}

TEST(Base64, RandomBytesRoundTrip) {
    std::mt19937 rng(12345);
    for (int i = 0; i < 500; ++i) {
        std::string bytes(rng() % 64, '\0');
        for (char& b : bytes) b = static_cast<char>(rng() & 0xFF);
        const std::string text = Base64Encode(bytes);
        ASSERT_EQ(text.size() % 4, 0u);
        ASSERT_EQ(Base64Decode(text), bytes) << text;
    }
}

}  // namespace
}  // namespace vantaro
