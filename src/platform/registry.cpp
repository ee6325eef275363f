#include "platform/registry.h"

#include "platform/unique_handle.h"

namespace vantaro {
namespace {

RegistryKey OpenForWriting(HKEY root, const std::string& key) {
    HKEY opened = nullptr;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_WRITE, &opened) != ERROR_SUCCESS) {
        opened = nullptr;
        if (RegCreateKeyExA(root, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &opened, nullptr) != ERROR_SUCCESS) {
            opened = nullptr;
        }
    }
    return RegistryKey(opened);
}

bool SetValue(HKEY root, const std::string& key, const std::string& name, DWORD type, const void* data,
              DWORD size) {
    RegistryKey opened = OpenForWriting(root, key);
    if (!opened) return false;
    return RegSetValueExA(opened.Get(), name.c_str(), 0, type, static_cast<const BYTE*>(data), size) == ERROR_SUCCESS;
}

bool RealRunWrite(const std::string& name, const std::string& data) {
    return WriteStringValue(HKEY_LOCAL_MACHINE, kRunKeyPath, name, data);
}
bool RealRunRemove(const std::string& name) { return DeleteRegistryValue(HKEY_LOCAL_MACHINE, kRunKeyPath, name); }
bool RealRunExists(const std::string& name) { return RegistryValueExists(HKEY_LOCAL_MACHINE, kRunKeyPath, name); }

RunKeyAccess runKey{RealRunWrite, RealRunRemove, RealRunExists};

}  // namespace

bool WriteStringValue(HKEY root, const std::string& key, const std::string& name, const std::string& data) {
    // REG_SZ is stored with its terminating zero.
    return SetValue(root, key, name, REG_SZ, data.c_str(), static_cast<DWORD>(data.size() + 1));
}

bool WriteDwordValue(HKEY root, const std::string& key, const std::string& name, DWORD data) {
    return SetValue(root, key, name, REG_DWORD, &data, sizeof(data));
}

bool WriteBinaryValue(HKEY root, const std::string& key, const std::string& name, const std::string& bytes) {
    return SetValue(root, key, name, REG_BINARY, bytes.data(), static_cast<DWORD>(bytes.size()));
}

bool DeleteRegistryValue(HKEY root, const std::string& key, const std::string& name) {
    RegistryKey opened = OpenForWriting(root, key);
    return opened && RegDeleteValueA(opened.Get(), name.c_str()) == ERROR_SUCCESS;
}

bool RegistryValueExists(HKEY root, const std::string& key, const std::string& name) {
    HKEY opened = nullptr;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) return false;
    RegistryKey owner(opened);
    return RegQueryValueExA(opened, name.c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

const RunKeyAccess& RunKey() { return runKey; }

RunKeyAccess SetRunKeyAccess(const RunKeyAccess& access) {
    const RunKeyAccess previous = runKey;
    runKey = access;
    return previous;
}

}  // namespace vantaro
