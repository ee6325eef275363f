// Symbol location: finder patterns on a binarised image, finder triples, a perspective grid refined by the
// bottom-right alignment pattern, module sampling, then the grid decoder.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

#include "qr/binarize.h"
#include "qr/bmp.h"
#include "qr/decoder.h"
#include "qr/grid_decode.h"
#include "qr/tables.h"

namespace vantaro::qr {
namespace {

struct Finder {
  double x = 0, y = 0;   // centre, pixels
  double module = 0;     // run-based module size (inflated by 1/cos of the rotation)
  int count = 0;         // scan lines that confirmed it
  bool used = false;
};

constexpr int kMaxFinders = 32;
constexpr int kMaxTriples = 40;

// Ratio test for five runs dark-light-dark-light-dark of 1:1:3:1:1.
// Integer form of |r - u| <= u / 2 + 0.75 for the outer runs and |r - 3u| <= 1.5u + 1 for the middle one,
// u = total / 7.
bool FinderRatio(const int r[5]) {
  const int total = r[0] + r[1] + r[2] + r[3] + r[4];
  if (total < 7) return false;
  const int lim = total + 10;  // 14 * (u / 2 + 0.75)
  for (int i : {0, 1, 3, 4})
    if (std::abs(14 * r[i] - 2 * total) > lim) return false;
  return std::abs(14 * r[2] - 6 * total) <= 3 * total + 14;
}

// Runs along a line through (x, y) with step (dx, dy): centre dark run, then light and dark runs both ways.
// Returns the five runs and the offset of the centre of the middle run from (x, y) in steps.
bool CrossRuns(const BitImage& b, int x, int y, int dx, int dy, int max_run, int r[5], double* centre) {
  if (x < 0 || y < 0 || x >= b.width || y >= b.height || !b.At(x, y)) return false;
  auto in = [&](int px, int py) { return px >= 0 && py >= 0 && px < b.width && py < b.height; };
  int back[3] = {0, 0, 0}, fwd[3] = {0, 0, 0};
  for (int dir = -1; dir <= 1; dir += 2) {
    int* c = dir < 0 ? back : fwd;
    int px = x, py = y;
    if (dir > 0) {
      px += dx;
      py += dy;
    }
    for (int part = 0; part < 3; ++part) {
      const uint8_t want = part == 1 ? 0 : 1;
      while (in(px, py) && b.At(px, py) == want) {
        if (++c[part] > max_run * (part == 0 ? 3 : 1)) return false;
        px += dir * dx;
        py += dir * dy;
      }
      if (part < 2 && !in(px, py)) return false;
    }
    if (c[2] == 0) return false;
  }
  r[0] = back[2];
  r[1] = back[1];
  r[2] = back[0] + fwd[0];
  r[3] = fwd[1];
  r[4] = fwd[2];
  // the middle run covers pixels x - back0 + 1 .. x + fwd0; its centre in continuous coordinates (pixel i spans
  // [i, i + 1]) lies this far from the integer start
  *centre = 1.0 + (static_cast<double>(fwd[0]) - back[0]) / 2.0;
  return true;
}

void AddFinder(std::vector<Finder>& fs, double x, double y, double module) {
  for (Finder& f : fs) {
    const double lim = std::max(3.0, 1.5 * std::min(module, f.module));
    if (std::fabs(f.x - x) <= lim && std::fabs(f.y - y) <= lim && module < 1.6 * f.module + 1 &&
        f.module < 1.6 * module + 1) {
      const double n = f.count;
      f.x = (f.x * n + x) / (n + 1);
      f.y = (f.y * n + y) / (n + 1);
      f.module = (f.module * n + module) / (n + 1);
      ++f.count;
      return;
    }
  }
  if (fs.size() < 4096) fs.push_back(Finder{x, y, module, 1, false});
}

std::vector<Finder> FindFinders(const BitImage& b) {
  std::vector<Finder> fs;
  std::vector<int> runs;
  std::vector<int> starts;
  runs.reserve(256);
  // A finder's middle run is at least 3 rows high: every second row still crosses it on big images.
  const int row_step = static_cast<int64_t>(b.width) * b.height > 1000000 ? 2 : 1;
  for (int y = 0; y < b.height; y += row_step) {
    const uint8_t* row = b.bits.data() + static_cast<size_t>(y) * b.width;
    runs.clear();
    starts.clear();
    // runs alternate starting with light (a zero-length light run when the row starts dark)
    uint8_t cur = 0;
    int start = 0;
    int x = 0;
    const int w = b.width;
    while (x < w) {
      // skip a uniform stretch eight pixels at a time
      const uint64_t same = cur ? 0x0101010101010101ull : 0;
      while (x + 8 <= w) {
        uint64_t word;
        std::memcpy(&word, row + x, 8);
        if (word != same) break;
        x += 8;
      }
      while (x < w && row[x] == cur) ++x;
      if (x >= w) break;
      runs.push_back(x - start);
      starts.push_back(start);
      cur = row[x];
      start = x;
    }
    runs.push_back(w - start);
    starts.push_back(start);
    // dark runs are the odd indices; the centre run is at i, with i-2 and i+2 dark too
    for (size_t i = 3; i + 2 < runs.size(); i += 2) {
      const int r[5] = {runs[i - 2], runs[i - 1], runs[i], runs[i + 1], runs[i + 2]};
      if (!FinderRatio(r)) continue;
      const int total = r[0] + r[1] + r[2] + r[3] + r[4];
      const int cx = starts[i] + runs[i] / 2;
      const int max_run = total / 7 * 2 + 3;
      int v[5];
      double off;
      if (!CrossRuns(b, cx, y, 0, 1, max_run, v, &off) || !FinderRatio(v)) continue;
      const int vtotal = v[0] + v[1] + v[2] + v[3] + v[4];
      if (vtotal * 10 < total * 6 || vtotal * 6 > total * 10) continue;
      const double cy = y + off;
      // re-check horizontally through the vertical centre
      int hh[5];
      double hoff;
      const int icy = static_cast<int>(std::floor(cy));
      if (!CrossRuns(b, cx, icy, 1, 0, max_run, hh, &hoff) || !FinderRatio(hh)) continue;
      const int htotal = hh[0] + hh[1] + hh[2] + hh[3] + hh[4];
      if (htotal * 10 < total * 7 || htotal * 7 > total * 10) continue;
      const double fx = cx + hoff;
      // diagonal: the concentric rings give the same proportions along any line through the centre
      int d[5];
      double doff;
      if (!CrossRuns(b, static_cast<int>(std::floor(fx)), icy, 1, 1, max_run * 2, d, &doff) || !FinderRatio(d))
        continue;
      AddFinder(fs, fx, cy, (htotal + vtotal) / 14.0);
    }
  }
  return fs;
}

// 3x3 projective transform, column vectors: (X, Y, W) = H (u, v, 1).
struct Homography {
  double m[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
  PointF Map(double u, double v) const {
    const double w = m[6] * u + m[7] * v + m[8];
    return PointF{static_cast<float>((m[0] * u + m[1] * v + m[2]) / w),
                  static_cast<float>((m[3] * u + m[4] * v + m[5]) / w)};
  }
  void MapD(double u, double v, double* x, double* y) const {
    const double w = m[6] * u + m[7] * v + m[8];
    *x = (m[0] * u + m[1] * v + m[2]) / w;
    *y = (m[3] * u + m[4] * v + m[5]) / w;
  }
};

Homography Multiply(const Homography& a, const Homography& b) {
  Homography r;
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) {
      double s = 0;
      for (int k = 0; k < 3; ++k) s += a.m[i * 3 + k] * b.m[k * 3 + j];
      r.m[i * 3 + j] = s;
    }
  return r;
}

bool Invert(const Homography& a, Homography& r) {
  const double* m = a.m;
  const double c00 = m[4] * m[8] - m[5] * m[7], c01 = m[5] * m[6] - m[3] * m[8], c02 = m[3] * m[7] - m[4] * m[6];
  const double det = m[0] * c00 + m[1] * c01 + m[2] * c02;
  if (std::fabs(det) < 1e-12) return false;
  const double inv = 1.0 / det;
  r.m[0] = c00 * inv;
  r.m[1] = (m[2] * m[7] - m[1] * m[8]) * inv;
  r.m[2] = (m[1] * m[5] - m[2] * m[4]) * inv;
  r.m[3] = c01 * inv;
  r.m[4] = (m[0] * m[8] - m[2] * m[6]) * inv;
  r.m[5] = (m[2] * m[3] - m[0] * m[5]) * inv;
  r.m[6] = c02 * inv;
  r.m[7] = (m[1] * m[6] - m[0] * m[7]) * inv;
  r.m[8] = (m[0] * m[4] - m[1] * m[3]) * inv;
  return true;
}

// Unit square (0,0),(1,0),(1,1),(0,1) onto a quadrilateral p0..p3.
Homography SquareToQuad(const double q[8]) {
  const double x0 = q[0], y0 = q[1], x1 = q[2], y1 = q[3], x2 = q[4], y2 = q[5], x3 = q[6], y3 = q[7];
  const double sx = x0 - x1 + x2 - x3, sy = y0 - y1 + y2 - y3;
  Homography h;
  if (std::fabs(sx) < 1e-9 && std::fabs(sy) < 1e-9) {
    const double mm[9] = {x1 - x0, x3 - x0, x0, y1 - y0, y3 - y0, y0, 0, 0, 1};
    std::copy(mm, mm + 9, h.m);
    return h;
  }
  const double dx1 = x1 - x2, dx2 = x3 - x2, dy1 = y1 - y2, dy2 = y3 - y2;
  const double den = dx1 * dy2 - dx2 * dy1;
  const double g = (sx * dy2 - dx2 * sy) / den;
  const double hh = (dx1 * sy - sx * dy1) / den;
  const double mm[9] = {x1 - x0 + g * x1, x3 - x0 + hh * x3, x0, y1 - y0 + g * y1, y3 - y0 + hh * y3, y0, g, hh, 1};
  std::copy(mm, mm + 9, h.m);
  return h;
}

bool QuadToQuad(const double src[8], const double dst[8], Homography& out) {
  Homography inv;
  if (!Invert(SquareToQuad(src), inv)) return false;
  out = Multiply(SquareToQuad(dst), inv);
  return true;
}

struct Candidate {
  Finder* a;  // top-left
  Finder* b;  // top-right
  Finder* c;  // bottom-left
  double score;
  double module;  // true module size estimate
  int size;       // estimated symbol size
};

// Best position of the alignment pattern near the prediction (module coordinates cu, cv) by matching the
// 5x5 module template; returns false when nothing matches well.
bool FindAlignment(const BitImage& b, const Homography& h, double cu, double cv, double module, double* ox,
                   double* oy) {
  double px, py;
  h.MapD(cu, cv, &px, &py);
  // module vectors at the prediction
  double ax, ay, bx, by;
  h.MapD(cu + 1, cv, &ax, &ay);
  h.MapD(cu, cv + 1, &bx, &by);
  const double ux = ax - px, uy = ay - py, vx = bx - px, vy = by - py;
  // a prediction far off the image (a degenerate transform) has nothing to search
  if (!(std::fabs(px) < 1e6 && std::fabs(py) < 1e6 && std::fabs(ux) + std::fabs(uy) + std::fabs(vx) + std::fabs(vy) < 1e4))
    return false;
  // template offsets: centre dark, ring light, outer ring dark
  double tx[25], ty[25];
  bool want[25];
  int nt = 0;
  for (int j = -2; j <= 2; ++j)
    for (int i = -2; i <= 2; ++i) {
      tx[nt] = i * ux + j * vx;
      ty[nt] = i * uy + j * vy;
      want[nt++] = std::max(std::abs(i), std::abs(j)) != 1;
    }
  const int step = std::max(1, static_cast<int>(module / 3));
  int best = -1;
  std::vector<std::pair<int, int>> ties;
  // near the prediction first, further out only when nothing matched there
  for (const double reach : {1.5, 4.0}) {
    const int radius = static_cast<int>(std::ceil(module * reach));
    for (int dy = -radius; dy <= radius; dy += step)
      for (int dx = -radius; dx <= radius; dx += step) {
        const double qx = px + dx, qy = py + dy;
        int score = 0, miss = 0;
        for (int k = 0; k < 25 && miss <= 2; ++k) {
          const int x = static_cast<int>(std::floor(qx + tx[k]));
          const int y = static_cast<int>(std::floor(qy + ty[k]));
          const bool ok = x >= 0 && y >= 0 && x < b.width && y < b.height && (b.At(x, y) != 0) == want[k];
          score += ok;
          miss += !ok;
        }
        if (miss > 2) continue;
        if (score > best) {
          best = score;
          ties.clear();
        }
        if (score == best) ties.emplace_back(dx, dy);
      }
    if (best >= 24) break;
  }
  if (best < 23) return false;
  // the best match nearest the prediction, centred over the equally good offsets next to it
  auto d2 = [](const std::pair<int, int>& t) { return t.first * t.first + t.second * t.second; };
  const std::pair<int, int> near = *std::min_element(
      ties.begin(), ties.end(), [&](const std::pair<int, int>& p1, const std::pair<int, int>& p2) { return d2(p1) < d2(p2); });
  double sx = 0, sy = 0;
  int cnt = 0;
  for (const auto& t : ties)
    if (std::abs(t.first - near.first) <= module && std::abs(t.second - near.second) <= module) {
      sx += t.first;
      sy += t.second;
      ++cnt;
    }
  *ox = px + sx / cnt;
  *oy = py + sy / cnt;
  return true;
}

// Samples every module centre: interpolated luminance against the local threshold, or (`nearest`) the bit of
// the pixel under the centre. Either wins on some anti-aliased symbols of about one pixel per module.
bool SampleGrid(const BitImage& b, const Homography& h, int n, bool nearest, ModuleGrid& g) {
  g.size = n;
  g.dark.assign(static_cast<size_t>(n) * n, 0);
  const double slack = 1.0;
  for (int y = 0; y < n; ++y)
    for (int x = 0; x < n; ++x) {
      double px, py;
      h.MapD(x + 0.5, y + 0.5, &px, &py);
      if (!(px > -slack && py > -slack && px < b.width + slack && py < b.height + slack)) return false;
      px = std::min(std::max(px, 0.0), b.width - 1e-3);
      py = std::min(std::max(py, 0.0), b.height - 1e-3);
      g.dark[static_cast<size_t>(y) * n + x] =
          nearest ? b.At(static_cast<int>(px), static_cast<int>(py)) : b.DarkAt(px, py);
    }
  return true;
}

// The grid transform from the three finder centres, refined by the bottom-right alignment pattern when
// `use_alignment` and the pattern is found. Returns false when no alignment-refined transform exists.
bool BuildTransform(const BitImage& b, const Candidate& c, int n, bool use_alignment, Homography& h) {
  const double e = n - 3.5;
  const double src3[8] = {3.5, 3.5, e, 3.5, e, e, 3.5, e};
  const double dst3[8] = {c.a->x, c.a->y, c.b->x, c.b->y, c.b->x + c.c->x - c.a->x, c.b->y + c.c->y - c.a->y,
                          c.c->x, c.c->y};
  if (!QuadToQuad(src3, dst3, h)) return false;
  if (!use_alignment) return true;
  if (n < 25) return false;
  const double ac = n - 6.5;
  double ax, ay;
  if (!FindAlignment(b, h, ac, ac, c.module, &ax, &ay)) return false;
  const double src4[8] = {3.5, 3.5, e, 3.5, ac, ac, 3.5, e};
  const double dst4[8] = {c.a->x, c.a->y, c.b->x, c.b->y, ax, ay, c.c->x, c.c->y};
  Homography h4;
  if (!QuadToQuad(src4, dst4, h4)) return false;
  h = h4;
  return true;
}

// The module at (x, y) through h: 1 dark, 0 light, -1 off the image.
int ModuleAt(const BitImage& b, const Homography& h, int x, int y) {
  double px, py;
  h.MapD(x + 0.5, y + 0.5, &px, &py);
  if (!(px >= 0 && py >= 0 && px < b.width && py < b.height)) return -1;
  return b.At(static_cast<int>(px), static_cast<int>(py));
}

// Row and column 6 between the finders alternate dark and light: checked before sampling a whole grid.
bool TimingOk(const BitImage& b, const Homography& h, int n) {
  int bad = 0, total = 0;
  for (int i = 8; i < n - 8; ++i) {
    const int want = i % 2 == 0;
    bad += ModuleAt(b, h, i, 6) != want;
    bad += ModuleAt(b, h, 6, i) != want;
    total += 2;
  }
  return bad * 4 <= total;
}

// Decodes at one symbol size: first through the alignment-refined transform, then through the affine one.
bool DecodeAtSize(const BitImage& b, const Candidate& c, int n, const Homography& h3, Symbol& out) {
  for (int attempt = 0; attempt < 2; ++attempt) {
    Homography h;
    if (attempt == 0) {
      if (!BuildTransform(b, c, n, true, h)) continue;
    } else {
      h = h3;
    }
    ModuleGrid g;
    GridResult r;
    if (!SampleGrid(b, h, n, false, g)) continue;
    if (!DecodeGrid(g, r)) {
      if (!SampleGrid(b, h, n, true, g) || !DecodeGrid(g, r)) continue;
    }
    out.version = r.version;
    out.level = r.level;
    out.text = std::move(r.data.utf8);
    out.has_structured_append = r.data.has_sa;
    out.sa_total = r.data.sa_total;
    out.sa_position = r.data.sa_position;
    out.sa_parity = r.data.sa_parity;
    out.mirrored = r.transposed;
    const double fn = n;
    out.corners[0] = h.Map(0, 0);
    out.corners[2] = h.Map(fn, fn);
    if (!r.transposed) {
      out.corners[1] = h.Map(fn, 0);
      out.corners[3] = h.Map(0, fn);
    } else {
      out.corners[1] = h.Map(0, fn);
      out.corners[3] = h.Map(fn, 0);
    }
    return true;
  }
  return false;
}

bool TryCandidate(const BitImage& b, const Candidate& c, Symbol& out) {
  int sizes[8];
  int ns = 0;
  auto push = [&](int s) {
    if (s < 21 || s > 177) return;
    for (int i = 0; i < ns; ++i)
      if (sizes[i] == s) return;
    if (ns < 8) sizes[ns++] = s;
  };
  push(c.size);
  push(c.size + 4);
  push(c.size - 4);
  for (int i = 0; i < ns; ++i) {
    const int n = sizes[i];
    Homography h3;
    if (!BuildTransform(b, c, n, false, h3)) continue;
    if (n >= 45) {
      // the version blocks sit next to the finders, where even a slightly wrong size maps well enough
      ModuleGrid vg;
      vg.size = n;
      vg.dark.assign(static_cast<size_t>(n) * n, 0);
      for (int k = 0; k < 18; ++k) {
        const int p = n - 11 + k % 3, q = k / 3;
        vg.dark[static_cast<size_t>(q) * n + p] = static_cast<uint8_t>(ModuleAt(b, h3, p, q) == 1);
        vg.dark[static_cast<size_t>(p) * n + q] = static_cast<uint8_t>(ModuleAt(b, h3, q, p) == 1);
      }
      const int v = ReadVersionInfo(vg);  // reads both blocks: the same for a mirrored symbol
      if (v > 0 && SymbolSize(v) != n) {
        const int sz = SymbolSize(v);
        bool seen = false;
        for (int k = 0; k < ns; ++k) seen |= sizes[k] == sz;
        if (!seen && ns < 8) {
          for (int k = ns; k > i + 1; --k) sizes[k] = sizes[k - 1];
          sizes[i + 1] = sz;
          ++ns;
        }
        continue;
      }
    }
    if (!TimingOk(b, h3, n)) continue;
    if (DecodeAtSize(b, c, n, h3, out)) return true;
  }
  return false;
}

double Dist(const Finder& p, const Finder& q) {
  const double dx = p.x - q.x, dy = p.y - q.y;
  return std::sqrt(dx * dx + dy * dy);
}

std::vector<Candidate> MakeCandidates(std::vector<Finder>& fs) {
  std::vector<Candidate> out;
  const int n = static_cast<int>(fs.size());
  std::vector<double> dist(static_cast<size_t>(n) * n);
  for (int i = 0; i < n; ++i)
    for (int j = 0; j < n; ++j) dist[static_cast<size_t>(i) * n + j] = Dist(fs[i], fs[j]);
  for (int i = 0; i < n; ++i)
    for (int j = i + 1; j < n; ++j)
      for (int k = j + 1; k < n; ++k) {
        Finder* p[3] = {&fs[i], &fs[j], &fs[k]};
        double mmin = std::min({p[0]->module, p[1]->module, p[2]->module});
        double mmax = std::max({p[0]->module, p[1]->module, p[2]->module});
        if (mmax > 1.5 * mmin + 0.5) continue;
        // the corner is opposite the longest side
        const double d01 = dist[static_cast<size_t>(i) * n + j], d02 = dist[static_cast<size_t>(i) * n + k],
                     d12 = dist[static_cast<size_t>(j) * n + k];
        Finder *a, *b, *c;
        double l1, l2, hyp;
        if (d12 >= d01 && d12 >= d02) {
          a = p[0], b = p[1], c = p[2], l1 = d01, l2 = d02, hyp = d12;
        } else if (d02 >= d01 && d02 >= d12) {
          a = p[1], b = p[0], c = p[2], l1 = d01, l2 = d12, hyp = d02;
        } else {
          a = p[2], b = p[0], c = p[1], l1 = d02, l2 = d12, hyp = d01;
        }
        const double leg_diff = std::fabs(l1 - l2) / std::max(l1, l2);
        if (leg_diff > 0.2) continue;
        const double hyp_err = std::fabs(hyp / std::sqrt(l1 * l1 + l2 * l2) - 1.0);
        if (hyp_err > 0.12) continue;
        const double cross = (b->x - a->x) * (c->y - a->y) - (b->y - a->y) * (c->x - a->x);
        if (cross < 0) std::swap(b, c);
        // run lengths through a turned finder grow by 1 / max(|cos|, |sin|) of the turn
        const double ang = std::atan2(b->y - a->y, b->x - a->x);
        const double f = std::max(std::fabs(std::cos(ang)), std::fabs(std::sin(ang)));
        const double module = (a->module + b->module + c->module) / 3.0 * f;
        const double legs = (l1 + l2) / 2.0 / module;
        if (legs < 12 || legs > 175) continue;
        const int size = static_cast<int>(std::lround((legs + 7 - 1) / 4.0)) * 4 + 1;
        Candidate cand{a, b, c, leg_diff + hyp_err, module, size};
        out.push_back(cand);
      }
  std::sort(out.begin(), out.end(), [](const Candidate& x, const Candidate& y) { return x.score < y.score; });
  return out;
}

bool SameSymbol(const Symbol& s, const Symbol& t) {
  if (s.text != t.text) return false;
  const double cx = (s.corners[0].x + s.corners[2].x) / 2, cy = (s.corners[0].y + s.corners[2].y) / 2;
  const double tx = (t.corners[0].x + t.corners[2].x) / 2, ty = (t.corners[0].y + t.corners[2].y) / 2;
  const double size = std::sqrt((s.corners[0].x - s.corners[2].x) * (s.corners[0].x - s.corners[2].x) + (s.corners[0].y - s.corners[2].y) * (s.corners[0].y - s.corners[2].y));
  return std::sqrt((cx - tx) * (cx - tx) + (cy - ty) * (cy - ty)) < size / 2;
}

// Whether a point lies inside the quadrilateral of a decoded symbol (corners in order around it).
bool InsideSymbol(const Symbol& s, double x, double y) {
  bool pos = false, neg = false;
  for (int k = 0; k < 4; ++k) {
    const PointF& p = s.corners[k];
    const PointF& q = s.corners[(k + 1) % 4];
    const double c = (q.x - p.x) * (y - p.y) - (q.y - p.y) * (x - p.x);
    pos |= c > 0;
    neg |= c < 0;
  }
  return !(pos && neg);
}

void DecodePass(const BitImage& b, std::vector<Symbol>& found) {
  std::vector<Finder> fs = FindFinders(b);
  if (fs.size() < 3) return;
  if (fs.size() > kMaxFinders) {
    std::sort(fs.begin(), fs.end(), [](const Finder& x, const Finder& y) { return x.count > y.count; });
    fs.resize(kMaxFinders);
  }
  std::vector<Candidate> cands = MakeCandidates(fs);
  int tried = 0;
  for (const Candidate& c : cands) {
    if (c.a->used || c.b->used || c.c->used) continue;
    if (++tried > kMaxTriples) break;
    Symbol s;
    if (!TryCandidate(b, c, s)) continue;
    c.a->used = c.b->used = c.c->used = true;
    // finder-like patterns in the data of this symbol belong to no other symbol
    for (Finder& f : fs)
      if (InsideSymbol(s, f.x, f.y)) f.used = true;
    bool dup = false;
    for (const Symbol& t : found) dup |= SameSymbol(s, t);
    if (!dup) found.push_back(std::move(s));
  }
}

}  // namespace

std::vector<Symbol> DecodeImage(const GrayImage& image) {
  std::vector<Symbol> found;
  if (image.width < 21 || image.height < 21) return found;
  BitImage b;
  const Binarizer bin(image);
  // dark on light with the mean threshold, then the darkest- and brightest-edge thresholds, then light on dark
  static const struct {
    bool inverted;
    Binarizer::Mode mode;
  } kPasses[] = {{false, Binarizer::Mode::Mean},     {false, Binarizer::Mode::Darkest},
                 {false, Binarizer::Mode::Brightest}, {true, Binarizer::Mode::Mean},
                 {true, Binarizer::Mode::Darkest},    {true, Binarizer::Mode::Brightest}};
  std::vector<uint8_t> tried[2][3];  // thresholds of the passes run so far, by polarity
  for (const auto& p : kPasses) {
    std::vector<uint8_t> thr = bin.Thresholds(p.mode, p.inverted);
    // two-tone images give the same thresholds in every mode: no need to look twice
    bool repeat = false;
    for (const std::vector<uint8_t>& t : tried[p.inverted]) repeat |= t == thr;
    if (repeat) continue;
    bin.Apply(thr, p.inverted, b);
    DecodePass(b, found);
    if (!found.empty()) break;
    tried[p.inverted][static_cast<int>(p.mode)] = std::move(thr);
  }
  return found;
}

DecodeStatus DecodeBmp(const uint8_t* data, size_t size, std::vector<Symbol>& out) {
  out.clear();
  try {
    GrayImage img;
    const BmpStatus st = ReadBmp(data, size, img);
    if (st == BmpStatus::OutOfMemory) return DecodeStatus::OutOfMemory;
    if (st != BmpStatus::Ok) return DecodeStatus::NotReadable;
    out = DecodeImage(img);
  } catch (const std::bad_alloc&) {
    out.clear();
    return DecodeStatus::OutOfMemory;
  }
  return DecodeStatus::Ok;
}

}  // namespace vantaro::qr
