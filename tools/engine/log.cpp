#include "log.h"

#include <cstdio>
#include <mutex>

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>
#endif

namespace vantaro::engine {
namespace {

std::mutex outputMutex;

void WriteLine(std::FILE* stream, std::string_view utf8) {
    std::lock_guard<std::mutex> lock(outputMutex);
    std::fwrite(utf8.data(), 1, utf8.size(), stream);
    std::fputc('\n', stream);
    std::fflush(stream);
}

#ifndef _WIN32
bool IsUtf8(std::string_view bytes) {
    for (size_t i = 0; i < bytes.size();) {
        auto lead = static_cast<unsigned char>(bytes[i]);
        size_t length = lead < 0x80           ? 1
                        : (lead >> 5) == 0x6  ? 2
                        : (lead >> 4) == 0xE  ? 3
                        : (lead >> 3) == 0x1E ? 4
                                              : 0;
        if (length == 0 || i + length > bytes.size()) return false;
        for (size_t k = 1; k < length; ++k) {
            if ((static_cast<unsigned char>(bytes[i + k]) & 0xC0) != 0x80) return false;
        }
        i += length;
    }
    return true;
}
#endif

std::string Convert(std::string_view bytes) {
    if (bytes.empty()) return {};
#ifdef _WIN32
    int wideLength = MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    if (wideLength <= 0) return std::string(bytes);
    std::wstring wide(static_cast<size_t>(wideLength), L'\0');
    MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), wide.data(), wideLength);
    int length = WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
    if (length <= 0) return std::string(bytes);
    std::string utf8(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, utf8.data(), length, nullptr, nullptr);
    return utf8;
#else
    // Linux has no ANSI code page: file names are UTF-8 already, and only other bytes are taken as GBK.
    if (IsUtf8(bytes)) return std::string(bytes);
    iconv_t converter = iconv_open("UTF-8", "GBK");
    if (converter == reinterpret_cast<iconv_t>(-1)) return std::string(bytes);
    std::string input(bytes);
    std::string utf8(bytes.size() * 2 + 4, '\0');
    char* in = input.data();
    char* out = utf8.data();
    size_t inLeft = input.size(), outLeft = utf8.size();
    size_t converted = iconv(converter, &in, &inLeft, &out, &outLeft);
    iconv_close(converter);
    if (converted == static_cast<size_t>(-1)) return std::string(bytes);  // not GBK: shown as it is
    utf8.resize(utf8.size() - outLeft);
    return utf8;
#endif
}

}  // namespace

void LogLine(std::string_view utf8) { WriteLine(stdout, utf8); }

void ErrorLine(std::string_view utf8) { WriteLine(stderr, utf8); }

std::string AnsiToUtf8(std::string_view bytes) {
    std::string text = Convert(bytes);
    for (char& c : text) {
        auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) c = '?';  // a value must not start a new log line
    }
    return text;
}

}  // namespace vantaro::engine
