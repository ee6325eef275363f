#include "platform/text_conversion.h"

#include <windows.h>

namespace vantaro {

std::string Utf8ToGbk(const std::string& utf8, const char* replacement) {
    if (utf8.empty()) return {};
    const int size = static_cast<int>(utf8.size());
    const int wideLength = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0);
    if (wideLength <= 0) return {};
    std::wstring wide(static_cast<size_t>(wideLength), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, wide.data(), wideLength);
    const int length = WideCharToMultiByte(936, 0, wide.data(), wideLength, nullptr, 0, replacement, nullptr);
    if (length <= 0) return {};
    std::string gbk(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(936, 0, wide.data(), wideLength, gbk.data(), length, replacement, nullptr);
    return gbk;
}

}  // namespace vantaro
