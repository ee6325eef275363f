#pragma once
#include <windows.h>

#include <string>

#include "core/bmp_writer.h"
#include "platform/unique_handle.h"

namespace vantaro {

// A 24-bit top-down DIB section of width x height; *bits receives its pixel memory (BgrImage layout).
GdiObject CreateTopDownDib(HDC dc, int width, int height, void** bits);

// Draws the part of the picture that falls inside clip, with the picture's top-left corner at (x, y).
void DrawImage(HDC dc, const BgrImage& image, int x, int y, const RECT& clip);

// Writes the picture as a BMP file, creating or replacing it; false when the file cannot be written whole.
bool WriteBmpFile(const std::string& path, const BgrImage& image);

}  // namespace vantaro
