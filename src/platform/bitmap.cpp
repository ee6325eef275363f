#include "platform/bitmap.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace vantaro {
namespace {

BITMAPINFO TopDownInfo(int width, int height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // negative: rows top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

}  // namespace

GdiObject CreateTopDownDib(HDC dc, int width, int height, void** bits) {
    *bits = nullptr;
    if (width <= 0 || height <= 0) return GdiObject();
    const BITMAPINFO info = TopDownInfo(width, height);
    GdiObject section(CreateDIBSection(dc, &info, DIB_RGB_COLORS, bits, nullptr, 0));
    if (*bits == nullptr) return GdiObject();
    return section;
}

void DrawImage(HDC dc, const BgrImage& image, int x, int y, const RECT& clip) {
    const LONG left = std::max<LONG>(clip.left, x);
    const LONG top = std::max<LONG>(clip.top, y);
    const LONG right = std::min<LONG>(clip.right, x + image.width);
    const LONG bottom = std::min<LONG>(clip.bottom, y + image.height);
    if (left >= right || top >= bottom) return;
    if (image.pixels.size() < static_cast<size_t>(image.Stride()) * image.height) return;
    // Only the rows of the clip are handed over: a top-down DIB whose first row is the clip's first.
    const int rows = bottom - top;
    const BITMAPINFO info = TopDownInfo(image.width, rows);
    SetDIBitsToDevice(dc, left, top, right - left, rows, left - x, 0, 0, rows, image.Row(top - y), &info,
                      DIB_RGB_COLORS);
}

bool WriteBmpFile(const std::string& path, const BgrImage& image) {
    const std::vector<uint8_t> bytes = BmpFileBytes(image);
    KernelHandle file(
        CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    DWORD written = 0;
    const BOOL ok = WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    if (ok && written == bytes.size()) return true;
    file.Reset();
    DeleteFileA(path.c_str());  // no half-written picture is left behind
    return false;
}

}  // namespace vantaro
