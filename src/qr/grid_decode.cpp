#include "qr/grid_decode.h"

#include "qr/bch.h"
#include "qr/reed_solomon.h"
#include "qr/tables.h"

namespace vantaro::qr {
namespace {

bool MaskBit(int mask, int x, int y) {
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

// Level indicator bits as stored (L=01, M=00, Q=11, H=10) to 0..3 = L, M, Q, H.
int LevelFromBits(int bits) {
  static const int kMap[4] = {1, 0, 3, 2};
  return kMap[bits & 3];
}

// `transposed` reads the grid mirrored about its main diagonal (a mirrored symbol).
bool DecodeOriented(const ModuleGrid& g, bool transposed, GridResult& out) {
  const int n = g.size;
  auto at = [&](int x, int y) { return transposed ? g.At(y, x) : g.At(x, y); };
  if (n < 21 || n > 177 || (n - 17) % 4 != 0) return false;
  const int version = (n - 17) / 4;

  // Format information: two copies.
  uint32_t f1 = 0, f2 = 0;
  for (int i = 0; i <= 5; ++i) f1 |= static_cast<uint32_t>(at(8, i)) << i;
  f1 |= static_cast<uint32_t>(at(8, 7)) << 6;
  f1 |= static_cast<uint32_t>(at(8, 8)) << 7;
  f1 |= static_cast<uint32_t>(at(7, 8)) << 8;
  for (int i = 9; i < 15; ++i) f1 |= static_cast<uint32_t>(at(14 - i, 8)) << i;
  for (int i = 0; i < 8; ++i) f2 |= static_cast<uint32_t>(at(n - 1 - i, 8)) << i;
  for (int i = 8; i < 15; ++i) f2 |= static_cast<uint32_t>(at(8, n - 15 + i)) << i;
  int d1 = 99, d2 = 99;
  const int fmt1 = DecodeFormatBits(f1, &d1);
  const int fmt2 = DecodeFormatBits(f2, &d2);
  int fmt = -1;
  if (fmt1 >= 0 && (fmt2 < 0 || d1 <= d2)) fmt = fmt1;
  else if (fmt2 >= 0) fmt = fmt2;
  if (fmt < 0) return false;
  const int level = LevelFromBits(fmt >> 3);
  const int mask = fmt & 7;

  if (version >= 7) {
    const int v = ReadVersionInfo(g);
    if (v >= 0 && v != version) return false;
  }

  const BlockLayout lay = GetBlockLayout(version, static_cast<EcLevel>(level));
  const std::vector<uint8_t> fn = FunctionMask(version);

  // Codewords in placement order: column pairs from the right, alternating up and down, skipping column 6.
  std::vector<uint8_t> raw(static_cast<size_t>(lay.total_codewords), 0);
  int bit = 0;
  const int total_bits = lay.total_codewords * 8;
  for (int right = n - 1; right >= 1; right -= 2) {
    if (right == 6) right = 5;
    const bool upward = ((right + 1) & 2) == 0;
    for (int vert = 0; vert < n; ++vert) {
      const int y = upward ? n - 1 - vert : vert;
      for (int j = 0; j < 2; ++j) {
        const int x = right - j;
        if (fn[static_cast<size_t>(y) * n + x]) continue;
        if (bit >= total_bits) continue;
        const bool v = at(x, y) != MaskBit(mask, x, y);
        if (v) raw[static_cast<size_t>(bit >> 3)] |= static_cast<uint8_t>(0x80 >> (bit & 7));
        ++bit;
      }
    }
  }

  // De-interleave into blocks, correct each, gather the data codewords.
  const int nb = lay.num_blocks;
  const int ecc = lay.ecc_per_block;
  const int long_data = lay.short_data_len + 1;
  std::vector<std::vector<uint8_t>> blocks(static_cast<size_t>(nb));
  for (int b = 0; b < nb; ++b)
    blocks[b].resize(static_cast<size_t>((b < lay.num_short_blocks ? lay.short_data_len : long_data) + ecc));
  size_t k = 0;
  for (int i = 0; i < long_data; ++i)
    for (int b = 0; b < nb; ++b) {
      const int dl = b < lay.num_short_blocks ? lay.short_data_len : long_data;
      if (i < dl) blocks[b][i] = raw[k++];
    }
  for (int i = 0; i < ecc; ++i)
    for (int b = 0; b < nb; ++b) {
      const int dl = b < lay.num_short_blocks ? lay.short_data_len : long_data;
      blocks[b][dl + i] = raw[k++];
    }
  const int max_err = (ecc - lay.misdecode_guard) / 2;
  std::vector<uint8_t> data;
  data.reserve(static_cast<size_t>(lay.data_codewords));
  int corrected = 0;
  for (int b = 0; b < nb; ++b) {
    const int len = static_cast<int>(blocks[b].size());
    const int c = CorrectBlock(blocks[b].data(), len, ecc, max_err);
    if (c < 0) return false;
    corrected += c;
    data.insert(data.end(), blocks[b].begin(), blocks[b].begin() + (len - ecc));
  }
  ParsedData pd;
  if (!ParseSegments(data.data(), static_cast<int>(data.size()), version, pd)) return false;
  out.version = version;
  out.level = level;
  out.corrected = corrected;
  out.data = std::move(pd);
  return true;
}

// Timing patterns (row 6 and column 6 between the finders alternate dark and light): a cheap test that the grid
// sits on a symbol at all. Both are symmetric under transposition.
bool TimingLooksRight(const ModuleGrid& g) {
  const int n = g.size;
  int bad = 0, total = 0;
  for (int i = 8; i < n - 8; ++i) {
    const bool want = i % 2 == 0;
    bad += g.At(i, 6) != want;
    bad += g.At(6, i) != want;
    total += 2;
  }
  return bad * 4 <= total;  // at most a quarter wrong
}

}  // namespace

int ReadVersionInfo(const ModuleGrid& g) {
  const int n = g.size;
  if (n < 45) return -1;
  uint32_t a = 0, b = 0;
  for (int i = 0; i < 18; ++i) {
    const int p = n - 11 + i % 3, q = i / 3;
    a |= static_cast<uint32_t>(g.At(p, q)) << i;
    b |= static_cast<uint32_t>(g.At(q, p)) << i;
  }
  int da = 99, db = 99;
  const int va = DecodeVersionBits(a, &da);
  const int vb = DecodeVersionBits(b, &db);
  if (va >= 0 && (vb < 0 || da <= db)) return va;
  return vb;
}

bool DecodeGrid(const ModuleGrid& g, GridResult& out) {
  if (g.size < 21 || !TimingLooksRight(g)) return false;
  if (DecodeOriented(g, false, out)) {
    out.transposed = false;
    return true;
  }
  if (DecodeOriented(g, true, out)) {
    out.transposed = true;
    return true;
  }
  return false;
}

}  // namespace vantaro::qr
