#include "qr/text.h"

namespace vantaro::qr {
namespace {
const uint16_t kSjisTable[] = {
#include "qr/sjis_table.inc"
};
}  // namespace

void AppendUtf8(std::string& out, uint32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

bool IsValidUtf8(const std::string& s) {
  size_t i = 0;
  const size_t n = s.size();
  while (i < n) {
    const uint8_t c = static_cast<uint8_t>(s[i]);
    int len;
    uint32_t cp;
    if (c < 0x80) {
      ++i;
      continue;
    } else if (c >= 0xC2 && c <= 0xDF) {
      len = 2;
      cp = c & 0x1F;
    } else if (c >= 0xE0 && c <= 0xEF) {
      len = 3;
      cp = c & 0x0F;
    } else if (c >= 0xF0 && c <= 0xF4) {
      len = 4;
      cp = c & 0x07;
    } else {
      return false;
    }
    if (i + len > n) return false;
    for (int k = 1; k < len; ++k) {
      const uint8_t t = static_cast<uint8_t>(s[i + k]);
      if ((t & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (t & 0x3F);
    }
    if ((len == 3 && cp < 0x800) || (len == 4 && (cp < 0x10000 || cp > 0x10FFFF)) ||
        (cp >= 0xD800 && cp <= 0xDFFF))
      return false;
    i += len;
  }
  return true;
}

std::string Latin1ToUtf8(const std::string& bytes) {
  std::string out;
  out.reserve(bytes.size() * 2);
  for (char ch : bytes) AppendUtf8(out, static_cast<uint8_t>(ch));
  return out;
}

uint32_t SjisPairToUnicode(uint8_t lead, uint8_t trail) {
  int li;
  if (lead >= 0x81 && lead <= 0x9F) li = lead - 0x81;
  else if (lead >= 0xE0 && lead <= 0xEF) li = lead - 0xE0 + 31;
  else return 0;
  if (trail < 0x40 || trail > 0xFC || trail == 0x7F) return 0;
  const int ti = trail - 0x40 - (trail > 0x7F ? 1 : 0);
  return kSjisTable[li * 188 + ti];
}

bool SjisToUtf8(const std::string& bytes, std::string& out) {
  for (size_t i = 0; i < bytes.size(); ++i) {
    const uint8_t c = static_cast<uint8_t>(bytes[i]);
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c >= 0xA1 && c <= 0xDF) {
      AppendUtf8(out, 0xFF61u + (c - 0xA1u));
    } else {
      if (i + 1 >= bytes.size()) return false;
      const uint32_t cp = SjisPairToUnicode(c, static_cast<uint8_t>(bytes[i + 1]));
      if (cp == 0) return false;
      AppendUtf8(out, cp);
      ++i;
    }
  }
  return true;
}

}  // namespace vantaro::qr
