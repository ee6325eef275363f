#include "sysproxy_fixture.h"

#include <ws2tcpip.h>

#include <fstream>
#include <sstream>

#include "platform/ras_entries.h"
#include "platform/registry.h"
#include "platform/unique_handle.h"
#include "platform/wininet_notify.h"

namespace vantaro::test {

const char kSettingsKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";
const char kConnections[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\Connections";

namespace {

std::vector<std::string> suppliedEntries;
std::vector<unsigned long> notifications;
DialUpEnumerator systemEnumerator = nullptr;

// Fills the caller's buffer as the system does: too small a buffer is refused with the size it would need.
DWORD WINAPI SuppliedEnumerator(LPCSTR, LPCSTR, DialUpEntryRecord* entries, LPDWORD bufferBytes,
                                LPDWORD count) {
    const DWORD needed = static_cast<DWORD>(suppliedEntries.size() * sizeof(DialUpEntryRecord));
    *count = static_cast<DWORD>(suppliedEntries.size());
    if (*bufferBytes < needed) {
        *bufferBytes = needed;
        return 603;  // ERROR_BUFFER_TOO_SMALL of the RAS functions
    }
    for (size_t i = 0; i < suppliedEntries.size(); ++i) {
        entries[i].dwSize = sizeof(DialUpEntryRecord);
        lstrcpynA(entries[i].szEntryName, suppliedEntries[i].c_str(), sizeof(entries[i].szEntryName));
    }
    *bufferBytes = needed;
    return 0;
}

void RecordNotification(unsigned long option) { notifications.push_back(option); }

void EnsureWinsock() {
    static bool started = [] {
        WSADATA data;
        return WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }();
    (void)started;
}

}  // namespace

std::optional<StoredValue> QueryValue(const std::string& key, const std::string& name) {
    HKEY opened = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_QUERY_VALUE, &opened) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    RegistryKey owner(opened);
    StoredValue value;
    DWORD size = 0;
    if (RegQueryValueExA(opened, name.c_str(), nullptr, &value.type, nullptr, &size) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    value.bytes.resize(size);
    RegQueryValueExA(opened, name.c_str(), nullptr, &value.type, reinterpret_cast<BYTE*>(value.bytes.data()),
                     &size);
    value.bytes.resize(size);
    return value;
}

void PutValue(const std::string& key, const std::string& name, const std::optional<StoredValue>& value) {
    if (!value) {
        DeleteRegistryValue(HKEY_CURRENT_USER, key, name);
        return;
    }
    HKEY opened = nullptr;
    RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &opened, nullptr);
    RegistryKey owner(opened);
    RegSetValueExA(opened, name.c_str(), 0, value->type, reinterpret_cast<const BYTE*>(value->bytes.data()),
                   static_cast<DWORD>(value->bytes.size()));
}

StoredValue Sz(const std::string& text) { return {REG_SZ, text + std::string(1, '\0')}; }
StoredValue Dword(DWORD value) { return {REG_DWORD, std::string(reinterpret_cast<const char*>(&value), 4)}; }
StoredValue Binary(const std::string& bytes) { return {REG_BINARY, bytes}; }

LoopbackHttpServer::LoopbackHttpServer(unsigned short port, Handler handler) : handler_(std::move(handler)) {
    EnsureWinsock();
    SOCKET listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(port);
    BOOL reuse = TRUE;
    setsockopt(listener, SOL_SOCKET, SO_REUSEADDR, reinterpret_cast<const char*>(&reuse), sizeof(reuse));
    if (bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 ||
        listen(listener, 4) != 0) {
        closesocket(listener);
        return;
    }
    listener_ = listener;
    thread_ = std::thread([this] { Run(); });
}

LoopbackHttpServer::~LoopbackHttpServer() {
    if (listener_ == INVALID_SOCKET) return;
    closesocket(listener_);
    thread_.join();
}

std::vector<std::string> LoopbackHttpServer::Requests() {
    std::lock_guard<std::mutex> lock(mutex_);
    return requests_;
}

void LoopbackHttpServer::Run() {
    for (;;) {
        SOCKET client = accept(listener_, nullptr, nullptr);
        if (client == INVALID_SOCKET) return;
        std::string head;
        char chunk[1024];
        while (head.find("\r\n\r\n") == std::string::npos && head.size() < 65536) {
            const int got = recv(client, chunk, sizeof(chunk), 0);
            if (got <= 0) break;
            head.append(chunk, static_cast<size_t>(got));
        }
        {
            std::lock_guard<std::mutex> lock(mutex_);
            requests_.push_back(head);
        }
        const std::string response = handler_(head);
        for (size_t sent = 0; sent < response.size();) {
            const int n = send(client, response.data() + sent, static_cast<int>(response.size() - sent), 0);
            if (n <= 0) break;
            sent += static_cast<size_t>(n);
        }
        shutdown(client, SD_SEND);
        while (recv(client, chunk, sizeof(chunk), 0) > 0) {
        }
        closesocket(client);
    }
}

std::string RawHttpExchange(unsigned short port, const std::string& request) {
    EnsureWinsock();
    SOCKET client = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    DWORD timeout = 10000;
    setsockopt(client, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeout), sizeof(timeout));
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(port);
    std::string response;
    if (connect(client, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0) {
        send(client, request.data(), static_cast<int>(request.size()), 0);
        char chunk[4096];
        for (int got; (got = recv(client, chunk, sizeof(chunk), 0)) > 0;) response.append(chunk, got);
    }
    closesocket(client);
    return response;
}

bool SplitLoopbackUrl(const std::string& url, unsigned short& port, std::string& path) {
    const std::string prefix = "http://127.0.0.1:";
    if (url.compare(0, prefix.size(), prefix) != 0) return false;
    const size_t slash = url.find('/', prefix.size());
    if (slash == std::string::npos) return false;
    port = static_cast<unsigned short>(std::stoi(url.substr(prefix.size(), slash - prefix.size())));
    path = url.substr(slash);
    return true;
}

void SysproxyFixture::SetUp() {
    AppFixture::SetUp();
    for (const char* name : {"ProxyEnable", "ProxyServer", "AutoConfigURL"}) {
        saved_.push_back({{kSettingsKey, name}, QueryValue(kSettingsKey, name)});
        PutValue(kSettingsKey, name, std::nullopt);
    }
    saved_.push_back(
        {{kConnections, "DefaultConnectionSettings"}, QueryValue(kConnections, "DefaultConnectionSettings")});
    engineDirectory_ = runDirectory_ + "\\引擎\\";
    CreateDirectoryA(engineDirectory_.c_str(), nullptr);
    systemEnumerator = SetDialUpEnumerator(SuppliedEnumerator);
    suppliedEntries.clear();
    notifications.clear();
    SetWinInetOptionObserver(RecordNotification);
}

void SysproxyFixture::TearDown() {
    AppFixture::TearDown();
    SetWinInetOptionObserver(nullptr);
    for (const std::string& entry : suppliedEntries) PutValue(kConnections, entry, std::nullopt);
    suppliedEntries.clear();
    SetDialUpEnumerator(systemEnumerator);
    for (const auto& [place, value] : saved_) PutValue(place.first, place.second, value);
}

void SysproxyFixture::StartWithMode(const std::string& proxyMode, bool startedFromShell) {
    WriteConfig("[BasisConfig]\r\nFile=" + engineDirectory_ +
                "vantaro-local.exe\r\nLocal port=" + kLocalPort + "\r\nProxy Mode=" + proxyMode + "\r\n");
    StartProgram(startedFromShell);
    notifications.clear();
}

void SysproxyFixture::SetEngineRunning(bool running) const {
    EnableWindow(Control(Ctl::按钮_启动), !running);
}

void SysproxyFixture::ChooseMenuItem(MenuItem item) const {
    SendMessageA(window_, WM_COMMAND, MAKEWPARAM(static_cast<int>(item), 0), 0);
    PumpMessages();
}

void SysproxyFixture::SupplyDialUpEntries(const std::vector<std::string>& entries) {
    suppliedEntries = entries;
}

std::vector<unsigned long> SysproxyFixture::TakeNotifications() {
    std::vector<unsigned long> taken;
    taken.swap(notifications);
    return taken;
}

void SysproxyFixture::WriteRuleList(const std::string& bytes) const {
    std::ofstream(engineDirectory_ + "pac.txt", std::ios::binary) << bytes;
}

std::string SysproxyFixture::ReadEngineFile(const std::string& name) const {
    std::ifstream file(engineDirectory_ + name, std::ios::binary);
    std::stringstream content;
    content << file.rdbuf();
    return content.str();
}

bool SysproxyFixture::EngineFileExists(const std::string& name) const {
    return GetFileAttributesA((engineDirectory_ + name).c_str()) != INVALID_FILE_ATTRIBUTES;
}

void SysproxyFixture::SeedForeignSettings() const {
    PutValue(kSettingsKey, "ProxyEnable", Dword(1));
    PutValue(kSettingsKey, "ProxyServer", Sz("corp-proxy:3128"));
    PutValue(kSettingsKey, "AutoConfigURL", Sz("http://wpad.corp/wpad.dat"));
    PutValue(kConnections, "DefaultConnectionSettings",
             Binary(std::string("\x46\0\0\0\x09\0\0\0\x0B\0\0\0", 12) + std::string(44, '\0')));
}

}  // namespace vantaro::test
