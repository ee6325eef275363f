#pragma once
#include <cstddef>
#include <string>
#include <string_view>

namespace vantaro {

// A GBK lead byte: together with the byte after it one double-byte character.
inline bool IsGbkLeadByte(unsigned char c) { return c >= 0x81 && c <= 0xFE; }

// Length of the GBK unit starting at `at`: 2 for a lead byte with a byte after it, else 1.
inline size_t GbkUnitLength(std::string_view text, size_t at) {
    return IsGbkLeadByte(static_cast<unsigned char>(text[at])) && at + 1 < text.size() ? 2 : 1;
}

// At most maxBytes bytes of text, never half of a double-byte character: a character that would straddle the limit
// is dropped whole (fixed-size Windows text fields would otherwise show a broken last character).
std::string CutToBytes(std::string_view text, size_t maxBytes);

}  // namespace vantaro
