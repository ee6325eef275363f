#pragma once
#include <string>

namespace vantaro {

enum class ProxyMode { Direct = 0, Pac = 1, Global = 2 };

void SelectDirectMode();
void SelectPacMode();
void SelectGlobalMode();
void ApplyProxyMode(const std::string& text, ProxyMode mode);

}  // namespace vantaro
