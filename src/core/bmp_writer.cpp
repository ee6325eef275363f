#include "core/bmp_writer.h"

#include <algorithm>

namespace vantaro {
namespace {

constexpr size_t kFileHeaderBytes = 14;
constexpr size_t kInfoHeaderBytes = 40;

void PutLittleEndian(std::vector<uint8_t>& bytes, size_t at, uint32_t value, int count) {
    for (int i = 0; i < count; ++i)
        bytes[at + static_cast<size_t>(i)] = static_cast<uint8_t>(value >> (8 * i));
}

}  // namespace

BgrImage MakeFilledImage(int width, int height, uint8_t red, uint8_t green, uint8_t blue) {
    BgrImage image;
    image.width = std::max(width, 0);
    image.height = std::max(height, 0);
    image.pixels.assign(static_cast<size_t>(image.Stride()) * static_cast<size_t>(image.height), 0);
    if (red == green && green == blue) {  // a grey (white for a new selection): every byte the same
        for (int y = 0; y < image.height; ++y) std::fill_n(image.Row(y), image.width * 3, red);
        return image;
    }
    for (int y = 0; y < image.height; ++y) {
        uint8_t* pixel = image.Row(y);
        for (int x = 0; x < image.width; ++x, pixel += 3) {
            pixel[0] = blue;
            pixel[1] = green;
            pixel[2] = red;
        }
    }
    return image;
}

std::vector<uint8_t> BmpFileBytes(const BgrImage& image) {
    const int width = std::max(image.width, 0);
    const int height = std::max(image.height, 0);
    const size_t stride = static_cast<size_t>(BgrImage::StrideFor(width));
    const size_t pixelBytes = width > 0 ? stride * static_cast<size_t>(height) : 0;
    const size_t offset = kFileHeaderBytes + kInfoHeaderBytes;
    std::vector<uint8_t> bytes(offset + pixelBytes, 0);

    bytes[0] = 'B';
    bytes[1] = 'M';
    PutLittleEndian(bytes, 2, static_cast<uint32_t>(bytes.size()), 4);
    PutLittleEndian(bytes, 10, static_cast<uint32_t>(offset), 4);

    PutLittleEndian(bytes, 14, static_cast<uint32_t>(kInfoHeaderBytes), 4);
    PutLittleEndian(bytes, 18, static_cast<uint32_t>(width), 4);
    PutLittleEndian(bytes, 22, static_cast<uint32_t>(height), 4);  // positive: rows bottom-up
    PutLittleEndian(bytes, 26, 1, 2);                              // planes
    PutLittleEndian(bytes, 28, 24, 2);                             // bits per pixel
    PutLittleEndian(bytes, 34, static_cast<uint32_t>(pixelBytes), 4);
    PutLittleEndian(bytes, 38, 2835, 4);  // 72 dots per inch, as metres
    PutLittleEndian(bytes, 42, 2835, 4);

    // Copy only the pixel bytes of each row; the padding stays zero whatever the source held.
    // A picture whose buffer is shorter than its size says is written with black rows rather than read past.
    const size_t rowBytes = static_cast<size_t>(width) * 3;
    const bool complete = image.pixels.size() >= pixelBytes;
    for (int y = 0; y < height && width > 0 && complete; ++y) {
        const uint8_t* source = image.Row(y);
        uint8_t* target = bytes.data() + offset + static_cast<size_t>(height - 1 - y) * stride;
        std::copy(source, source + rowBytes, target);
    }
    return bytes;
}

}  // namespace vantaro
