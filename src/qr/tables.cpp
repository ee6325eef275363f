#include "qr/tables.h"

namespace vantaro::qr {
namespace {

// Error-correction codewords per block, indexed [level][version].
const int8_t kEccPerBlock[4][41] = {
    {-1, 7,  10, 15, 20, 26, 18, 20, 24, 30, 18, 20, 24, 26, 30, 22, 24, 28, 30, 28, 28,
     28, 28, 30, 30, 26, 28, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30},
    {-1, 10, 16, 26, 18, 24, 16, 18, 22, 22, 26, 30, 22, 22, 24, 24, 28, 28, 26, 26, 26,
     26, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28},
    {-1, 13, 22, 18, 26, 18, 24, 18, 22, 20, 24, 28, 26, 24, 20, 30, 24, 28, 28, 26, 30,
     28, 30, 30, 30, 30, 28, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30},
    {-1, 17, 28, 22, 16, 22, 28, 26, 26, 24, 28, 24, 28, 22, 24, 24, 30, 28, 28, 26, 28,
     30, 24, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30},
};

// Number of blocks, indexed [level][version].
const int8_t kNumBlocks[4][41] = {
    {-1, 1, 1, 1, 1, 1, 2, 2, 2, 2, 4, 4, 4, 4, 4, 6, 6, 6, 6, 7, 8,
     8, 9, 9, 10, 12, 12, 12, 13, 14, 15, 16, 17, 18, 19, 19, 20, 21, 22, 24, 25},
    {-1, 1, 1, 1, 2, 2, 4, 4, 4, 5, 5, 5, 8, 9, 9, 10, 10, 11, 13, 14, 16,
     17, 17, 18, 20, 21, 23, 25, 26, 28, 29, 31, 33, 35, 37, 38, 40, 43, 45, 47, 49},
    {-1, 1, 1, 2, 2, 4, 4, 6, 6, 8, 8, 8, 10, 12, 16, 12, 17, 16, 18, 21, 20,
     23, 23, 25, 27, 29, 34, 34, 35, 38, 40, 43, 45, 48, 51, 53, 56, 59, 62, 65, 68},
    {-1, 1, 1, 2, 4, 4, 4, 5, 6, 8, 8, 11, 11, 16, 16, 18, 16, 19, 21, 25, 25,
     25, 34, 30, 32, 35, 37, 40, 42, 45, 48, 51, 54, 57, 60, 63, 66, 70, 74, 77, 81},
};

}  // namespace

std::vector<int> AlignmentCentres(int version) {
  std::vector<int> out;
  if (version < 2 || version > 40) return out;
  const int count = version / 7 + 2;
  const int step = (version * 8 + count * 3 + 5) / (count * 4 - 4) * 2;
  out.resize(count);
  out[0] = 6;
  int pos = SymbolSize(version) - 7;
  for (int i = count - 1; i >= 1; --i, pos -= step) out[i] = pos;
  return out;
}

std::vector<uint8_t> FunctionMask(int version) {
  const int n = SymbolSize(version);
  std::vector<uint8_t> m(static_cast<size_t>(n) * n, 0);
  auto fill = [&](int x0, int y0, int w, int h) {
    for (int y = y0; y < y0 + h; ++y)
      for (int x = x0; x < x0 + w; ++x)
        if (x >= 0 && y >= 0 && x < n && y < n) m[static_cast<size_t>(y) * n + x] = 1;
  };
  // Finder patterns with their separators and the format areas beside them.
  fill(0, 0, 9, 9);
  fill(n - 8, 0, 8, 9);
  fill(0, n - 8, 9, 8);
  // Timing patterns.
  fill(6, 0, 1, n);
  fill(0, 6, n, 1);
  // Alignment patterns, except where they would overlap a finder.
  const std::vector<int> c = AlignmentCentres(version);
  const int k = static_cast<int>(c.size());
  for (int i = 0; i < k; ++i)
    for (int j = 0; j < k; ++j) {
      if ((i == 0 && j == 0) || (i == 0 && j == k - 1) || (i == k - 1 && j == 0)) continue;
      fill(c[i] - 2, c[j] - 2, 5, 5);
    }
  // Version information blocks.
  if (version >= 7) {
    fill(n - 11, 0, 3, 6);
    fill(0, n - 11, 6, 3);
  }
  return m;
}

int RawDataModules(int version) {
  // all modules less finders, separators, format and timing, alignment patterns and version blocks
  int raw = (16 * version + 128) * version + 64;
  if (version >= 2) {
    const int na = version / 7 + 2;
    raw -= (25 * na - 10) * na - 55;
    if (version >= 7) raw -= 36;
  }
  return raw;
}

BlockLayout GetBlockLayout(int version, EcLevel level) {
  BlockLayout b;
  if (version < 1 || version > 40) return b;
  const int li = static_cast<int>(level);
  b.total_codewords = RawDataModules(version) / 8;
  b.ecc_per_block = kEccPerBlock[li][version];
  b.num_blocks = kNumBlocks[li][version];
  const int block_len = b.total_codewords / b.num_blocks;
  b.num_short_blocks = b.num_blocks - b.total_codewords % b.num_blocks;
  b.short_data_len = block_len - b.ecc_per_block;
  b.data_codewords = b.total_codewords - b.ecc_per_block * b.num_blocks;
  // Small symbols keep a few codewords for error detection only.
  if (version == 1) b.misdecode_guard = level == EcLevel::L ? 3 : level == EcLevel::M ? 2 : 1;
  else if (version == 2 && level == EcLevel::L) b.misdecode_guard = 2;
  else if (version == 3 && level == EcLevel::L) b.misdecode_guard = 1;
  return b;
}

int CountBits(int mode_indicator, int version) {
  const int band = version <= 9 ? 0 : version <= 26 ? 1 : 2;
  static const int kNumeric[3] = {10, 12, 14}, kAlnum[3] = {9, 11, 13}, kByte[3] = {8, 16, 16},
                   kKanji[3] = {8, 10, 12};
  switch (mode_indicator) {
    case 1: return kNumeric[band];
    case 2: return kAlnum[band];
    case 4: return kByte[band];
    case 8: return kKanji[band];
    default: return 0;
  }
}

}  // namespace vantaro::qr
