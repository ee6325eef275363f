#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

namespace vantaro::qr {

// 8-bit luminance image, row by row from the top.
struct GrayImage {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> pixels;
  uint8_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

}  // namespace vantaro::qr
