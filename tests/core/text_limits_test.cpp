#include "core/text_limits.h"

#include <gtest/gtest.h>

#include <string>

namespace vantaro {
namespace {

TEST(CutToBytes, CutsAtTheLimit) {
    const std::string ascii(200, 'x');
    EXPECT_EQ(CutToBytes(ascii, 127), std::string(127, 'x'));
    EXPECT_EQ(CutToBytes(ascii, 128), std::string(128, 'x'));
    EXPECT_EQ(CutToBytes("short", 128), "short");
    EXPECT_EQ(CutToBytes("", 5), "");
    EXPECT_EQ(CutToBytes("abc", 0), "");
}

TEST(CutToBytes, NeverSplitsADoubleByteCharacter) {
    // 126 ASCII bytes, then 中 (D6 D0), then "z".
    const std::string text = std::string(126, 'a') + "\xD6\xD0" "z";
    EXPECT_EQ(CutToBytes(text, 127), std::string(126, 'a'));
    EXPECT_EQ(CutToBytes(text, 128), std::string(126, 'a') + "\xD6\xD0");
    EXPECT_EQ(CutToBytes(text, 129), text);
    // 127 ASCII bytes then a character: the character straddles 128 and is dropped.
    const std::string odd = std::string(127, 'a') + "\xD6\xD0";
    EXPECT_EQ(CutToBytes(odd, 128), std::string(127, 'a'));
    // A trail byte in the ASCII range (淺 = 9C 5C) still belongs to its lead.
    EXPECT_EQ(CutToBytes("\x9C\x5C\x9C\x5C", 3), "\x9C\x5C");
    // Units are counted from the start: 81 81 81 is one character and then a lone lead.
    EXPECT_EQ(CutToBytes("\x81\x81\x81", 3), "\x81\x81\x81");
    EXPECT_EQ(CutToBytes("\x81\x81\x81", 1), "");
}

}  // namespace
}  // namespace vantaro
