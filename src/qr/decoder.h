#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "qr/image.h"

namespace vantaro::qr {

struct PointF {
  float x = 0;
  float y = 0;
};

struct Symbol {
  int version = 0;   // 1..40
  int level = 0;     // 0 L, 1 M, 2 Q, 3 H
  std::string text;  // UTF-8
  bool has_structured_append = false;
  int sa_total = 0;     // symbols in the sequence
  int sa_position = 0;  // 0-based
  int sa_parity = 0;
  bool mirrored = false;
  PointF corners[4];  // image pixels: top-left, top-right, bottom-right, bottom-left of the symbol
};

// Finds and decodes every QR symbol of a luminance image. Only symbols that passed Reed-Solomon verification and
// a sane segment parse are returned, each once.
std::vector<Symbol> DecodeImage(const GrayImage& image);

enum class DecodeStatus { Ok, NotReadable, OutOfMemory };

// Reads a BMP file held in memory and decodes it.
DecodeStatus DecodeBmp(const uint8_t* data, size_t size, std::vector<Symbol>& out);

}  // namespace vantaro::qr
