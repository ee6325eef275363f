#include "platform/screen_capture.h"

#include <windows.h>

#include <cstring>

#include "platform/bitmap.h"

namespace vantaro {

ScreenSize PrimaryScreenSize() { return {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}; }

std::optional<BgrImage> CapturePrimaryScreen() {
    const ScreenSize size = PrimaryScreenSize();
    if (size.width <= 0 || size.height <= 0) return std::nullopt;
    HDC screen = GetDC(nullptr);
    if (screen == nullptr) return std::nullopt;
    ScopeGuard releaseScreen([screen] { ReleaseDC(nullptr, screen); });

    // A 24-bit top-down DIB section has exactly the layout of BgrImage, so its bits are copied out in one go.
    void* bits = nullptr;
    GdiObject section = CreateTopDownDib(screen, size.width, size.height, &bits);
    if (!section) return std::nullopt;
    HDC memory = CreateCompatibleDC(screen);
    if (memory == nullptr) return std::nullopt;
    ScopeGuard deleteMemory([memory] { DeleteDC(memory); });
    HGDIOBJ previous = SelectObject(memory, section.Get());
    // CAPTUREBLT takes layered windows too, as the user sees them.
    const BOOL copied = BitBlt(memory, 0, 0, size.width, size.height, screen, 0, 0, SRCCOPY | CAPTUREBLT);
    SelectObject(memory, previous);
    if (!copied) return std::nullopt;
    GdiFlush();

    BgrImage image;
    image.width = size.width;
    image.height = size.height;
    image.pixels.resize(static_cast<size_t>(image.Stride()) * static_cast<size_t>(image.height));
    std::memcpy(image.pixels.data(), bits, image.pixels.size());
    return image;
}

}  // namespace vantaro
