#include "qr/binarize.h"

#include <algorithm>

namespace vantaro::qr {
namespace {
constexpr int kBlock = 8;
constexpr int kRadius = 2;       // neighbourhood of (2 * kRadius + 1)^2 blocks
constexpr int kMinContrast = 20;  // a block with a smaller range has no edge
}  // namespace

void Binarize(const GrayImage& img, bool inverted, int rank, BitImage& out) {
  const int w = img.width, h = img.height;
  out.width = w;
  out.height = h;
  out.bits.assign(static_cast<size_t>(w) * h, 0);
  if (w <= 0 || h <= 0) return;
  const int bw = (w + kBlock - 1) / kBlock, bh = (h + kBlock - 1) / kBlock;
  std::vector<uint8_t> mid(static_cast<size_t>(bw) * bh), edge(static_cast<size_t>(bw) * bh);
  for (int by = 0; by < bh; ++by) {
    const int y0 = by * kBlock, y1 = std::min(h, y0 + kBlock);
    for (int bx = 0; bx < bw; ++bx) {
      const int x0 = bx * kBlock, x1 = std::min(w, x0 + kBlock);
      int lo = 255, hi = 0;
      for (int y = y0; y < y1; ++y) {
        const uint8_t* row = img.pixels.data() + static_cast<size_t>(y) * w;
        for (int x = x0; x < x1; ++x) {
          const int v = row[x];
          lo = v < lo ? v : lo;
          hi = v > hi ? v : hi;
        }
      }
      if (inverted) {
        const int t = 255 - lo;
        lo = 255 - hi;
        hi = t;
      }
      const size_t i = static_cast<size_t>(by) * bw + bx;
      mid[i] = static_cast<uint8_t>((lo + hi + 1) / 2);
      edge[i] = hi - lo >= kMinContrast;
    }
  }
  std::vector<int> thr(static_cast<size_t>(bw) * bh);
  uint8_t vals[(2 * kRadius + 1) * (2 * kRadius + 1)];
  for (int by = 0; by < bh; ++by)
    for (int bx = 0; bx < bw; ++bx) {
      int n = 0;
      for (int dy = -kRadius; dy <= kRadius; ++dy) {
        const int yy = by + dy;
        if (yy < 0 || yy >= bh) continue;
        for (int dx = -kRadius; dx <= kRadius; ++dx) {
          const int xx = bx + dx;
          if (xx < 0 || xx >= bw) continue;
          const size_t i = static_cast<size_t>(yy) * bw + xx;
          if (edge[i]) vals[n++] = mid[i];
        }
      }
      int t = -1;  // nothing is darker: all light
      if (n > 0) {
        const int k = rank == 0 ? n / 2 : 0;
        if (k == 0) t = *std::min_element(vals, vals + n);
        else {
          std::nth_element(vals, vals + k, vals + n);
          t = vals[k];
        }
      }
      thr[static_cast<size_t>(by) * bw + bx] = t;
    }
  for (int y = 0; y < h; ++y) {
    const uint8_t* row = img.pixels.data() + static_cast<size_t>(y) * w;
    uint8_t* dst = out.bits.data() + static_cast<size_t>(y) * w;
    const int* trow = thr.data() + static_cast<size_t>(y / kBlock) * bw;
    if (!inverted) {
      for (int x = 0; x < w; ++x) dst[x] = row[x] < trow[x / kBlock];
    } else {
      for (int x = 0; x < w; ++x) dst[x] = 255 - row[x] < trow[x / kBlock];
    }
  }
}

}  // namespace vantaro::qr
