#pragma once
#include <cstdint>
#include <string>

namespace vantaro::qr {

void AppendUtf8(std::string& out, uint32_t code_point);
bool IsValidUtf8(const std::string& bytes);
std::string Latin1ToUtf8(const std::string& bytes);
// Unicode code point of a double-byte Shift JIS character, or 0 when the pair is not a character.
uint32_t SjisPairToUnicode(uint8_t lead, uint8_t trail);
// Shift JIS text (single-byte ASCII, half-width katakana and double-byte characters) to UTF-8. Returns false
// on an invalid sequence.
bool SjisToUtf8(const std::string& bytes, std::string& out);

}  // namespace vantaro::qr
