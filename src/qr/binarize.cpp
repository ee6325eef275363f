#include "qr/binarize.h"

#include <algorithm>

namespace vantaro::qr {
namespace {
constexpr int kShift = 3;  // 8-pixel blocks
constexpr int kBlock = 1 << kShift;
constexpr int kRadius = 2;
constexpr int kMinContrast = 20;

// Fixed-width inner loops so that the compiler turns them into vector code at -O2.
void Below(const uint8_t* __restrict p, const uint8_t* __restrict t, uint8_t* __restrict d, int n) {
  int x = 0;
  for (; x + 16 <= n; x += 16)
    for (int k = 0; k < 16; ++k) d[x + k] = p[x + k] < t[x + k];
  for (; x < n; ++x) d[x] = p[x] < t[x];
}
void Above(const uint8_t* __restrict p, const uint8_t* __restrict t, uint8_t* __restrict d, int n) {
  int x = 0;
  for (; x + 16 <= n; x += 16)
    for (int k = 0; k < 16; ++k) d[x + k] = p[x + k] > t[x + k];
  for (; x < n; ++x) d[x] = p[x] > t[x];
}
}  // namespace

bool BitImage::DarkAt(double x, double y) const {
  const int ix = static_cast<int>(x), iy = static_cast<int>(y);
  if (!gray) return At(ix, iy) != 0;
  const double fx = x - 0.5, fy = y - 0.5;
  int x0 = static_cast<int>(fx < 0 ? -1 : fx), y0 = static_cast<int>(fy < 0 ? -1 : fy);
  const double ax = fx - x0, ay = fy - y0;
  const int x1 = std::min(x0 + 1, width - 1), y1 = std::min(y0 + 1, height - 1);
  x0 = std::max(x0, 0);
  y0 = std::max(y0, 0);
  const double v = (gray->At(x0, y0) * (1 - ax) + gray->At(x1, y0) * ax) * (1 - ay) +
                   (gray->At(x0, y1) * (1 - ax) + gray->At(x1, y1) * ax) * ay;
  const int t = thresholds[static_cast<size_t>(iy >> block_shift) * blocks_wide + (ix >> block_shift)];
  return inverted ? 255.0 - v < t : v < t;
}

Binarizer::Binarizer(const GrayImage& img) : img_(img) {
  const int w = img.width, h = img.height;
  if (w <= 0 || h <= 0) return;
  bw_ = (w + kBlock - 1) >> kShift;
  bh_ = (h + kBlock - 1) >> kShift;
  mid_.resize(static_cast<size_t>(bw_) * bh_);
  edge_.resize(static_cast<size_t>(bw_) * bh_);
  std::vector<uint8_t> lo(static_cast<size_t>(bw_)), hi(static_cast<size_t>(bw_));
  for (int by = 0; by < bh_; ++by) {
    std::fill(lo.begin(), lo.end(), 255);
    std::fill(hi.begin(), hi.end(), 0);
    const int y1 = std::min(h, (by + 1) * kBlock);
    for (int y = by * kBlock; y < y1; ++y) {
      const uint8_t* __restrict row = img.pixels.data() + static_cast<size_t>(y) * w;
      const int full = w >> kShift;
      uint8_t* __restrict plo = lo.data();
      uint8_t* __restrict phi = hi.data();
      int bx = 0;
      // two blocks (16 pixels) at a time
      for (; bx + 2 <= full; bx += 2) {
        const uint8_t* p = row + (bx << kShift);
        uint8_t l[16], u[16];
        for (int k = 0; k < 16; ++k) l[k] = u[k] = p[k];
        for (int s = 0; s < 2; ++s) {
          uint8_t a = l[s * 8], b = u[s * 8];
          for (int k = 1; k < 8; ++k) {
            a = l[s * 8 + k] < a ? l[s * 8 + k] : a;
            b = u[s * 8 + k] > b ? u[s * 8 + k] : b;
          }
          plo[bx + s] = std::min(plo[bx + s], a);
          phi[bx + s] = std::max(phi[bx + s], b);
        }
      }
      for (; bx < full; ++bx) {
        const uint8_t* p = row + (bx << kShift);
        uint8_t a = plo[bx], b = phi[bx];
        for (int k = 0; k < kBlock; ++k) {
          a = p[k] < a ? p[k] : a;
          b = p[k] > b ? p[k] : b;
        }
        plo[bx] = a;
        phi[bx] = b;
      }
      for (int x = full << kShift; x < w; ++x) {
        lo[full] = std::min(lo[full], row[x]);
        hi[full] = std::max(hi[full], row[x]);
      }
    }
    for (int bx = 0; bx < bw_; ++bx) {
      const size_t i = static_cast<size_t>(by) * bw_ + bx;
      mid_[i] = static_cast<uint8_t>((lo[bx] + hi[bx] + 1) / 2);
      edge_[i] = hi[bx] - lo[bx] >= kMinContrast;
    }
  }
}

std::vector<uint8_t> Binarizer::Thresholds(Mode mode, bool inverted) const {
  const size_t nb = static_cast<size_t>(bw_) * bh_;
  // Per-block threshold t in the (possibly inverted) luminance; t = 0 means no pixel is dark.
  std::vector<uint8_t> thr(nb, 0);
  if (mode == Mode::Mean) {
    // separable box sums of the edge mid-levels and of the edge counts
    std::vector<int> sum(nb), cnt(nb), sum2(nb), cnt2(nb);
    for (int by = 0; by < bh_; ++by)
      for (int bx = 0; bx < bw_; ++bx) {
        int s = 0, c = 0;
        for (int dx = -kRadius; dx <= kRadius; ++dx) {
          const int xx = bx + dx;
          if (xx < 0 || xx >= bw_) continue;
          const size_t i = static_cast<size_t>(by) * bw_ + xx;
          if (edge_[i]) {
            s += inverted ? 255 - mid_[i] : mid_[i];
            ++c;
          }
        }
        sum[static_cast<size_t>(by) * bw_ + bx] = s;
        cnt[static_cast<size_t>(by) * bw_ + bx] = c;
      }
    for (int by = 0; by < bh_; ++by)
      for (int bx = 0; bx < bw_; ++bx) {
        int s = 0, c = 0;
        for (int dy = -kRadius; dy <= kRadius; ++dy) {
          const int yy = by + dy;
          if (yy < 0 || yy >= bh_) continue;
          s += sum[static_cast<size_t>(yy) * bw_ + bx];
          c += cnt[static_cast<size_t>(yy) * bw_ + bx];
        }
        thr[static_cast<size_t>(by) * bw_ + bx] = c ? static_cast<uint8_t>((s + c / 2) / c) : 0;
      }
  } else {
    // separable minimum (or maximum) over the edge blocks; 0 marks "no edge" in the row pass (a mid-level of 0
    // cannot be an edge's)
    const bool darkest = mode == Mode::Darkest;
    auto better = [darkest](int a, int b) { return darkest ? (a < b ? a : b) : (a > b ? a : b); };
    std::vector<uint8_t> rowbest(nb);
    for (int by = 0; by < bh_; ++by)
      for (int bx = 0; bx < bw_; ++bx) {
        int m = -1;
        for (int dx = -kRadius; dx <= kRadius; ++dx) {
          const int xx = bx + dx;
          if (xx < 0 || xx >= bw_) continue;
          const size_t i = static_cast<size_t>(by) * bw_ + xx;
          if (!edge_[i]) continue;
          const int v = inverted ? 255 - mid_[i] : mid_[i];
          m = m < 0 ? v : better(m, v);
        }
        rowbest[static_cast<size_t>(by) * bw_ + bx] = static_cast<uint8_t>(m < 0 ? 0 : m);
      }
    for (int by = 0; by < bh_; ++by)
      for (int bx = 0; bx < bw_; ++bx) {
        int m = -1;
        for (int dy = -kRadius; dy <= kRadius; ++dy) {
          const int yy = by + dy;
          if (yy < 0 || yy >= bh_) continue;
          const int v = rowbest[static_cast<size_t>(yy) * bw_ + bx];
          if (v) m = m < 0 ? v : better(m, v);
        }
        thr[static_cast<size_t>(by) * bw_ + bx] = static_cast<uint8_t>(m < 0 ? 0 : m);
      }
  }
  return thr;
}

void Binarizer::Apply(const std::vector<uint8_t>& thr, bool inverted, BitImage& out) const {
  const int w = img_.width, h = img_.height;
  out.width = w;
  out.height = h;
  out.bits.assign(static_cast<size_t>(w) * h, 0);
  if (w <= 0 || h <= 0 || thr.size() != static_cast<size_t>(bw_) * bh_) return;
  out.gray = &img_;
  out.thresholds = thr;
  out.blocks_wide = bw_;
  out.block_shift = kShift;
  out.inverted = inverted;
  // Pixels: expand the block thresholds of a block row to a pixel row, then compare.
  std::vector<uint8_t> trow(static_cast<size_t>(w));
  for (int by = 0; by < bh_; ++by) {
    const uint8_t* t = thr.data() + static_cast<size_t>(by) * bw_;
    for (int x = 0; x < w; ++x) trow[x] = inverted ? static_cast<uint8_t>(255 - t[x >> kShift]) : t[x >> kShift];
    const int y1 = std::min(h, (by + 1) * kBlock);
    for (int y = by * kBlock; y < y1; ++y) {
      const uint8_t* row = img_.pixels.data() + static_cast<size_t>(y) * w;
      uint8_t* dst = out.bits.data() + static_cast<size_t>(y) * w;
      // inverted: dark when 255 - p < t, i.e. p > 255 - t
      if (!inverted) Below(row, trow.data(), dst, w);
      else Above(row, trow.data(), dst, w);
    }
  }
}

}  // namespace vantaro::qr
