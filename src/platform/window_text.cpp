#include "platform/window_text.h"

#include <vector>

namespace vantaro {

std::string GetWindowTextString(HWND window) {
    const int length = GetWindowTextLengthA(window);
    if (length <= 0) return {};
    std::vector<char> buffer(static_cast<size_t>(length) + 1, '\0');
    const int copied = GetWindowTextA(window, buffer.data(), length + 1);
    return std::string(buffer.data(), copied > 0 ? static_cast<size_t>(copied) : 0);
}

void SetWindowTextString(HWND window, const std::string& text) { SetWindowTextA(window, text.c_str()); }

}  // namespace vantaro
