#include "qr_encoder.h"

#include <cstring>

#include "qr/reed_solomon.h"

namespace vantaro::qr::testing {
namespace {

struct Bits {
  std::vector<uint8_t> v;
  void Put(uint32_t value, int n) {
    for (int i = n - 1; i >= 0; --i) v.push_back(static_cast<uint8_t>((value >> i) & 1));
  }
};

int AlnumIndex(char c) {
  static const char kSet[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ $%*+-./:";
  const char* p = std::strchr(kSet, c);
  return p && c ? static_cast<int>(p - kSet) : 0;
}

bool Mask(int mask, int x, int y) {
  switch (mask) {
    case 0: return (x + y) % 2 == 0;
    case 1: return y % 2 == 0;
    case 2: return x % 3 == 0;
    case 3: return (x + y) % 3 == 0;
    case 4: return (x / 3 + y / 2) % 2 == 0;
    case 5: return x * y % 2 + x * y % 3 == 0;
    case 6: return (x * y % 2 + x * y % 3) % 2 == 0;
    default: return ((x + y) % 2 + x * y % 3) % 2 == 0;
  }
}

void SegmentBits(const std::vector<Segment>& segs, int version, Bits& b) {
  for (const Segment& s : segs) {
    switch (s.kind) {
      case Segment::Numeric: {
        b.Put(1, 4);
        b.Put(static_cast<uint32_t>(s.data.size()), CountBits(1, version));
        size_t i = 0;
        for (; i + 3 <= s.data.size(); i += 3) b.Put(static_cast<uint32_t>(std::stoi(s.data.substr(i, 3))), 10);
        if (s.data.size() - i == 2) b.Put(static_cast<uint32_t>(std::stoi(s.data.substr(i, 2))), 7);
        if (s.data.size() - i == 1) b.Put(static_cast<uint32_t>(s.data[i] - '0'), 4);
        break;
      }
      case Segment::Alnum: {
        b.Put(2, 4);
        b.Put(static_cast<uint32_t>(s.data.size()), CountBits(2, version));
        size_t i = 0;
        for (; i + 2 <= s.data.size(); i += 2)
          b.Put(static_cast<uint32_t>(AlnumIndex(s.data[i]) * 45 + AlnumIndex(s.data[i + 1])), 11);
        if (i < s.data.size()) b.Put(static_cast<uint32_t>(AlnumIndex(s.data[i])), 6);
        break;
      }
      case Segment::Byte:
        b.Put(4, 4);
        b.Put(static_cast<uint32_t>(s.data.size()), CountBits(4, version));
        for (char c : s.data) b.Put(static_cast<uint8_t>(c), 8);
        break;
      case Segment::Kanji:
        b.Put(8, 4);
        b.Put(static_cast<uint32_t>(s.data.size() / 2), CountBits(8, version));
        for (size_t i = 0; i + 1 < s.data.size(); i += 2) {
          int c = (static_cast<uint8_t>(s.data[i]) << 8) | static_cast<uint8_t>(s.data[i + 1]);
          c -= c <= 0x9FFC ? 0x8140 : 0xC140;
          b.Put(static_cast<uint32_t>((c >> 8) * 0xC0 + (c & 0xFF)), 13);
        }
        break;
      case Segment::Eci:
        b.Put(7, 4);
        if (s.value < 128) b.Put(static_cast<uint32_t>(s.value), 8);
        else if (s.value < 16384) b.Put(0x8000u | static_cast<uint32_t>(s.value), 16);
        else b.Put(0xC00000u | static_cast<uint32_t>(s.value), 24);
        break;
      case Segment::StructuredAppend:
        b.Put(3, 4);
        b.Put(static_cast<uint32_t>(s.sa_position), 4);
        b.Put(static_cast<uint32_t>(s.sa_total - 1), 4);
        b.Put(static_cast<uint32_t>(s.sa_parity), 8);
        break;
      case Segment::Fnc1First:
        b.Put(5, 4);
        break;
    }
  }
}

}  // namespace

Matrix Encode(const std::vector<Segment>& segs, int version, EcLevel level, int mask) {
  if (version == 0) {
    for (int v = 1; v <= 40; ++v) {
      Bits b;
      SegmentBits(segs, v, b);
      if (static_cast<int>(b.v.size()) <= GetBlockLayout(v, level).data_codewords * 8)
        return Encode(segs, v, level, mask);
    }
    return Matrix{};
  }
  const BlockLayout lay = GetBlockLayout(version, level);
  Bits b;
  SegmentBits(segs, version, b);
  const size_t cap = static_cast<size_t>(lay.data_codewords) * 8;
  if (b.v.size() > cap) return Matrix{};
  for (int i = 0; i < 4 && b.v.size() < cap; ++i) b.v.push_back(0);
  while (b.v.size() % 8) b.v.push_back(0);
  std::vector<uint8_t> data;
  for (size_t i = 0; i < b.v.size(); i += 8) {
    uint8_t x = 0;
    for (int k = 0; k < 8; ++k) x = static_cast<uint8_t>((x << 1) | b.v[i + k]);
    data.push_back(x);
  }
  for (int pad = 0; data.size() < static_cast<size_t>(lay.data_codewords); pad ^= 1) data.push_back(pad ? 0x11 : 0xEC);

  // Blocks and interleaving.
  std::vector<std::vector<uint8_t>> dblocks, eblocks;
  size_t pos = 0;
  for (int i = 0; i < lay.num_blocks; ++i) {
    const int dl = lay.short_data_len + (i < lay.num_short_blocks ? 0 : 1);
    dblocks.emplace_back(data.begin() + static_cast<long>(pos), data.begin() + static_cast<long>(pos + dl));
    pos += static_cast<size_t>(dl);
    std::vector<uint8_t> e(static_cast<size_t>(lay.ecc_per_block));
    ComputeEcc(dblocks.back().data(), dl, lay.ecc_per_block, e.data());
    eblocks.push_back(e);
  }
  std::vector<uint8_t> stream;
  for (int i = 0; i <= lay.short_data_len; ++i)
    for (auto& d : dblocks)
      if (i < static_cast<int>(d.size())) stream.push_back(d[i]);
  for (int i = 0; i < lay.ecc_per_block; ++i)
    for (auto& e : eblocks) stream.push_back(e[i]);

  const int n = SymbolSize(version);
  Matrix m;
  m.size = n;
  m.dark.assign(static_cast<size_t>(n) * n, 0);
  auto set = [&](int x, int y, bool v) { m.dark[static_cast<size_t>(y) * n + x] = v; };
  // Finders with separators.
  for (int c = 0; c < 3; ++c) {
    const int ox = c == 1 ? n - 7 : 0, oy = c == 2 ? n - 7 : 0;
    for (int dy = -1; dy <= 7; ++dy)
      for (int dx = -1; dx <= 7; ++dx) {
        const int x = ox + dx, y = oy + dy;
        if (x < 0 || y < 0 || x >= n || y >= n) continue;
        const int d = std::max(std::abs(dx - 3), std::abs(dy - 3));
        set(x, y, d != 2 && d != 4);
      }
  }
  for (int i = 8; i < n - 8; ++i) {
    set(i, 6, i % 2 == 0);
    set(6, i, i % 2 == 0);
  }
  const std::vector<int> ac = AlignmentCentres(version);
  const int k = static_cast<int>(ac.size());
  for (int i = 0; i < k; ++i)
    for (int j = 0; j < k; ++j) {
      if ((i == 0 && j == 0) || (i == 0 && j == k - 1) || (i == k - 1 && j == 0)) continue;
      for (int dy = -2; dy <= 2; ++dy)
        for (int dx = -2; dx <= 2; ++dx) set(ac[i] + dx, ac[j] + dy, std::max(std::abs(dx), std::abs(dy)) != 1);
    }
  // Format bits, computed here with their own BCH remainder.
  static const int kLevelBits[4] = {1, 0, 3, 2};
  const int fdata = (kLevelBits[static_cast<int>(level)] << 3) | mask;
  int rem = fdata;
  for (int i = 0; i < 10; ++i) rem = (rem << 1) ^ ((rem >> 9) * 0x537);
  const int fbits = ((fdata << 10) | rem) ^ 0x5412;
  auto fb = [&](int i) { return ((fbits >> i) & 1) != 0; };
  for (int i = 0; i <= 5; ++i) set(8, i, fb(i));
  set(8, 7, fb(6));
  set(8, 8, fb(7));
  set(7, 8, fb(8));
  for (int i = 9; i < 15; ++i) set(14 - i, 8, fb(i));
  for (int i = 0; i < 8; ++i) set(n - 1 - i, 8, fb(i));
  for (int i = 8; i < 15; ++i) set(8, n - 15 + i, fb(i));
  set(8, n - 8, true);
  if (version >= 7) {
    int vr = version;
    for (int i = 0; i < 12; ++i) vr = (vr << 1) ^ ((vr >> 11) * 0x1F25);
    const int vbits = (version << 12) | vr;
    for (int i = 0; i < 18; ++i) {
      const bool v = ((vbits >> i) & 1) != 0;
      set(n - 11 + i % 3, i / 3, v);
      set(i / 3, n - 11 + i % 3, v);
    }
  }
  // Data, zigzag.
  const std::vector<uint8_t> fn = FunctionMask(version);
  size_t bit = 0;
  for (int right = n - 1; right >= 1; right -= 2) {
    if (right == 6) right = 5;
    for (int vert = 0; vert < n; ++vert)
      for (int j = 0; j < 2; ++j) {
        const int x = right - j;
        const bool up = ((right + 1) & 2) == 0;
        const int y = up ? n - 1 - vert : vert;
        if (fn[static_cast<size_t>(y) * n + x]) continue;
        bool v = false;
        if (bit < stream.size() * 8) v = ((stream[bit >> 3] >> (7 - (bit & 7))) & 1) != 0;
        ++bit;
        set(x, y, v != Mask(mask, x, y));
      }
  }
  return m;
}

Matrix EncodeText(const std::string& bytes, int version, EcLevel level, int mask) {
  Segment s;
  s.kind = Segment::Byte;
  s.data = bytes;
  return Encode({s}, version, level, mask);
}

Matrix Transposed(const Matrix& m) {
  Matrix t = m;
  for (int y = 0; y < m.size; ++y)
    for (int x = 0; x < m.size; ++x)
      t.dark[static_cast<size_t>(x) * m.size + y] = m.dark[static_cast<size_t>(y) * m.size + x];
  return t;
}

void Paint(GrayImage& img, const Matrix& m, int x0, int y0, const RenderOptions& o) {
  const int span = (m.size + 2 * o.quiet) * o.module_px;
  for (int y = 0; y < span; ++y)
    for (int x = 0; x < span; ++x) {
      const int px = x0 + x, py = y0 + y;
      if (px < 0 || py < 0 || px >= img.width || py >= img.height) continue;
      const int mx = x / o.module_px - o.quiet, my = y / o.module_px - o.quiet;
      const bool dark = mx >= 0 && my >= 0 && mx < m.size && my < m.size &&
                        m.dark[static_cast<size_t>(my) * m.size + mx];
      img.pixels[static_cast<size_t>(py) * img.width + px] = dark ? o.dark : o.light;
    }
}

GrayImage Render(const Matrix& m, const RenderOptions& o) {
  GrayImage img;
  const int span = (m.size + 2 * o.quiet) * o.module_px;
  img.width = img.height = span + 2 * o.margin;
  img.pixels.assign(static_cast<size_t>(img.width) * img.height, o.page);
  Paint(img, m, o.margin, o.margin, o);
  return img;
}

std::vector<uint8_t> MakeBmp24(const GrayImage& img, bool top_down) {
  const uint32_t stride = (static_cast<uint32_t>(img.width) * 3 + 3) & ~3u;
  const uint32_t size = 54 + stride * static_cast<uint32_t>(img.height);
  std::vector<uint8_t> f(size, 0);
  auto u16 = [&](size_t at, uint32_t v) {
    f[at] = static_cast<uint8_t>(v);
    f[at + 1] = static_cast<uint8_t>(v >> 8);
  };
  auto u32 = [&](size_t at, uint32_t v) {
    u16(at, v & 0xFFFF);
    u16(at + 2, v >> 16);
  };
  f[0] = 'B';
  f[1] = 'M';
  u32(2, size);
  u32(10, 54);
  u32(14, 40);
  u32(18, static_cast<uint32_t>(img.width));
  u32(22, top_down ? static_cast<uint32_t>(-img.height) : static_cast<uint32_t>(img.height));
  u16(26, 1);
  u16(28, 24);
  u32(34, stride * static_cast<uint32_t>(img.height));
  for (int y = 0; y < img.height; ++y) {
    const int row = top_down ? y : img.height - 1 - y;
    for (int x = 0; x < img.width; ++x) {
      const uint8_t v = img.At(x, y);
      const size_t at = 54 + static_cast<size_t>(row) * stride + static_cast<size_t>(x) * 3;
      f[at] = f[at + 1] = f[at + 2] = v;
    }
  }
  return f;
}

}  // namespace vantaro::qr::testing
