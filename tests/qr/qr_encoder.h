#pragma once
// A small QR encoder for the tests: symbols of exactly known content, version, level and mask.
#include <cstdint>
#include <string>
#include <vector>

#include "qr/image.h"
#include "qr/tables.h"

namespace vantaro::qr::testing {

struct Segment {
  enum Kind { Numeric, Alnum, Byte, Kanji, Eci, StructuredAppend, Fnc1First } kind = Byte;
  std::string data;  // digits / alphanumeric text / raw bytes / Shift JIS pairs
  int value = 0;     // ECI designator
  int sa_position = 0, sa_total = 0, sa_parity = 0;
};

struct Matrix {
  int size = 0;
  std::vector<uint8_t> dark;  // row by row, 1 = dark
};

// Encodes the segments at the given version (0: the smallest that fits), level and mask. Returns an empty
// matrix when the data does not fit.
Matrix Encode(const std::vector<Segment>& segs, int version, EcLevel level, int mask = 0);
Matrix EncodeText(const std::string& bytes, int version = 0, EcLevel level = EcLevel::M, int mask = 0);
Matrix Transposed(const Matrix& m);

struct RenderOptions {
  int module_px = 4;
  int quiet = 4;
  int margin = 10;  // page pixels around the quiet zone
  uint8_t dark = 0;
  uint8_t light = 255;
  uint8_t page = 255;
};
// Draws a matrix into a new image.
GrayImage Render(const Matrix& m, const RenderOptions& o = RenderOptions{});
// Draws a matrix into an existing image at (x, y) (top-left of the quiet zone).
void Paint(GrayImage& img, const Matrix& m, int x, int y, const RenderOptions& o);

// 24-bit BMP file bytes of a luminance image (grey pixels).
std::vector<uint8_t> MakeBmp24(const GrayImage& img, bool top_down = false);

}  // namespace vantaro::qr::testing
