#include "platform/profile_file.h"

#include <windows.h>

#include <vector>

namespace vantaro {

std::string ReadProfileValue(const std::string& file, const std::string& section, const std::string& key,
                             const std::string& defaultValue) {
    std::vector<char> buffer(kProfileValueBuffer, '\0');
    const DWORD length = GetPrivateProfileStringA(section.c_str(), key.c_str(), defaultValue.c_str(),
                                                  buffer.data(), static_cast<DWORD>(buffer.size()), file.c_str());
    return std::string(buffer.data(), length);
}

bool WriteProfileValue(const std::string& file, const std::string& section, const std::string& key,
                       const std::string& value) {
    return WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), file.c_str()) != FALSE;
}

bool DeleteProfileSection(const std::string& file, const std::string& section) {
    return WritePrivateProfileStringA(section.c_str(), nullptr, nullptr, file.c_str()) != FALSE;
}

}  // namespace vantaro
