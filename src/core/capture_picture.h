#pragma once
#include <cstdint>

#include "core/bmp_writer.h"

namespace vantaro {

// The light grey the frozen screen is washed out toward, and how far (half of the way).
constexpr uint8_t kWashOutGrey = 236;

// value moved half of the way toward target, rounded to the nearest byte (halves up).
inline uint8_t BlendHalfToward(uint8_t value, uint8_t target) {
    return static_cast<uint8_t>((value + target + 1) / 2);
}

// Every channel of every pixel blended half of the way toward RGB(236, 236, 236).
BgrImage WashedOut(const BgrImage& image);

struct SelectionSize {
    int width;
    int height;
};

// The selection from the press point (x0, y0) to the mouse at (x, y): it grows only to the right and
// downward, a width or height below 1 being 0.
SelectionSize SelectionSizeFor(int x0, int y0, int x, int y);

// A width x height picture, white, holding the screen's pixels of columns x0 .. x0+width-1 and rows y0 ..
// y0+height-1 (those outside the screen stay white), with a one-pixel red frame on its outermost pixels.
BgrImage CutSelection(const BgrImage& screen, int x0, int y0, int width, int height);

}  // namespace vantaro
