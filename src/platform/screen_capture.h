#pragma once
#include <optional>

#include "core/bmp_writer.h"

namespace vantaro {

// The primary screen's width and height in pixels, as the system reports them.
struct ScreenSize {
    int width;
    int height;
};
ScreenSize PrimaryScreenSize();

// A screenshot of the whole primary screen in true colours; nullopt when the screen cannot be read.
std::optional<BgrImage> CapturePrimaryScreen();

}  // namespace vantaro
