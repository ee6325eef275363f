#pragma once
#include <windows.h>

#include <string>

namespace vantaro {

// Registry values, one call each; results are whether the call succeeded.
bool WriteStringValue(HKEY root, const std::string& key, const std::string& name, const std::string& data);
bool WriteDwordValue(HKEY root, const std::string& key, const std::string& name, DWORD data);
bool WriteBinaryValue(HKEY root, const std::string& key, const std::string& name, const std::string& bytes);
bool DeleteRegistryValue(HKEY root, const std::string& key, const std::string& name);
bool RegistryValueExists(HKEY root, const std::string& key, const std::string& name);

// The Run key under HKEY_LOCAL_MACHINE goes through these, so that a test can make a write fail as it does for
// a user without administrator rights (Wine's user always has them).
struct RunKeyAccess {
    bool (*write)(const std::string& name, const std::string& data);
    bool (*remove)(const std::string& name);
    bool (*exists)(const std::string& name);
};
const RunKeyAccess& RunKey();
// Replaces the access for tests; returns the previous one.
RunKeyAccess SetRunKeyAccess(const RunKeyAccess& access);
constexpr char kRunKeyPath[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";

}  // namespace vantaro
