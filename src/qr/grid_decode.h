#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "qr/segments.h"

namespace vantaro::qr {

// Sampled modules of one symbol candidate, row by row; 1 = dark.
struct ModuleGrid {
  int size = 0;
  std::vector<uint8_t> dark;
  bool At(int x, int y) const { return dark[static_cast<size_t>(y) * size + x] != 0; }
};

struct GridResult {
  int version = 0;
  int level = 0;  // 0 L, 1 M, 2 Q, 3 H
  bool transposed = false;
  int corrected = 0;  // codewords fixed by Reed-Solomon
  ParsedData data;
};

// Version from the two version-information blocks of a grid (sizes >= 45), or -1 when neither is readable.
int ReadVersionInfo(const ModuleGrid& g);

// Decodes a grid whose size is 17 + 4 * version: format, unmasking, codewords, Reed-Solomon, segments.
// Tries the grid as sampled, then transposed (a mirrored symbol). False unless everything checked out.
bool DecodeGrid(const ModuleGrid& g, GridResult& out);

}  // namespace vantaro::qr
