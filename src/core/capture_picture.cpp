#include "core/capture_picture.h"

#include <algorithm>
#include <cstring>

namespace vantaro {
namespace {

void SetPixel(BgrImage& image, int x, int y, uint8_t red, uint8_t green, uint8_t blue) {
    uint8_t* pixel = image.Row(y) + static_cast<size_t>(x) * 3;
    pixel[0] = blue;
    pixel[1] = green;
    pixel[2] = red;
}

void DrawRedFrame(BgrImage& image) {
    if (image.width <= 0 || image.height <= 0) return;
    for (int x = 0; x < image.width; ++x) {
        SetPixel(image, x, 0, 255, 0, 0);
        SetPixel(image, x, image.height - 1, 255, 0, 0);
    }
    for (int y = 0; y < image.height; ++y) {
        SetPixel(image, 0, y, 255, 0, 0);
        SetPixel(image, image.width - 1, y, 255, 0, 0);
    }
}

}  // namespace

BgrImage WashedOut(const BgrImage& image) {
    // One table for all 256 values: the whole screen is blended at the cost of a lookup per byte.
    uint8_t blended[256];
    for (int value = 0; value < 256; ++value)
        blended[value] = BlendHalfToward(static_cast<uint8_t>(value), kWashOutGrey);
    BgrImage result = image;
    for (int y = 0; y < result.height; ++y) {
        uint8_t* row = result.Row(y);
        for (int i = 0; i < result.width * 3; ++i) row[i] = blended[row[i]];
    }
    return result;
}

SelectionSize SelectionSizeFor(int x0, int y0, int x, int y) {
    const long long width = static_cast<long long>(x) - x0;
    const long long height = static_cast<long long>(y) - y0;
    return {width < 1 ? 0 : static_cast<int>(width), height < 1 ? 0 : static_cast<int>(height)};
}

BgrImage CutSelection(const BgrImage& screen, int x0, int y0, int width, int height) {
    BgrImage selection = MakeFilledImage(width, height, 255, 255, 255);
    // The part of the selection that lies on the screen, in screen coordinates.
    const long long left = std::max<long long>(x0, 0);
    const long long top = std::max<long long>(y0, 0);
    const long long right = std::min<long long>(static_cast<long long>(x0) + selection.width, screen.width);
    const long long bottom =
        std::min<long long>(static_cast<long long>(y0) + selection.height, screen.height);
    if (left < right && top < bottom &&
        screen.pixels.size() >= static_cast<size_t>(screen.Stride()) * static_cast<size_t>(screen.height)) {
        const size_t bytes = static_cast<size_t>(right - left) * 3;
        for (long long y = top; y < bottom; ++y) {
            const uint8_t* source = screen.Row(static_cast<int>(y)) + left * 3;
            uint8_t* target = selection.Row(static_cast<int>(y - y0)) + (left - x0) * 3;
            std::memcpy(target, source, bytes);
        }
    }
    DrawRedFrame(selection);
    return selection;
}

}  // namespace vantaro
