#pragma once
#include <string>

namespace vantaro {

// UTF-8 (engine output, QR data) through UTF-16 into code page 936. A character without a GBK form becomes
// replacement, or the system's default character when none is given.
std::string Utf8ToGbk(const std::string& utf8, const char* replacement = nullptr);

}  // namespace vantaro
