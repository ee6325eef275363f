#include "sysproxy/internet_settings.h"

#include <windows.h>

#include <vector>

#include "app/program_state.h"
#include "core/connection_record.h"
#include "platform/ras_entries.h"
#include "platform/registry.h"

namespace vantaro {
namespace {

constexpr uint32_t kDefaultCounter = 1;
constexpr uint32_t kEntryCounter = 30;

std::string WithoutSpaces(const std::string& text) {
    std::string kept;
    for (char c : text) {
        if (c != ' ') kept += c;
    }
    return kept;
}

std::string TrimSpaces(const std::string& text) {
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

}  // namespace

void SetAutoConfigValues(const std::string& url) {
    if (!url.empty()) {
        WriteStringValue(HKEY_CURRENT_USER, kInternetSettingsKey, "AutoConfigURL", url);
    } else {
        const std::string pacFile = Program().engineDirectory + "pac";
        if (!Program().engineDirectory.empty() &&
            GetFileAttributesA(pacFile.c_str()) != INVALID_FILE_ATTRIBUTES) {
            DeleteFileA(pacFile.c_str());
        }
        DeleteRegistryValue(HKEY_CURRENT_USER, kInternetSettingsKey, "AutoConfigURL");
    }
    const std::vector<std::string> entries = DialUpEntries();
    if (entries.empty()) return;
    if (WithoutSpaces(url).empty()) {
        WriteBinaryValue(HKEY_CURRENT_USER, kConnectionsKey, "DefaultConnectionSettings",
                         ClearedPacConnectionRecord());
        for (const std::string& entry : entries)
            DeleteRegistryValue(HKEY_CURRENT_USER, kConnectionsKey, entry);
        return;
    }
    WriteBinaryValue(HKEY_CURRENT_USER, kConnectionsKey, "DefaultConnectionSettings",
                     PacConnectionRecord(url, kDefaultCounter));
    const std::string entryRecord = PacConnectionRecord(url, kEntryCounter);
    for (const std::string& entry : entries)
        WriteBinaryValue(HKEY_CURRENT_USER, kConnectionsKey, entry, entryRecord);
}

void SetProxyServerValues(const std::string& proxy) {
    if (TrimSpaces(proxy).empty()) {
        WriteDwordValue(HKEY_CURRENT_USER, kInternetSettingsKey, "ProxyEnable", 0);
        DeleteRegistryValue(HKEY_CURRENT_USER, kInternetSettingsKey, "ProxyServer");
    } else {
        WriteDwordValue(HKEY_CURRENT_USER, kInternetSettingsKey, "ProxyEnable", 1);
        WriteStringValue(HKEY_CURRENT_USER, kInternetSettingsKey, "ProxyServer", proxy);
    }
    const std::vector<std::string> entries = DialUpEntries();
    if (WithoutSpaces(proxy).empty()) {
        for (const std::string& entry : entries)
            DeleteRegistryValue(HKEY_CURRENT_USER, kConnectionsKey, entry);
        return;
    }
    const std::string record = ProxyConnectionRecord(proxy);
    for (const std::string& entry : entries)
        WriteBinaryValue(HKEY_CURRENT_USER, kConnectionsKey, entry, record);
}

}  // namespace vantaro
