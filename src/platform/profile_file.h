#pragma once
#include <string>

namespace vantaro {

// The system's profile (INI) functions, one call each. Values are GBK bytes.
constexpr size_t kProfileValueBuffer = 10240;  // a value is read into this many bytes, so 10239 are seen

std::string ReadProfileValue(const std::string& file, const std::string& section, const std::string& key,
                             const std::string& defaultValue);
bool WriteProfileValue(const std::string& file, const std::string& section, const std::string& key,
                       const std::string& value);
bool DeleteProfileSection(const std::string& file, const std::string& section);

}  // namespace vantaro
