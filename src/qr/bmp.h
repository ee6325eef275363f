#pragma once
#include <cstddef>
#include <cstdint>

#include "qr/image.h"

namespace vantaro::qr {

enum class BmpStatus {
  Ok,
  NotBmp,       // no BMP signature, an unsupported header or pixel format
  Truncated,    // headers or pixel rows run past the end of the data
  TooLarge,     // dimensions beyond the cap
  OutOfMemory,
};

// Largest accepted side and pixel count.
constexpr int kMaxBmpSide = 16384;
constexpr int64_t kMaxBmpPixels = 64LL * 1024 * 1024;

// Reads an uncompressed BMP (24/32-bit, or 1/4/8-bit paletted; bottom-up or top-down) into luminance.
BmpStatus ReadBmp(const uint8_t* data, size_t size, GrayImage& out);

}  // namespace vantaro::qr
