#pragma once
#include <windows.h>
#include <winsock2.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "app_fixture.h"

namespace vantaro::test {

// One registry value as stored: its type and its bytes.
struct StoredValue {
    DWORD type = 0;
    std::string bytes;
    bool operator==(const StoredValue& other) const { return type == other.type && bytes == other.bytes; }
};
std::optional<StoredValue> QueryValue(const std::string& key, const std::string& name);
void PutValue(const std::string& key, const std::string& name, const std::optional<StoredValue>& value);
StoredValue Sz(const std::string& text);  // REG_SZ with its terminating zero
StoredValue Dword(DWORD value);
StoredValue Binary(const std::string& bytes);

// A loopback HTTP server for the tests: answers every connection with what the handler returns for the
// request head, then closes. Records the request heads.
class LoopbackHttpServer {
  public:
    using Handler = std::function<std::string(const std::string& requestHead)>;
    LoopbackHttpServer(unsigned short port, Handler handler);
    ~LoopbackHttpServer();
    bool Listening() const { return listener_ != INVALID_SOCKET; }
    std::vector<std::string> Requests();

  private:
    void Run();
    SOCKET listener_ = INVALID_SOCKET;
    Handler handler_;
    std::mutex mutex_;
    std::vector<std::string> requests_;
    std::thread thread_;
};

// One raw HTTP exchange with 127.0.0.1:port: the whole response up to the server's close.
std::string RawHttpExchange(unsigned short port, const std::string& request);
// The parts of an http://127.0.0.1:PORT/PATH address.
bool SplitLoopbackUrl(const std::string& url, unsigned short& port, std::string& path);

// MainWindow with an engine location and local port 8100, the current user's Internet settings saved before
// and put back after every test, dial-up entries supplied by the test and the WinINet notifications recorded.
class SysproxyFixture : public AppFixture {
  protected:
    void SetUp() override;
    void TearDown() override;

    void StartWithMode(const std::string& proxyMode, bool startedFromShell = true);
    void SetEngineRunning(bool running) const;
    void ChooseMenuItem(MenuItem item) const;
    void SupplyDialUpEntries(const std::vector<std::string>& entries);
    std::vector<unsigned long> TakeNotifications();
    void WriteRuleList(const std::string& bytes) const;
    std::string ReadEngineFile(const std::string& name) const;
    bool EngineFileExists(const std::string& name) const;
    // Values another program left: they show what the program replaces and what it leaves alone.
    void SeedForeignSettings() const;

    std::string engineDirectory_;  // ends with a backslash
    static constexpr char kLocalPort[] = "8100";

  private:
    std::vector<std::pair<std::pair<std::string, std::string>, std::optional<StoredValue>>> saved_;
};

extern const char kSettingsKey[];
extern const char kConnections[];

}  // namespace vantaro::test
