#pragma once
#include <cstdint>
#include <string>

namespace vantaro::qr {

struct ParsedData {
  std::string utf8;
  bool has_sa = false;
  int sa_position = 0;  // 0-based
  int sa_total = 0;
  int sa_parity = 0;
};

// Parses the data codewords of a symbol into text. Returns false when the bit stream is not a sane sequence
// of segments (unknown mode, count beyond the data, invalid digits or characters).
bool ParseSegments(const uint8_t* data, int length, int version, ParsedData& out);

}  // namespace vantaro::qr
