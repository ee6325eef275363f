#include "qr/bmp.h"

#include <new>

namespace vantaro::qr {
namespace {

uint32_t U16(const uint8_t* p) { return static_cast<uint32_t>(p[0] | (p[1] << 8)); }
uint32_t U32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
         (static_cast<uint32_t>(p[3]) << 24);
}
uint8_t Luma(uint32_t r, uint32_t g, uint32_t b) { return static_cast<uint8_t>((77 * r + 150 * g + 29 * b + 128) >> 8); }

// Position and width of a channel mask, to scale a BI_BITFIELDS channel to 8 bits.
struct Channel {
  int shift = 0;
  int bits = 0;
  explicit Channel(uint32_t mask) {
    if (!mask) return;
    while (!(mask & 1)) {
      mask >>= 1;
      ++shift;
    }
    while (mask & 1) {
      mask >>= 1;
      ++bits;
    }
  }
  uint32_t Get(uint32_t px) const {
    if (bits == 0) return 0;
    const uint32_t v = (px >> shift) & ((bits >= 32) ? 0xFFFFFFFFu : ((1u << bits) - 1));
    return bits >= 8 ? v >> (bits - 8) : (v * 255u) / ((1u << bits) - 1);
  }
};

}  // namespace

BmpStatus ReadBmp(const uint8_t* data, size_t size, GrayImage& out) {
  out = GrayImage{};
  if (size < 2 || data[0] != 'B' || data[1] != 'M') return BmpStatus::NotBmp;
  if (size < 14 + 4) return BmpStatus::Truncated;
  const uint32_t pixel_offset = U32(data + 10);
  const uint32_t hdr = U32(data + 14);
  if (hdr != 12 && hdr != 40 && hdr != 52 && hdr != 56 && hdr != 64 && hdr != 108 && hdr != 124)
    return BmpStatus::NotBmp;
  if (size < 14ull + hdr) return BmpStatus::Truncated;
  const uint8_t* h = data + 14;
  int64_t width, height;
  uint32_t bpp, compression = 0, colours_used = 0;
  if (hdr == 12) {
    width = U16(h + 4);
    height = static_cast<int16_t>(U16(h + 6));
    bpp = U16(h + 10);
  } else {
    width = static_cast<int32_t>(U32(h + 4));
    height = static_cast<int32_t>(U32(h + 8));
    bpp = U16(h + 14);
    compression = U32(h + 16);
    colours_used = U32(h + 32);
  }
  const bool top_down = height < 0;
  if (top_down) height = -height;
  if (width <= 0 || height <= 0) return BmpStatus::NotBmp;
  if (width > kMaxBmpSide || height > kMaxBmpSide || width * height > kMaxBmpPixels) return BmpStatus::TooLarge;

  uint32_t masks[3] = {0x00FF0000u, 0x0000FF00u, 0x000000FFu};
  if (compression == 3 && bpp == 32) {
    // Masks follow a 40-byte header, or sit inside the larger ones.
    if (size < 14ull + 40 + 12) return BmpStatus::Truncated;
    for (int i = 0; i < 3; ++i) masks[i] = U32(h + 40 + 4 * i);
  } else if (compression != 0) {
    return BmpStatus::NotBmp;
  }
  if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 24 && bpp != 32) return BmpStatus::NotBmp;

  // Palette for the indexed formats.
  uint8_t palette[256];
  int palette_len = 0;
  if (bpp <= 8) {
    const uint32_t max_entries = 1u << bpp;
    const uint32_t entries = colours_used == 0 || colours_used > max_entries ? max_entries : colours_used;
    const uint32_t entry_size = hdr == 12 ? 3 : 4;
    uint64_t pal_start = 14ull + hdr;
    if (compression == 3) pal_start += 12;
    if (pal_start + static_cast<uint64_t>(entries) * entry_size > size) return BmpStatus::Truncated;
    for (uint32_t i = 0; i < entries; ++i) {
      const uint8_t* e = data + pal_start + i * entry_size;
      palette[i] = Luma(e[2], e[1], e[0]);
    }
    for (uint32_t i = entries; i < 256; ++i) palette[i] = 0;
    palette_len = static_cast<int>(entries);
  }
  (void)palette_len;

  const uint64_t stride = ((static_cast<uint64_t>(width) * bpp + 31) / 32) * 4;
  const uint64_t needed = static_cast<uint64_t>(pixel_offset) + stride * static_cast<uint64_t>(height);
  if (pixel_offset < 14ull + (hdr == 12 ? 12 : hdr) || needed > size) return BmpStatus::Truncated;

  const int w = static_cast<int>(width), ht = static_cast<int>(height);
  try {
    out.pixels.resize(static_cast<size_t>(w) * static_cast<size_t>(ht));
  } catch (const std::bad_alloc&) {
    out = GrayImage{};
    return BmpStatus::OutOfMemory;
  }
  out.width = w;
  out.height = ht;
  const Channel cr(masks[0]), cg(masks[1]), cb(masks[2]);
  const bool plain32 = masks[0] == 0x00FF0000u && masks[1] == 0x0000FF00u && masks[2] == 0x000000FFu;
  for (int y = 0; y < ht; ++y) {
    const int src_row = top_down ? y : ht - 1 - y;
    const uint8_t* row = data + pixel_offset + stride * static_cast<uint64_t>(src_row);
    uint8_t* dst = out.pixels.data() + static_cast<size_t>(y) * w;
    switch (bpp) {
      case 24:
        for (int x = 0; x < w; ++x, row += 3) dst[x] = Luma(row[2], row[1], row[0]);
        break;
      case 32:
        if (plain32) {
          for (int x = 0; x < w; ++x, row += 4) dst[x] = Luma(row[2], row[1], row[0]);
        } else {
          for (int x = 0; x < w; ++x, row += 4) {
            const uint32_t px = U32(row);
            dst[x] = Luma(cr.Get(px), cg.Get(px), cb.Get(px));
          }
        }
        break;
      case 8:
        for (int x = 0; x < w; ++x) dst[x] = palette[row[x]];
        break;
      case 4:
        for (int x = 0; x < w; ++x) dst[x] = palette[(row[x >> 1] >> ((x & 1) ? 0 : 4)) & 0x0F];
        break;
      case 1:
        for (int x = 0; x < w; ++x) dst[x] = palette[(row[x >> 3] >> (7 - (x & 7))) & 1];
        break;
      default:
        break;
    }
  }
  return BmpStatus::Ok;
}

}  // namespace vantaro::qr
