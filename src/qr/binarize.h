#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "qr/image.h"

namespace vantaro::qr {

// 1 = dark, 0 = light, one byte per pixel.
struct BitImage {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> bits;
  uint8_t At(int x, int y) const { return bits[static_cast<size_t>(y) * width + x]; }
  // Where the bits came from, for sampling between pixel centres: the luminance and the block thresholds.
  const GrayImage* gray = nullptr;
  std::vector<uint8_t> thresholds;
  int blocks_wide = 0;
  int block_shift = 0;
  bool inverted = false;
  // Dark or light at a sub-pixel position (continuous coordinates, pixel i spans [i, i + 1]): the luminance
  // interpolated between the four nearest pixel centres against the local threshold. x, y must lie in the image.
  bool DarkAt(double x, double y) const;
};

// Local threshold. The image is cut into 8 x 8 blocks; a block whose range reaches a minimum contrast holds an
// edge, and its mid-level (between its darkest and lightest pixel) is a threshold candidate. A pixel is
// compared with a combination of the edge mid-levels of the 5 x 5 blocks around its own:
//   Mean    their mean: follows gradients, anti-aliasing and JPEG noise;
//   Darkest the lowest one: a quiet zone on a mid-tone card, between the bright page and the dark modules,
//           stays light;
//   Brightest the highest one: pale modules beside black page text stay dark.
// Areas with no edge nearby are light. Inverted thresholds negate the luminance first (light modules on dark).
class Binarizer {
 public:
  enum class Mode { Mean, Darkest, Brightest };
  explicit Binarizer(const GrayImage& img);
  // Thresholds of every block for a mode (in the possibly inverted luminance; 0 = nothing dark there).
  std::vector<uint8_t> Thresholds(Mode mode, bool inverted) const;
  // Binarises with thresholds from Thresholds().
  void Apply(const std::vector<uint8_t>& thresholds, bool inverted, BitImage& out) const;

 private:
  const GrayImage& img_;
  int bw_ = 0, bh_ = 0;
  std::vector<uint8_t> mid_;   // per block
  std::vector<uint8_t> edge_;  // per block: 1 when the block holds an edge
};

}  // namespace vantaro::qr
