#include "platform/clipboard.h"

#include <cstring>

namespace vantaro {
namespace {

// Another program may hold the clipboard open for a moment (a clipboard viewer or manager reading a new text,
// a copy in progress): try for a quarter of a second before giving up.
bool OpenClipboardBriefly(HWND owner) {
    for (int attempt = 0; attempt < 10; ++attempt) {
        if (OpenClipboard(owner)) return true;
        Sleep(25);
    }
    return false;
}

struct ClipboardCloser {
    ~ClipboardCloser() { CloseClipboard(); }
};

}  // namespace

std::optional<std::string> ReadClipboardText(HWND owner) {
    if (!IsClipboardFormatAvailable(CF_TEXT)) return std::nullopt;
    if (!OpenClipboardBriefly(owner)) return std::nullopt;
    ClipboardCloser closer;
    HANDLE data = GetClipboardData(CF_TEXT);
    if (data == nullptr) return std::nullopt;
    const char* bytes = static_cast<const char*>(GlobalLock(data));
    if (bytes == nullptr) return std::nullopt;
    // The memory block may lack its terminating zero: never read past its size.
    const size_t size = GlobalSize(data);
    const void* zero = std::memchr(bytes, '\0', size);
    std::string text(bytes, zero ? static_cast<const char*>(zero) - bytes : size);
    GlobalUnlock(data);
    return text;
}

bool WriteClipboardText(HWND owner, const std::string& text) {
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    if (memory == nullptr) return false;
    char* bytes = static_cast<char*>(GlobalLock(memory));
    if (bytes == nullptr) {
        GlobalFree(memory);
        return false;
    }
    std::memcpy(bytes, text.c_str(), text.size() + 1);
    GlobalUnlock(memory);
    if (!OpenClipboardBriefly(owner)) {
        GlobalFree(memory);
        return false;
    }
    ClipboardCloser closer;
    if (!EmptyClipboard() || SetClipboardData(CF_TEXT, memory) == nullptr) {
        GlobalFree(memory);  // the system took ownership only on success
        return false;
    }
    return true;
}

}  // namespace vantaro
