#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vantaro::engine {

// What the engine takes from the program's JSON file. Strings are the file's bytes (ANSI code page),
// unchanged.
struct EngineConfig {
    std::string listenHost;  // as written; the engine listens on 127.0.0.1 whatever it says
    uint16_t listenPort = 0;
    std::optional<std::string> remote;    // shown in the log only
    std::optional<std::string> password;  // never shown, never used
};

enum class ConfigProblem {
    None,
    NotJson,
    NotObject,
    ListenMissing,
    ListenNotText,
    ListenNoPort,
    ListenBadPort,
};

struct ConfigResult {
    std::optional<EngineConfig> config;
    ConfigProblem problem = ConfigProblem::None;
    std::string detail;  // UTF-8, for the error message
};

// Parses the file's bytes. Bytes 0x80..0xFF inside strings are taken as opaque (GBK in practice) and come
// back unchanged; a \u escape above U+00FF comes back as UTF-8.
ConfigResult ParseEngineConfig(std::string_view fileBytes);

struct ListenAddress {
    std::string host;
    uint16_t port = 0;
};

// ":PORT" or "HOST:PORT" (the last colon separates, so "[::1]:8100" works); PORT is 1..65535 in plain digits.
std::optional<ListenAddress> ParseListen(std::string_view text, ConfigProblem* problem = nullptr);

// Why the configuration is unusable, in Chinese, for standard error.
std::string DescribeConfigProblem(const ConfigResult& result);

}  // namespace vantaro::engine
