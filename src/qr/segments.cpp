#include "qr/segments.h"

#include "qr/tables.h"
#include "qr/text.h"

namespace vantaro::qr {
namespace {

class BitReader {
 public:
  BitReader(const uint8_t* d, int len) : data_(d), bits_(len * 8) {}
  int Left() const { return bits_ - pos_; }
  // Reads n bits (n <= 24), or returns -1 past the end.
  int Read(int n) {
    if (n > Left()) return -1;
    int v = 0;
    for (int i = 0; i < n; ++i, ++pos_) v = (v << 1) | ((data_[pos_ >> 3] >> (7 - (pos_ & 7))) & 1);
    return v;
  }

 private:
  const uint8_t* data_;
  int bits_;
  int pos_ = 0;
};

const char kAlnum[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ $%*+-./:";

// ECI designators this decoder knows how to turn into UTF-8.
enum class Charset { Default, Latin1, ShiftJis, Utf8 };

Charset CharsetOfEci(int eci, bool* known) {
  *known = true;
  switch (eci) {
    case 1:
    case 3: return Charset::Latin1;
    case 20: return Charset::ShiftJis;
    case 26: return Charset::Utf8;
    default: *known = false; return Charset::Default;
  }
}

bool AppendBytes(const std::string& raw, Charset cs, std::string& out) {
  switch (cs) {
    case Charset::Latin1: out += Latin1ToUtf8(raw); return true;
    case Charset::ShiftJis: return SjisToUtf8(raw, out);
    case Charset::Utf8:
    case Charset::Default:
      if (IsValidUtf8(raw)) out += raw;
      else out += Latin1ToUtf8(raw);
      return true;
  }
  return false;
}

// Alphanumeric text under FNC1: "%" stands for the group separator, "%%" for a literal "%".
std::string ApplyFnc1(const std::string& s) {
  std::string r;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '%') {
      if (i + 1 < s.size() && s[i + 1] == '%') {
        r += '%';
        ++i;
      } else {
        r += '\x1D';
      }
    } else {
      r += s[i];
    }
  }
  return r;
}

}  // namespace

bool ParseSegments(const uint8_t* data, int length, int version, ParsedData& out) {
  BitReader br(data, length);
  Charset cs = Charset::Default;
  bool fnc1 = false;
  bool any_data = false;
  std::string text;
  while (br.Left() >= 4) {
    const int mode = br.Read(4);
    if (mode == 0) break;  // terminator
    switch (mode) {
      case 1: {  // numeric
        int count = br.Read(CountBits(1, version));
        if (count < 0) return false;
        while (count >= 3) {
          const int v = br.Read(10);
          if (v < 0 || v > 999) return false;
          text += static_cast<char>('0' + v / 100);
          text += static_cast<char>('0' + v / 10 % 10);
          text += static_cast<char>('0' + v % 10);
          count -= 3;
        }
        if (count == 2) {
          const int v = br.Read(7);
          if (v < 0 || v > 99) return false;
          text += static_cast<char>('0' + v / 10);
          text += static_cast<char>('0' + v % 10);
        } else if (count == 1) {
          const int v = br.Read(4);
          if (v < 0 || v > 9) return false;
          text += static_cast<char>('0' + v);
        }
        any_data = true;
        break;
      }
      case 2: {  // alphanumeric
        int count = br.Read(CountBits(2, version));
        if (count < 0) return false;
        std::string seg;
        while (count >= 2) {
          const int v = br.Read(11);
          if (v < 0 || v >= 45 * 45) return false;
          seg += kAlnum[v / 45];
          seg += kAlnum[v % 45];
          count -= 2;
        }
        if (count == 1) {
          const int v = br.Read(6);
          if (v < 0 || v >= 45) return false;
          seg += kAlnum[v];
        }
        text += fnc1 ? ApplyFnc1(seg) : seg;
        any_data = true;
        break;
      }
      case 4: {  // byte
        const int count = br.Read(CountBits(4, version));
        if (count < 0 || count * 8 > br.Left()) return false;
        std::string raw;
        raw.reserve(static_cast<size_t>(count));
        for (int i = 0; i < count; ++i) raw += static_cast<char>(br.Read(8));
        if (!AppendBytes(raw, cs, text)) return false;
        any_data = true;
        break;
      }
      case 8: {  // kanji: 13 bits per double-byte Shift JIS character
        const int count = br.Read(CountBits(8, version));
        if (count < 0 || count * 13 > br.Left()) return false;
        for (int i = 0; i < count; ++i) {
          const int v = br.Read(13);
          int c = (v / 0xC0) << 8 | (v % 0xC0);
          c += c < 0x1F00 ? 0x8140 : 0xC140;
          const uint32_t cp = SjisPairToUnicode(static_cast<uint8_t>(c >> 8), static_cast<uint8_t>(c & 0xFF));
          if (cp == 0) return false;
          AppendUtf8(text, cp);
        }
        any_data = true;
        break;
      }
      case 7: {  // ECI
        const int b0 = br.Read(8);
        if (b0 < 0) return false;
        int eci;
        if ((b0 & 0x80) == 0) {
          eci = b0;
        } else if ((b0 & 0xC0) == 0x80) {
          const int b1 = br.Read(8);
          if (b1 < 0) return false;
          eci = ((b0 & 0x3F) << 8) | b1;
        } else if ((b0 & 0xE0) == 0xC0) {
          const int b12 = br.Read(16);
          if (b12 < 0) return false;
          eci = ((b0 & 0x1F) << 16) | b12;
        } else {
          return false;
        }
        bool known = false;
        cs = CharsetOfEci(eci, &known);
        break;
      }
      case 3: {  // structured append header
        const int pos = br.Read(4), total = br.Read(4), parity = br.Read(8);
        if (parity < 0 || any_data) return false;
        out.has_sa = true;
        out.sa_position = pos;
        out.sa_total = total + 1;
        out.sa_parity = parity;
        if (pos > total) return false;
        break;
      }
      case 5:  // FNC1, first position
        fnc1 = true;
        break;
      case 9: {  // FNC1, second position: an application indicator follows
        if (br.Read(8) < 0) return false;
        fnc1 = true;
        break;
      }
      default:
        return false;
    }
  }
  out.utf8 = std::move(text);
  return true;
}

}  // namespace vantaro::qr
