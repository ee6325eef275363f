#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

namespace vantaro {

// A 24-bit picture held the way a Windows DIB holds it: blue, green, red bytes per pixel, rows top-down, each
// row padded to a multiple of 4 bytes. The same layout feeds GDI drawing and the BMP file rows.
struct BgrImage {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> pixels;  // Stride() * height bytes

    static int StrideFor(int width) { return (width * 3 + 3) & ~3; }
    int Stride() const { return StrideFor(width); }
    uint8_t* Row(int y) { return pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(Stride()); }
    const uint8_t* Row(int y) const {
        return pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(Stride());
    }
};

// A width x height picture filled with one colour; negative sizes count as 0.
BgrImage MakeFilledImage(int width, int height, uint8_t red, uint8_t green, uint8_t blue);

// The bytes of an uncompressed BMP file of the picture: "BM" file header, 40-byte information header, 24 bits
// per pixel, rows bottom-up, each padded to 4 bytes. A picture of zero width or height gives the headers
// alone.
std::vector<uint8_t> BmpFileBytes(const BgrImage& image);

}  // namespace vantaro
