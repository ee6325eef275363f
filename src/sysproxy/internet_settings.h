#pragma once
#include <string>

namespace vantaro {

// The current user's WinINet settings, written directly in the registry.
constexpr char kInternetSettingsKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";
constexpr char kConnectionsKey[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\Connections";

// Sets (url not empty) or clears the automatic-configuration URL, with the connection records of the default
// connection and of every dial-up entry. Clearing also deletes the generated file "pac".
void SetAutoConfigValues(const std::string& url);
// Sets (proxy not blank) or clears the fixed proxy server, with the dial-up entries' connection records.
void SetProxyServerValues(const std::string& proxy);

}  // namespace vantaro
