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
};

// Local threshold: the image is cut into small blocks; a block's threshold is the median of the mid-levels of
// the blocks around it that contain an edge. Taking the median of edge mid-levels instead of a plain mean keeps a
// bright page beside a grey card from pulling the card's light modules to dark. Areas with no edge nearby are
// light. With `inverted` the luminance is negated first (light modules on a dark ground). `rank` 1 takes the
// darkest edge mid-level instead of the median: a quiet zone on a mid-tone card, squeezed between the bright
// page and the dark modules, then stays light.
void Binarize(const GrayImage& img, bool inverted, int rank, BitImage& out);

}  // namespace vantaro::qr
