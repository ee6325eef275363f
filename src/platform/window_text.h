#pragma once
#include <windows.h>

#include <string>

namespace vantaro {

std::string GetWindowTextString(HWND window);
void SetWindowTextString(HWND window, const std::string& text);

}  // namespace vantaro
