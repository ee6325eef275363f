// vantaro-local: a stand-in engine for trying vantaro Tools out. It reads the program's JSON file, listens on
// 127.0.0.1 and serves SOCKS5 and HTTP proxy requests by connecting to the destinations directly.
#include <atomic>
#include <chrono>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <thread>

#include "config.h"
#include "log.h"
#include "net.h"
#include "session.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <cstdlib>
#endif

namespace vantaro::engine {
namespace {

constexpr int kExitBadConfig = 2;
constexpr int kExitCannotListen = 3;
constexpr int kMaxConnections = 256;
constexpr size_t kMaxConfigSize = 64 * 1024;

// The file the program writes: C:\Users\<logon name>\.vantaro.json (ANSI bytes).
std::optional<std::string> DefaultConfigPath() {
#ifdef _WIN32
    char name[257];
    DWORD size = sizeof name;
    if (!GetUserNameA(name, &size)) return std::nullopt;
    return std::string("C:\\Users\\") + name + "\\.vantaro.json";
#else
    const char* home = std::getenv("HOME");
    if (home == nullptr) return std::nullopt;
    return std::string(home) + "/.vantaro.json";
#endif
}

enum class ReadOutcome { Read, Missing, TooLarge };

ReadOutcome ReadConfigFile(const std::string& path, std::string& bytes) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return ReadOutcome::Missing;
    char chunk[4096];
    size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
        bytes.append(chunk, got);
        if (bytes.size() > kMaxConfigSize) {
            std::fclose(file);
            return ReadOutcome::TooLarge;
        }
    }
    std::fclose(file);
    return ReadOutcome::Read;
}

int Fail(int code, const std::string& message) {
    ErrorLine("vantaro-local：" + message);
    return code;
}

void AcceptForever(const net::Socket& listener) {
    std::atomic<int> active{0};
    uint64_t nextId = 1;
    bool refusing = false;
    SessionTimeouts timeouts;
    for (;;) {
        net::Socket client = net::Accept(listener);
        if (!client.Valid()) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));  // out of handles: do not spin
            continue;
        }
        if (active.load() >= kMaxConnections) {
            if (!refusing)
                LogLine("同时连接已达上限 " + std::to_string(kMaxConnections) + "，暂时拒绝新连接");
            refusing = true;
            continue;
        }
        refusing = false;
        ++active;
        uint64_t id = nextId++;
        try {
            std::thread(
                [&active, id, timeouts](net::Socket socket) {
                    ServeClient(std::move(socket), id, timeouts);
                    --active;
                },
                std::move(client))
                .detach();
        } catch (const std::system_error&) {
            --active;
            LogLine("无法为连接 #" + std::to_string(id) + " 创建线程");
        }
    }
}

int Run(int argc, char** argv) {
    std::optional<std::string> path;
    if (argc == 3 && std::string_view(argv[1]) == "-c") {
        path = argv[2];
    } else if (argc != 1) {
        return Fail(kExitBadConfig, "用法：vantaro-local [-c 配置文件]");
    } else {
        path = DefaultConfigPath();
        if (!path) return Fail(kExitBadConfig, "无法取得登录用户名，找不到配置文件");
    }
    std::string shownPath = AnsiToUtf8(*path);

    LogLine("vantaro-local 演示引擎 1.0 启动");
    LogLine("读取配置：" + shownPath);
    std::string bytes;
    switch (ReadConfigFile(*path, bytes)) {
        case ReadOutcome::Missing:
            return Fail(kExitBadConfig, "无法读取配置文件 " + shownPath + "：文件不存在或无法打开");
        case ReadOutcome::TooLarge:
            return Fail(kExitBadConfig, "配置文件 " + shownPath + " 有误：文件过大");
        case ReadOutcome::Read:
            break;
    }
    ConfigResult parsed = ParseEngineConfig(bytes);
    if (!parsed.config) {
        std::string message = "配置文件 " + shownPath + " 有误：" + DescribeConfigProblem(parsed);
        if (!parsed.detail.empty() && parsed.problem != ConfigProblem::NotJson) {
            message += "（" + AnsiToUtf8(parsed.detail) + "）";
        }
        return Fail(kExitBadConfig, message);
    }
    const EngineConfig& config = *parsed.config;

    if (!net::Startup()) return Fail(1, "无法初始化网络");
    net::ListenResult listening = net::ListenLoopback(config.listenPort);
    std::string address = "127.0.0.1:" + std::to_string(config.listenPort);
    if (!listening.socket.Valid()) {
        std::string why = listening.addressInUse ? "端口已被占用（另一个引擎在运行？）" : listening.error;
        return Fail(kExitCannotListen, "无法监听 " + address + "：" + why);
    }
    LogLine("本地监听：" + address + " (SOCKS5 + HTTP)");
    if (!config.listenHost.empty() && config.listenHost != "127.0.0.1") {
        LogLine("配置的主机 " + AnsiToUtf8(config.listenHost) + " 已忽略，只监听 127.0.0.1");
    }
    LogLine("服务器：" + (config.remote ? AnsiToUtf8(*config.remote) : std::string("（未设置）")) +
            "（仅显示，不使用）");
    LogLine(std::string("密码：") + (config.password && !config.password->empty() ? "******" : "（未设置）") +
            "（仅显示，不使用）");
    LogLine("演示引擎直接连接目标，不经过服务器");
    AcceptForever(listening.socket);
    return 0;
}

}  // namespace
}  // namespace vantaro::engine

int main(int argc, char** argv) { return vantaro::engine::Run(argc, argv); }
