#include "qr/bch.h"

namespace vantaro::qr {
namespace {
int Popcount(uint32_t v) {
  int c = 0;
  while (v) {
    v &= v - 1;
    ++c;
  }
  return c;
}
}  // namespace

uint32_t EncodeFormatBits(int level_bits, int mask) {
  const uint32_t data = static_cast<uint32_t>(((level_bits & 3) << 3) | (mask & 7));
  uint32_t rem = data;
  for (int i = 0; i < 10; ++i) rem = (rem << 1) ^ (((rem >> 9) & 1) * 0x537u);
  return ((data << 10) | (rem & 0x3FF)) ^ 0x5412u;
}

int DecodeFormatBits(uint32_t raw15, int* distance) {
  int best = -1, best_d = 4;
  for (int d = 0; d < 32; ++d) {
    const int dist = Popcount((EncodeFormatBits(d >> 3, d & 7) ^ raw15) & 0x7FFF);
    if (dist < best_d) {
      best_d = dist;
      best = d;
    }
  }
  if (distance) *distance = best_d;
  return best;
}

uint32_t EncodeVersionBits(int version) {
  uint32_t rem = static_cast<uint32_t>(version);
  for (int i = 0; i < 12; ++i) rem = (rem << 1) ^ (((rem >> 11) & 1) * 0x1F25u);
  return (static_cast<uint32_t>(version) << 12) | (rem & 0xFFF);
}

int DecodeVersionBits(uint32_t raw18, int* distance) {
  int best = -1, best_d = 4;
  for (int v = 7; v <= 40; ++v) {
    const int dist = Popcount((EncodeVersionBits(v) ^ raw18) & 0x3FFFF);
    if (dist < best_d) {
      best_d = dist;
      best = v;
    }
  }
  if (distance) *distance = best_d;
  return best;
}

}  // namespace vantaro::qr
