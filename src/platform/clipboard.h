#pragma once
#include <windows.h>

#include <optional>
#include <string>

namespace vantaro {

// The clipboard in its plain ANSI text format (CF_TEXT).
// The text on the clipboard up to its first zero byte; nullopt when it holds no text or cannot be opened.
std::optional<std::string> ReadClipboardText(HWND owner);
// Replaces the whole clipboard content with one zero-terminated text; false when nothing was written.
bool WriteClipboardText(HWND owner, const std::string& text);

}  // namespace vantaro
